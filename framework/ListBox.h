#pragma once
// The platform list box with owner-drawn items of one height, sorted insertion
// and the click, double-click and key steps.
#include "framework/PlatformItems.h"
#include "framework/WinControl.h"

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed };

using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

class TCustomListBox : public TWinControl {
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    TPlatformItems& Items() { return items_; }
    const TPlatformItems& Items() const { return items_; }
    int ItemIndex() const { return items_.ItemIndex(); }
    void SetItemIndex(int index);
    bool Selected(int index) const;
    // The item's rectangle in client coordinates (empty without a window).
    RECT ItemRect(int index) const;

    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    bool IntegralHeight() const { return integralHeight_; }

    // Stops and restarts repainting around a batch of item changes.
    void BeginUpdate();
    void EndUpdate();

    TCanvas& Canvas() { return canvas_; }

    TKeyPressEvent OnKeyPress;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    // Draws one item; the canvas already has the item's font and colours.
    virtual void DrawItem(int index, RECT rect, UINT state);
    virtual void KeyPress(char& key);

private:
    TPlatformItems items_{ListBoxItemMessages};
    TCanvas canvas_;
    int itemHeight_ = 16;
    TListBoxStyle style_ = TListBoxStyle::lbStandard;
    bool sorted_ = false;
    bool integralHeight_ = false;
    int updateCount_ = 0;
};
