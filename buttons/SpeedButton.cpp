#include "buttons/SpeedButton.h"

#include <cstring>

#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    SetClassName("TSpeedButton");
    ControlStyle |= csCaptureMouse | csDoubleClicks | csClickEvents;
    SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetFlat(bool value) {
    if (value == flat_) return;
    flat_ = value;
    Invalidate();
}

void TSpeedButton::SetGlyphData(const std::string& stored) {
    int32_t length = 0;
    if (stored.size() < 4 + sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))
        throw EInvalidGraphic(LoadStr(SInvalidGraphic));
    std::memcpy(&length, stored.data(), 4);
    if (length < 0 || static_cast<size_t>(length) != stored.size() - 4 || stored[4] != 'B' || stored[5] != 'M')
        throw EInvalidGraphic(LoadStr(SInvalidGraphic));
    const char* file = stored.data() + 4;
    BITMAPFILEHEADER header;
    std::memcpy(&header, file, sizeof header);
    if (header.bfOffBits >= static_cast<DWORD>(length)) throw EInvalidGraphic(LoadStr(SInvalidGraphic));
    auto* info = reinterpret_cast<const BITMAPINFO*>(file + sizeof header);
    WindowDC screen(nullptr);
    glyph_.Reset(CreateDIBitmap(screen.Get(), &info->bmiHeader, CBM_INIT, file + header.bfOffBits, info,
                                DIB_RGB_COLORS));
    glyphSize_ = {info->bmiHeader.biWidth, std::abs(info->bmiHeader.biHeight)};
    Invalidate();
}

void TSpeedButton::Paint() {
    if (!glyph_) return;
    HDC dc = Canvas().GdiHandle();
    int x = (Width() - glyphSize_.cx + 1) / 2, y = (Height() - glyphSize_.cy + 1) / 2;
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(glyph_.Get()), 0, x, y, glyphSize_.cx, glyphSize_.cy,
               DST_BITMAP | (Enabled() ? DSS_NORMAL : DSS_DISABLED));
}

bool TSpeedButton::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Flat") SetFlat(value.AsBoolean());
    else if (name == "Glyph.Data") SetGlyphData(value.AsBinary());
    else return TGraphicControl::SetProperty(name, value, reader);
    return true;
}
