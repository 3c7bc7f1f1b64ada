#include "buttons/SpeedButton.h"

#include "base/PropertyValue.h"
#include "framework/WinControl.h"

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    SetClassName("TSpeedButton");
    // The button fires its own clicks: the framework's are not asked for.
    ControlStyle = csCaptureMouse | csDoubleClicks;
    SetBounds(0, 0, 23, 22);
    glyph_.OnChange = [this] { Invalidate(); };
}

TSpeedButton::~TSpeedButton() { glyph_.OnChange = nullptr; }

// The glyph tells of its changes, which repaint the button.
void TSpeedButton::SetGlyph(TBitmap* value) { glyph_.SetGlyph(value); }

void TSpeedButton::SetNumGlyphs(int value) { glyph_.SetNumGlyphs(value); }

void TSpeedButton::SetFlat(bool value) {
    if (value == flat_) return;
    flat_ = value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
    if (value == layout_) return;
    layout_ = value;
    Invalidate();
}

void TSpeedButton::SetMargin(int value) {
    if (value == margin_ || value < -1) return;
    margin_ = value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
    if (value == spacing_) return;
    spacing_ = value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    SetOpaque(!value);
    Invalidate();
}

void TSpeedButton::SetRightToLeft(bool value) {
    if (value == rightToLeft_) return;
    rightToLeft_ = value;
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
    if (value == groupIndex_) return;
    groupIndex_ = value;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
    if (value == allowAllUp_) return;
    allowAllUp_ = value;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool value) {
    if (groupIndex_ == 0) value = false;
    if (value == down_) return;
    if (down_ && !allowAllUp_) return;  // the group keeps one button down
    down_ = value;
    if (value) {
        if (state_ == StateUp) Invalidate();
        state_ = StateExclusive;
        UpdateExclusive();
    } else {
        state_ = StateUp;
        Repaint();
    }
}

void TSpeedButton::UpdateExclusive() {
    if (groupIndex_ == 0 || !Parent()) return;
    for (TControl* sibling : Parent()->Controls())
        if (auto* button = dynamic_cast<TSpeedButton*>(sibling); button && button != this)
            if (button->groupIndex_ == groupIndex_) button->GroupButtonDown(this);
}

void TSpeedButton::GroupButtonDown(TSpeedButton* sender) {
    if (sender->down_ && down_) {
        down_ = false;
        state_ = StateUp;
        Invalidate();
    }
    allowAllUp_ = sender->allowAllUp_;
}

void TSpeedButton::Paint() {
    if (!Enabled()) {
        state_ = StateDisabled;
        dragging_ = false;
    } else if (state_ == StateDisabled) {
        state_ = down_ && groupIndex_ != 0 ? StateExclusive : StateUp;
    }
    TCanvas& canvas = Canvas();
    HDC dc = canvas.GdiHandle();
    RECT rect{0, 0, Width(), Height()};
    const bool pressed = state_ == StateDown || state_ == StateExclusive;
    if (flat_) {
        if (pressed || (hot_ && state_ != StateDisabled)) {
            DrawEdge(dc, &rect, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | (transparent_ ? 0 : BF_MIDDLE));
        } else if (!transparent_) {
            canvas.Brush.SetColor(Color());
            canvas.FillRect(rect);
        }
        InflateRect(&rect, -1, -1);
    } else {
        DrawFrameControl(dc, &rect, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
    }
    POINT offset{0, 0};
    if (pressed) {
        offset = {1, 1};
        if (state_ == StateExclusive && (!flat_ || !hot_)) {
            // Held down in a group: a checker of face and highlight.
            static const WORD checker[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
            GdiBitmap pattern(CreateBitmap(8, 8, 1, 1, checker));
            GdiBrush brush(CreatePatternBrush(pattern.Get()));
            SavedDC keep(dc);
            SetTextColor(dc, ColorToRGB(clBtnFace));
            SetBkColor(dc, ColorToRGB(clBtnHighlight));
            FillRect(dc, &rect, brush.Get());
        }
    }
    glyph_.Draw(canvas, rect, offset, Caption(), layout_, margin_, spacing_, state_, transparent_, rightToLeft_);
}

void TSpeedButton::EnabledChanged() {
    glyph_.CreateButtonGlyph(Enabled() ? StateUp : StateDisabled);
    UpdateTracking();
    Repaint();
}

void TSpeedButton::Loaded() {
    TGraphicControl::Loaded();
    glyph_.CreateButtonGlyph(CurrentImageState());
}

void TSpeedButton::SysColorChanged() {
    glyph_.Invalidate();
    glyph_.CreateButtonGlyph(CurrentImageState());
    Invalidate();
}

void TSpeedButton::UpdateTracking() {
    if (!flat_ || !Enabled()) return;
    bool over = false;
    TWinControl* parent = Parent();
    POINT at;
    if (parent && parent->HandleAllocated() && GetCursorPos(&at) && WindowFromPoint(at) == parent->WindowHandle()) {
        ::ScreenToClient(parent->WindowHandle(), &at);
        over = parent->ControlAtPos(at, true) == this;
    }
    if (over) MouseEnter();
    else MouseLeave();
}

void TSpeedButton::MouseEnter() {
    if (!flat_ || hot_ || !Enabled() || GetCapture()) return;
    hot_ = true;
    Repaint();
}

void TSpeedButton::MouseLeave() {
    if (!flat_ || !hot_ || !Enabled() || dragging_) return;
    hot_ = false;
    Repaint();
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled()) return;
    if (!down_) {
        state_ = StateDown;
        Repaint();
    }
    dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (dragging_) {
        const bool inside = x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight();
        TButtonState next = down_ ? StateExclusive : inside ? StateDown : StateUp;
        if (next != state_) {
            state_ = next;
            Repaint();
        }
    } else if (!hot_) {
        UpdateTracking();
    }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!dragging_ || button != TMouseButton::mbLeft) return;
    dragging_ = false;
    const bool clicked = x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight();
    if (groupIndex_ == 0) {
        state_ = StateUp;
        if (clicked) hot_ = false;
        Repaint();
    } else if (clicked) {
        SetDown(!down_);
        if (down_) Repaint();
    } else {
        state_ = down_ ? StateExclusive : StateUp;
        Repaint();
    }
    if (clicked) Click();
    UpdateTracking();
}

void TSpeedButton::DblClick() {
    if (down_) TGraphicControl::DblClick();
}

bool TSpeedButton::DialogChar(char key) {
    if (!IsAccel(key, Caption()) || !Enabled() || !Visible() || !Parent() || !Parent()->Showing()) return false;
    Click();
    return true;
}

bool TSpeedButton::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Flat") SetFlat(value.AsBoolean());
    else if (name == "Glyph.Data") {
        TByteReader bytes(value.AsBinary());
        Glyph().ReadData(bytes);
    } else if (name == "NumGlyphs") SetNumGlyphs(value.AsInt());
    else if (name == "Layout")
        SetLayout(IdentToEnum<TButtonLayout>(value, {{"blGlyphLeft", TButtonLayout::blGlyphLeft},
                                                     {"blGlyphRight", TButtonLayout::blGlyphRight},
                                                     {"blGlyphTop", TButtonLayout::blGlyphTop},
                                                     {"blGlyphBottom", TButtonLayout::blGlyphBottom}}));
    else if (name == "Margin") SetMargin(value.AsInt());
    else if (name == "Spacing") SetSpacing(value.AsInt());
    else if (name == "Transparent") SetTransparent(value.AsBoolean());
    else if (name == "GroupIndex") SetGroupIndex(value.AsInt());
    else if (name == "AllowAllUp") SetAllowAllUp(value.AsBoolean());
    else if (name == "Down") SetDown(value.AsBoolean());
    else if (name == "BiDiMode")
        SetRightToLeft(IdentToEnum<bool>(value, {{"bdLeftToRight", false}, {"bdRightToLeft", true}}));
    else return TGraphicControl::SetProperty(name, value, reader);
    return true;
}
