#pragma once
// The platform drop-down list with optional owner-drawn items of one height and
// the click, selection and change steps.
#include "framework/StringListControl.h"

enum class TComboBoxStyle { csDropDownList, csOwnerDrawFixed };

class TCustomComboBox : public TStringListControl {
public:
    explicit TCustomComboBox(TComponent* owner);

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    int DropDownCount() const { return dropDownCount_; }
    // The text of the selection field.
    std::string Text() const;
    bool DroppedDown() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool OwnerDrawn() const override { return style_ == TComboBoxStyle::csOwnerDrawFixed; }
    void CreateWnd() override;
    void BoundsChanged() override;
    void ListNotification(WORD code) override;
    // The change step: fires OnChange.
    virtual void Change();
    // The selection step after a pick: reports the pick as a change.
    void Select() override;

private:
    // The window's height includes the dropped-down list.
    int WindowHeight() const { return Height() + ItemHeight() * dropDownCount_ + 2; }
    // The selection field keeps the designed height: the frame takes six pixels.
    void FitFieldHeight();

    int dropDownCount_ = 8;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDownList;
};
