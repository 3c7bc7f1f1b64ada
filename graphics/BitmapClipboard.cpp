// The clipboard's plain bitmap format of a bitmap.
#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "graphics/Bitmap.h"
#include "resources/StringIds.h"

namespace {
[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(LoadStr(SInvalidGraphic)); }
}  // namespace

void TBitmap::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    if (format != CF_BITMAP || !data) throw EInvalidGraphic(LoadStr(SUnknownClipboardFormat));
    // The clipboard keeps its bitmap: this one gets a copy.
    auto* source = static_cast<HBITMAP>(data);
    DIBSECTION d{};
    if (!GetObjectA(source, sizeof d, &d)) InvalidBitmap();
    d.dsBmih = BITMAPINFOHEADER{};
    d.dsBm.bmBits = nullptr;
    GdiPalette copy(CopyPalette(palette));
    bool hasPalette = copy.Get() != nullptr;
    GdiBitmap made = ReshapeBitmap(source, palette, copy.Get(), d, nullptr);
    NewImage(std::move(made), std::move(copy), d);
    PaletteChanged = hasPalette;
    Changed();
}

// The copies are handed out: the caller deletes them.
void TBitmap::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
    FreeContext();
    DIBSECTION d = image_->Description;
    d.dsBmih = BITMAPINFOHEADER{};  // the plain format is device-dependent
    d.dsBm.bmBits = nullptr;
    format = CF_BITMAP;
    data = ReshapeBitmap(image_->GdiHandle, image_->Palette, image_->Palette, d, nullptr).Release();
    palette = CopyPalette(image_->Palette);
}
