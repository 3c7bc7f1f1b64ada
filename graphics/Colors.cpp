#include "graphics/Colors.h"

#include "base/PropertyValue.h"

COLORREF ColorToRGB(TColor color) {
    // Only system colours resolve: clNone, clDefault and palette-relative
    // colours keep their own values and so never pass for a plain colour.
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color);
}

bool IdentToColor(const std::string& name, TColor& color) {
    static const struct {
        const char* name;
        TColor value;
    } names[] = {
        {"clNone", clNone},           {"clDefault", clDefault},         {"clBlack", clBlack},
        {"clWhite", clWhite},         {"clBtnFace", clBtnFace},         {"clBtnShadow", clBtnShadow},
        {"clBtnHighlight", clBtnHighlight}, {"clBtnText", clBtnText},   {"clWindow", clWindow},
        {"clWindowText", clWindowText}, {"clHighlight", clHighlight},   {"clHighlightText", clHighlightText},
        {"clInfoBk", clInfoBk},       {"clInfoText", clInfoText},       {"clRed", 0x0000FF},
        {"clBlue", 0xFF0000},         {"clGray", 0x808080},             {"clSilver", 0xC0C0C0},
    };
    for (const auto& n : names)
        if (name == n.name) {
            color = n.value;
            return true;
        }
    return false;
}

TColor ColorProperty(const TPropertyValue& value) {
    if (value.kind == TPropertyValue::Kind::Integer) return value.AsInt();
    TColor color = 0;
    if (!IdentToColor(value.AsIdentifier(), color)) InvalidPropertyValue(value);
    return color;
}
