#include "framework/Panel.h"

#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

void Frame3D(HDC dc, RECT& rect, COLORREF topLeft, COLORREF bottomRight, int width) {
    GdiBrush top(CreateSolidBrush(topLeft)), bottom(CreateSolidBrush(bottomRight));
    for (int i = 0; i < width; ++i) {
        RECT r = rect;
        RECT line{r.left, r.top, r.right - 1, r.top + 1};
        FillRect(dc, &line, top.Get());
        line = {r.left, r.top, r.left + 1, r.bottom - 1};
        FillRect(dc, &line, top.Get());
        line = {r.right - 1, r.top, r.right, r.bottom};
        FillRect(dc, &line, bottom.Get());
        line = {r.left, r.bottom - 1, r.right, r.bottom};
        FillRect(dc, &line, bottom.Get());
        InflateRect(&rect, -1, -1);
    }
}

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
    SetClassName("TPanel");
    ControlStyle |= csAcceptsControls | csOpaque;
    SetBounds(0, 0, 185, 41);
}

void TPanel::BordersChanged() {
    Invalidate();
    AlignControls();
}

void TPanel::SetBevelOuter(TBevelCut cut) {
    if (cut == bevelOuter_) return;
    bevelOuter_ = cut;
    BordersChanged();
}

void TPanel::SetBevelInner(TBevelCut cut) {
    if (cut == bevelInner_) return;
    bevelInner_ = cut;
    BordersChanged();
}

void TPanel::SetBevelWidth(int width) {
    if (width == bevelWidth_ || width < 1) return;
    bevelWidth_ = width;
    BordersChanged();
}

void TPanel::SetBorderWidth(int width) {
    if (width == borderWidth_ || width < 0) return;
    borderWidth_ = width;
    BordersChanged();
}

void TPanel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Invalidate();
}

RECT TPanel::AlignRect() const {
    RECT r = ClientRect();
    int inset = borderWidth_;
    if (bevelOuter_ != TBevelCut::bvNone) inset += bevelWidth_;
    if (bevelInner_ != TBevelCut::bvNone) inset += bevelWidth_;
    InflateRect(&r, -inset, -inset);
    return r;
}

void TPanel::Paint() {
    HDC dc = Canvas().GdiHandle();
    RECT r = ClientRect();
    COLORREF face = ColorToRGB(Color());
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvNone) return;
        COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
        if (cut == TBevelCut::bvLowered) Frame3D(dc, r, dark, light, bevelWidth_);
        else if (cut == TBevelCut::bvRaised) Frame3D(dc, r, light, dark, bevelWidth_);
        else Frame3D(dc, r, face, face, bevelWidth_);
    };
    bevel(bevelOuter_);
    Frame3D(dc, r, face, face, borderWidth_);
    bevel(bevelInner_);
    Canvas().FillRect(r);
    if (Caption().empty()) return;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
    if (alignment_ == TAlignment::taCenter) format |= DT_CENTER;
    else if (alignment_ == TAlignment::taRightJustify) format |= DT_RIGHT;
    Canvas().Brush.SetStyle(TBrushStyle::bsClear);
    Canvas().TextRect(r, Caption(), format);
}

namespace {
TBevelCut BevelFromName(const TPropertyValue& value) {
    return IdentToEnum<TBevelCut>(value, {{"bvNone", TBevelCut::bvNone}, {"bvLowered", TBevelCut::bvLowered},
                                         {"bvRaised", TBevelCut::bvRaised}, {"bvSpace", TBevelCut::bvSpace}});
}
}  // namespace

bool TPanel::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "BevelOuter") SetBevelOuter(BevelFromName(value));
    else if (name == "BevelInner") SetBevelInner(BevelFromName(value));
    else if (name == "BevelWidth") SetBevelWidth(value.AsInt());
    else if (name == "BorderWidth") SetBorderWidth(value.AsInt());
    else if (name == "Alignment")
        SetAlignment(IdentToEnum<TAlignment>(value, {{"taLeftJustify", TAlignment::taLeftJustify},
                                                    {"taRightJustify", TAlignment::taRightJustify},
                                                    {"taCenter", TAlignment::taCenter}}));
    else if (name == "BiDiMode") {
        // Only left-to-right reading is supported.
        if (value.AsIdentifier() != "bdLeftToRight") throw EReadError(LoadStr(SInvalidPropertyValue));
    } else return TCustomControl::SetProperty(name, value, reader);
    return true;
}
