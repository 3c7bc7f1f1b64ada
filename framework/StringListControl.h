#pragma once
// What the platform list box and drop-down list share: the items (kept while
// the window is re-created), owner-drawn items of one height, and the steps a
// user's pick and double click run.
#include "framework/PlatformItems.h"
#include "framework/WinControl.h"

class TStringListControl : public TWinControl {
public:
    TPlatformItems& Items() { return items_; }
    const TPlatformItems& Items() const { return items_; }
    int ItemIndex() const { return items_.ItemIndex(); }
    // Moves the selection; no step or event runs.
    void SetItemIndex(int index);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);

    TCanvas& Canvas() { return canvas_; }

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    TStringListControl(TComponent* owner, const TListKind& kind);

    // True when the window has its items drawn by DrawItem.
    virtual bool OwnerDrawn() const = 0;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    // A notification code from the platform list: a pick runs Click then
    // Select, a double click DblClick.
    virtual void ListNotification(WORD code);
    // The selection step after a user's pick.
    virtual void Select() {}
    // Draws one item; the canvas already has the item's font and colours.
    virtual void DrawItem(int index, RECT rect, UINT state);

private:
    void DrawItemMessage(const DRAWITEMSTRUCT& item);

    const TListKind& kind_;
    TPlatformItems items_;
    TCanvas canvas_;
    int itemHeight_ = 16;
};
