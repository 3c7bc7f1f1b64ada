#include "graphics/SharedImage.h"

#include <vector>

#include "graphics/BitmapCanvas.h"

void TSharedImage::Release() {
    if (InterlockedDecrement(&useCount_) == 0) {
        FreeHandles();
        delete this;
    }
}

void TIconImage::FreeHandles() {
    if (GdiHandle) DestroyIcon(GdiHandle);
    GdiHandle = nullptr;
}

void TBitmapImage::FreeHandles() {
    if (GdiHandle && GdiHandle != SectionHandle) {
        UnselectEverywhere(GdiHandle);
        DeleteObject(GdiHandle);
    }
    if (MaskGdiHandle) {
        UnselectEverywhere(MaskGdiHandle);
        DeleteObject(MaskGdiHandle);
    }
    MaskGdiHandle = nullptr;
    DeletePalette(Palette);
    GdiHandle = nullptr;
    Palette = nullptr;
}

TBitmapImage::~TBitmapImage() {
    if (SectionHandle) {
        UnselectEverywhere(SectionHandle);
        DeleteObject(SectionHandle);
    }
}

HPALETTE SystemPalette16() { return static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)); }

void DeletePalette(HPALETTE palette) {
    if (palette && palette != SystemPalette16()) DeleteObject(palette);
}

HPALETTE CopyPalette(HPALETTE palette) {
    if (!palette || palette == SystemPalette16()) return palette;
    WORD count = 0;
    if (!GetObjectA(palette, sizeof count, &count) || count == 0) return nullptr;
    std::vector<char> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = 0x300;
    log->palNumEntries = count;
    GetPaletteEntries(palette, 0, count, log->palPalEntry);
    return CreatePalette(log);
}
