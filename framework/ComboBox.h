#pragma once
// The platform drop-down list with optional owner-drawn items of one height and
// the click, selection and change steps.
#include "framework/PlatformItems.h"
#include "framework/WinControl.h"

enum class TComboBoxStyle { csDropDownList, csOwnerDrawFixed };

class TCustomComboBox : public TWinControl {
public:
    explicit TCustomComboBox(TComponent* owner);

    TPlatformItems& Items() { return items_; }
    const TPlatformItems& Items() const { return items_; }
    int ItemIndex() const { return items_.ItemIndex(); }
    void SetItemIndex(int index);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    int DropDownCount() const { return dropDownCount_; }
    // The text of the selection field.
    std::string Text() const;
    bool DroppedDown() const;

    TCanvas& Canvas() { return canvas_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void BoundsChanged() override;
    void WndProc(TMessage& message) override;
    virtual void DrawItem(int index, RECT rect, UINT state);
    // The change step: fires OnChange.
    virtual void Change();
    // The selection step after a pick: reports the pick as a change.
    virtual void Select();

private:
    TPlatformItems items_{ComboBoxItemMessages};
    TCanvas canvas_;
    int itemHeight_ = 16;
    int dropDownCount_ = 8;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDownList;
};
