#include "graphics/SharedImage.h"

#include <vector>

#include "graphics/BitmapCanvas.h"

namespace {
// A bitmap selected into a canvas cannot be deleted: free it first.
void DeleteBitmap(HBITMAP handle) {
    if (!handle) return;
    UnselectEverywhere(handle);
    DeleteObject(handle);
}

void DeletePalette(HPALETTE palette) {
    DeletePaletteObject(palette);
}
}  // namespace

void TSharedImage::Release() {
    if (InterlockedDecrement(&useCount_) == 0) delete this;
}

TIconImage::TIconImage(HICON handle, THandleUse use) : TSharedImage(use), handle_(handle) {}

TIconImage::TIconImage(std::string iconData, SIZE size)
    : TSharedImage(THandleUse::Owned), IconData(std::move(iconData)), Size(size), handle_(nullptr) {}

TIconImage::~TIconImage() {
    if (OwnsHandle() && handle_) DestroyIcon(handle_);
}

void TIconImage::SetMadeHandle(GdiIcon made, SIZE size) {
    if (handle_) return;  // the one made first stays; `made` goes
    handle_ = made.Release();
    Size = size;
}

TBitmapImage::TBitmapImage(HBITMAP handle, THandleUse use, HPALETTE palette, const DIBSECTION& description)
    : TSharedImage(use), Description(description), handle_(handle), palette_(palette) {}

TBitmapImage::~TBitmapImage() {
    if (OwnsHandle()) DeleteBitmap(handle_);
    DeleteBitmap(mask_);
    DeletePalette(palette_);
}

void TBitmapImage::ReplaceMask(GdiBitmap mask) {
    DeleteBitmap(mask_);
    mask_ = mask.Release();
}

void TBitmapImage::ReplacePalette(GdiPalette palette) {
    DeletePalette(palette_);
    palette_ = palette.Release();
}

GdiPalette TBitmapImage::TakePalette() { return GdiPalette(std::exchange(palette_, nullptr)); }

HPALETTE SystemPalette16() { return static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)); }

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
