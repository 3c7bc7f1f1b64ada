#pragma once
// Top-level windows built from a form description.
#include <any>
#include <map>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "framework/FormReader.h"
#include "framework/WinControl.h"

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;
// The full paths of what was dropped on the form, in the order the platform gives them.
using TDropFilesEvent = std::function<void(TObject* sender, const std::vector<std::string>& paths)>;
// A virtual key pressed; a handler that sets `key` to 0 keeps it from the control.
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;

class TForm : public TCustomControl, public IEventSource {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // Builds the components from the form description resource, then runs OnCreate.
    void CreateFromResource(const char* resourceName);

    void Show();
    void Close();
    // Asks OnCloseQuery; true when the window may close.
    bool CloseQuery();

    int DesignedClientWidth() const { return clientWidth_; }
    int DesignedClientHeight() const { return clientHeight_; }
    void SetClientSize(int width, int height);
    RECT ClientRect() const override;
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    unsigned BorderIcons() const { return borderIcons_; }

    TNotifyEvent OnCreate;
    TCloseQueryEvent OnCloseQuery;
    // A form with this event set when its window is made accepts files dropped on it.
    TDropFilesEvent OnDropFiles;
    // With KeyPreview set, a key pressed in any window of the form comes here
    // before it reaches the control that has the focus.
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    TKeyEvent OnKeyDown;
    // The message loop's preview of a pressed key; true when the form kept it.
    bool PreviewKeyDown(WORD key);

    std::any FindHandler(const std::string& name) override;
    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    template <typename Event>
    void RegisterHandler(const std::string& name, Event handler) {
        handlers_[name] = std::move(handler);
    }
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    void UpdateWindowSize();
    DWORD WindowStyle() const;

    std::map<std::string, std::any> handlers_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    std::string iconResource_;
    bool keyPreview_ = false;
    UniqueHandle<HICON, DestroyIcon> bigIcon_;
    UniqueHandle<HICON, DestroyIcon> smallIcon_;
};
