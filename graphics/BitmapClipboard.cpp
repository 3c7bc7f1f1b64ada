// The clipboard's plain bitmap format of a bitmap.
#include <cstdlib>
#include <vector>

#include "base/Exceptions.h"
#include "base/PlatformError.h"
#include "base/ResStrings.h"
#include "graphics/Bitmap.h"
#include "resources/StringIds.h"

namespace {
[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(LoadStr(SInvalidGraphic)); }

// A new palette with `palette`'s entries in the same order, even for the shared
// system palette: the clipboard deletes what it is given. None for none or for
// a palette without entries.
GdiPalette NewPaletteLike(HPALETTE palette) {
    if (!palette) return GdiPalette();
    WORD count = 0;
    if (!GetObjectA(palette, sizeof count, &count)) RaiseLastPlatformError();
    if (count == 0) return GdiPalette();
    std::vector<char> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = 0x300;
    log->palNumEntries = count;
    if (GetPaletteEntries(palette, 0, count, log->palPalEntry) != count) RaiseLastPlatformError();
    GdiPalette made(CreatePalette(log));
    if (!made) RaiseLastPlatformError();
    return made;
}
}  // namespace

void TBitmap::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    if (format != CF_BITMAP || !data) throw EInvalidGraphic(LoadStr(SUnknownClipboardFormat));
    // The clipboard keeps its bitmap: this one gets a copy.
    auto* source = static_cast<HBITMAP>(data);
    DIBSECTION d{};
    if (!GetObjectA(source, sizeof d, &d)) InvalidBitmap();
    d.dsBmih = BITMAPINFOHEADER{};
    d.dsBm.bmBits = nullptr;
    GdiPalette copy = CopyPalette(palette);
    bool hasPalette = copy.Get() != nullptr;
    GdiBitmap made = ReshapeBitmap(source, palette, copy.Get(), d, nullptr);
    NewImage(std::move(made), std::move(copy), d);
    PaletteChanged = hasPalette;
    Changed();
}

void TBitmap::SaveToClipboardFormat(UINT& format, GdiBitmap& bitmap, GdiPalette& palette) {
    format = CF_BITMAP;
    bitmap.Reset();
    palette.Reset();
    FreeContext();
    HBITMAP source = image_->GdiHandle;
    if (!source) return;  // no image, nothing to copy
    UnselectEverywhere(source);
    HPALETTE sourcePalette = Palette();
    const BITMAP& bm = image_->Description.dsBm;
    int width = bm.bmWidth;
    int height = std::abs(bm.bmHeight);

    GdiBitmap copy;  // outlives the contexts it is selected into
    {
        WindowDC screen(nullptr);
        if (!screen.Get()) RaiseLastPlatformError();
        if ((bm.bmPlanes | bm.bmBitsPixel) == 1)
            copy.Reset(CreateBitmap(width, height, 1, 1, nullptr));
        else
            copy.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
        if (!copy) RaiseLastPlatformError();

        MemoryDC target(screen.Get());
        if (!target) RaiseLastPlatformError();
        SelectGuard keepCopy(target.Get(), copy.Get());
        PaletteGuard keepTargetPalette(target.Get(), sourcePalette);
        if (canvas_) {
            RECT all{0, 0, width, height};
            FillRect(target.Get(), &all, canvas_->Brush.Handle());
            UseCanvasColors(target.Get(), *canvas_);
        } else {
            PatBlt(target.Get(), 0, 0, width, height, WHITENESS);
        }

        MemoryDC from(screen.Get());
        if (!from) RaiseLastPlatformError();
        SelectGuard keepSource(from.Get(), source);
        PaletteGuard keepSourcePalette(from.Get(), sourcePalette);
        if (canvas_) UseCanvasColors(from.Get(), *canvas_);
        BitBlt(target.Get(), 0, 0, width, height, from.Get(), 0, 0, SRCCOPY);
    }

    // A failure here lets `copy` go with it.
    palette = NewPaletteLike(sourcePalette);
    bitmap = std::move(copy);
}
