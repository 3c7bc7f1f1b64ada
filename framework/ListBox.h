#pragma once
// The platform list box with owner-drawn items of one height, sorted insertion
// and the click, double-click and key steps.
#include "framework/StringListControl.h"

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed };

using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

class TCustomListBox : public TStringListControl {
public:
    explicit TCustomListBox(TComponent* owner);

    bool Selected(int index) const;
    // The item's rectangle in client coordinates (empty without a window).
    RECT ItemRect(int index) const;

    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    bool IntegralHeight() const { return integralHeight_; }

    // Stops and restarts repainting around a batch of item changes.
    void BeginUpdate();
    void EndUpdate();

    TKeyPressEvent OnKeyPress;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    bool OwnerDrawn() const override { return style_ == TListBoxStyle::lbOwnerDrawFixed; }
    void WndProc(TMessage& message) override;
    virtual void KeyPress(char& key);

private:
    TListBoxStyle style_ = TListBoxStyle::lbStandard;
    bool sorted_ = false;
    bool integralHeight_ = false;
};
