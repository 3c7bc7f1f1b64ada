#pragma once
// The windowless push button with a glyph and an optional caption, drawn on
// its parent: flat tool buttons show a frame only under the mouse or while
// pressed; a click needs the press and the release on the button.
#include "buttons/ButtonGlyph.h"
#include "framework/Control.h"

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);
    ~TSpeedButton() override;

    TBitmap& Glyph() { return glyph_.Glyph(); }
    void SetGlyph(TBitmap* value);
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int value);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout value);
    int Margin() const { return margin_; }
    void SetMargin(int value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool RightToLeft() const { return rightToLeft_; }
    void SetRightToLeft(bool value);

    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool value);
    bool Down() const { return down_; }
    void SetDown(bool value);

    TButtonState State() const { return state_; }
    bool MouseInControl() const { return hot_; }
    HPALETTE Palette() { return Glyph().Palette(); }
    // The shared glyph images, for callers that inspect them.
    TButtonGlyph& ButtonGlyph() { return glyph_; }

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void DblClick() override;
    void SysColorChanged() override;
    bool DialogChar(char key) override;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;
    void Loaded() override;

protected:
    void Paint() override;
    void EnabledChanged() override;

private:
    // Whether the mouse is over this button decides the hot look.
    void UpdateTracking();
    // A sibling of the same group went down: let go, and take its AllowAllUp.
    void GroupButtonDown(TSpeedButton* sender);
    void UpdateExclusive();
    TButtonState CurrentImageState() const { return Enabled() ? state_ : StateDisabled; }

    TButtonGlyph glyph_;
    TButtonState state_ = StateUp;
    bool dragging_ = false;  // pressed here and tracking the pointer
    bool hot_ = false;
    bool flat_ = false;
    bool transparent_ = true;
    bool rightToLeft_ = false;
    TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;
};
