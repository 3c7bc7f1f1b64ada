#pragma once
// The platform's file dialog: its settings, the run of the open or save
// function, and the notifications of the Explorer-style dialog while it is open.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "framework/Form.h"
#include "dialogs/CommonDialog.h"

// Each option is the platform flag it sets, except ofOldStyleDialog, which
// clears the Explorer flag instead of setting it.
enum TOpenOption : unsigned {
    ofReadOnly = 0x1,
    ofOverwritePrompt = 0x2,
    ofHideReadOnly = 0x4,
    ofNoChangeDir = 0x8,
    ofShowHelp = 0x10,
    ofNoValidate = 0x100,
    ofAllowMultiSelect = 0x200,
    ofExtensionDifferent = 0x400,
    ofPathMustExist = 0x800,
    ofFileMustExist = 0x1000,
    ofCreatePrompt = 0x2000,
    ofShareAware = 0x4000,
    ofNoReadOnlyReturn = 0x8000,
    ofNoTestFileCreate = 0x10000,
    ofNoNetworkButton = 0x20000,
    ofNoLongNames = 0x40000,
    ofOldStyleDialog = 0x80000,
    ofNoDereferenceLinks = 0x100000,
    ofEnableIncludeNotify = 0x400000,
    ofEnableSizing = 0x800000,
    ofDontAddToRecent = 0x2000000,
    ofForceShowHidden = 0x10000000,
};
using TOpenOptions = unsigned;

enum TOpenOptionEx : unsigned { ofExNoPlacesBar = 0x1 };
using TOpenOptionsEx = unsigned;

using TIncludeItemEvent = std::function<void(TObject* sender, const OFNOTIFYEXA& item, bool& include)>;

class TOpenDialog : public TCommonDialog {
public:
    explicit TOpenDialog(TComponent* owner);

    // The open function; true when the user confirmed a file name.
    bool Execute() override;

    // While the dialog is open, the path it shows as chosen; else the chosen path.
    std::string FileName() const;
    void SetFileName(const std::string& name) { fileName_ = name; }
    // Every path of the last confirmed run.
    const std::vector<std::string>& Files() const { return files_; }
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& filter) { filter_ = filter; }
    // 1-based; while the dialog is open, the type it last reported.
    int FilterIndex() const;
    void SetFilterIndex(int index) { filterIndex_ = index; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& extension) { defaultExt_ = extension; }
    const std::string& InitialDir() const { return initialDir_; }
    // A trailing backslash goes, except after a drive's colon.
    void SetInitialDir(const std::string& folder);
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions options) { options_ = options; }
    TOpenOptionsEx OptionsEx() const { return optionsEx_; }
    void SetOptionsEx(TOpenOptionsEx options) { optionsEx_ = options; }

    // Asked when a name is confirmed; answering false keeps the dialog open.
    TCloseQueryEvent OnCanClose;
    TNotifyEvent OnFolderChange;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnTypeChange;
    // Asked for each item with ofEnableIncludeNotify; items are included unless answered otherwise.
    TIncludeItemEvent OnIncludeItem;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    using DialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);
    // Runs `function` modally over the settings; on a confirmed run stores the
    // chosen names, the read-only and extension flags and the file type.
    bool DoExecute(DialogFunction function);
    // The platform's open and save dialogs, their library loaded at first use.
    static DialogFunction OpenFunction();
    static DialogFunction SaveFunction();
    // The child dialog resource added to the Explorer-style dialog; empty for none.
    std::string templateName_;

    void WndProc(TMessage& message) override;
    virtual void DoSelectionChange();
    virtual void DoFolderChange();
    virtual void DoTypeChange();

private:
    static UINT_PTR CALLBACK ExplorerHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static UINT_PTR CALLBACK OldStyleHook(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The paths a returned name buffer holds.
    std::vector<std::string> ReturnedNames(const char* buffer) const;
    bool CanClose(const OPENFILENAMEA& record);
    bool IncludeItem(const OFNOTIFYEXA& item);

    std::string fileName_;
    std::vector<std::string> files_;
    std::string filter_;
    int filterIndex_ = 1;
    int reportedFilterIndex_ = 1;
    std::string title_;
    std::string defaultExt_;
    std::string initialDir_;
    TOpenOptions options_ = ofHideReadOnly | ofEnableSizing;
    TOpenOptionsEx optionsEx_ = 0;
    bool explorer_ = false;  // the open dialog is Explorer-style
};
