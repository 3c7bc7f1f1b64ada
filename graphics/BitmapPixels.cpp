// Pixels as memory: the device-independent copy, pixel layouts and row addresses.
#include <cstdlib>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "graphics/Bitmap.h"
#include "resources/StringIds.h"

namespace {
size_t Stride(const BITMAPINFOHEADER& header) {
    return ((static_cast<size_t>(header.biWidth) * header.biBitCount + 31) / 32) * 4;
}
}  // namespace

void TBitmap::DIBNeeded() {
    HBITMAP handle = image_->GdiHandle;
    if (!handle || image_->SectionHandle()) return;
    FreeContext();
    HPALETTE palette = Palette();
    DIBSECTION d = image_->Description;
    if (d.dsBmih.biSize == 0) {
        BITMAP bm{};
        if (!GetObjectA(handle, sizeof bm, &bm)) throw EInvalidGraphic(LoadStr(SInvalidGraphic));
        d.dsBmih = BITMAPINFOHEADER{};
        d.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        d.dsBmih.biWidth = bm.bmWidth;
        d.dsBmih.biHeight = bm.bmHeight;
        d.dsBmih.biPlanes = 1;
        d.dsBmih.biBitCount = static_cast<WORD>(bm.bmPlanes * bm.bmBitsPixel);
    }
    GdiBitmap section = ReshapeBitmap(handle, palette, palette, d, nullptr);
    if (section) image_->ReplaceSection(std::move(section), d);
}

TPixelLayout TBitmap::PixelLayout() const {
    HBITMAP section = image_->SectionHandle();
    const HBITMAP handle = image_->GdiHandle;
    if ((handle && handle != section) || (!section && image_->Description.dsBmih.biSize == 0))
        return TPixelLayout::plDevice;
    const DIBSECTION& d = image_->Description;
    switch (d.dsBmih.biBitCount) {
    case 1: return TPixelLayout::pl1Bit;
    case 4: return TPixelLayout::pl4Bit;
    case 8: return TPixelLayout::pl8Bit;
    case 16:
        if (IsPlainRgb(d)) return TPixelLayout::pl15Bit;
        if (d.dsBmih.biCompression == BI_BITFIELDS && d.dsBitfields[1] == 0x07E0) return TPixelLayout::pl16Bit;
        return TPixelLayout::plCustom;
    case 24: return TPixelLayout::pl24Bit;
    case 32: return IsPlainRgb(d) ? TPixelLayout::pl32Bit : TPixelLayout::plCustom;
    default: return TPixelLayout::plCustom;
    }
}

void TBitmap::SetPixelLayout(TPixelLayout layout) {
    if (layout == PixelLayout()) return;
    if (layout == TPixelLayout::plCustom) throw EInvalidGraphic(LoadStr(SInvalidPixelFormat));
    HBITMAP handle = GdiHandle();  // a shared record is copied first
    DIBSECTION d{};
    d.dsBm = image_->Description.dsBm;
    d.dsBm.bmBits = nullptr;
    HPALETTE palette = image_->Palette;
    GdiPalette halftone;
    if (layout != TPixelLayout::plDevice) {
        static const WORD bits[] = {0, 1, 4, 8, 16, 16, 24, 32};
        d.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
        d.dsBmih.biWidth = d.dsBm.bmWidth;
        d.dsBmih.biHeight = d.dsBm.bmHeight;
        d.dsBmih.biPlanes = 1;
        d.dsBmih.biBitCount = bits[static_cast<int>(layout)];
        if (layout == TPixelLayout::pl4Bit) palette = SystemPalette16();
        if (layout == TPixelLayout::pl8Bit) {
            WindowDC screen(nullptr);
            halftone.Reset(CreateHalftonePalette(screen.Get()));
            palette = halftone.Get();
        }
        if (layout == TPixelLayout::pl16Bit) {
            d.dsBmih.biCompression = BI_BITFIELDS;
            d.dsBitfields[0] = 0xF800;
            d.dsBitfields[1] = 0x07E0;
            d.dsBitfields[2] = 0x001F;
        }
    } else {
        // Back to the screen's own format: planes and depth of the display.
        d.dsBm.bmPlanes = 0;
        d.dsBm.bmBitsPixel = 0;
    }
    FreeContext();
    GdiPalette copy = CopyPalette(palette);
    // No canvas: its colours would become a one-bit table's two entries.
    GdiBitmap made = ReshapeBitmap(handle, image_->Palette, palette, d, nullptr);
    const bool hasPalette = copy.Get() != nullptr;
    NewImage(std::move(made), std::move(copy), d);
    image_->HalftoneMade = static_cast<bool>(halftone);
    PaletteChanged = hasPalette;
    Changed();
}

unsigned char* TBitmap::RowAddress(int row) {
    BeforeWrite();
    if (row < 0 || row >= Height()) throw EInvalidGraphicOperation(LoadStr(SScanLine));
    DIBNeeded();
    GdiFlush();
    const DIBSECTION& d = image_->SectionDescription();
    if (!d.dsBm.bmBits) throw EInvalidGraphicOperation(LoadStr(SScanLine));
    if (d.dsBmih.biHeight > 0) row = d.dsBmih.biHeight - row - 1;
    return static_cast<unsigned char*>(d.dsBm.bmBits) + static_cast<size_t>(row) * Stride(d.dsBmih);
}
