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

TBitmapImage::TBitmapImage(GdiBitmap handle, GdiPalette palette, const DIBSECTION& description)
    : TSharedImage(THandleUse::Owned), Description(description), handle_(handle.Release()), palette_(palette.Release()) {}

TBitmapImage::TBitmapImage(HBITMAP lent, const DIBSECTION& description)
    : TSharedImage(THandleUse::Borrowed), Description(description), handle_(lent) {}

TBitmapImage::~TBitmapImage() {
    if (OwnsHandle()) DeleteBitmap(handle_);
    DeleteBitmap(mask_);
    DeleteBitmap(section_);
    DeletePalette(palette_);
}

void TBitmapImage::ReplaceSection(GdiBitmap section, const DIBSECTION& description) {
    DeleteBitmap(section_);
    section_ = section.Release();
    sectionDescription_ = section_ ? description : DIBSECTION{};
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

HPALETTE SystemPalette16() {
    // The stock palette holds twenty colours, not these sixteen: white and blue
    // would be lost in a 4-bit conversion.
    static const HPALETTE palette = [] {
        static const BYTE colours[16][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                            {0, 0, 128},   {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                            {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
                                            {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        struct {
            WORD version, count;
            PALETTEENTRY entries[16];
        } log{0x300, 16, {}};
        for (int i = 0; i < 16; ++i) log.entries[i] = {colours[i][0], colours[i][1], colours[i][2], 0};
        return CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
    }();
    return palette;
}

GdiPalette CopyPalette(HPALETTE palette) {
    if (!palette || palette == SystemPalette16()) return GdiPalette(palette);
    WORD count = 0;
    if (!GetObjectA(palette, sizeof count, &count) || count == 0) return GdiPalette();
    std::vector<char> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = 0x300;
    log->palNumEntries = count;
    GetPaletteEntries(palette, 0, count, log->palPalEntry);
    return GdiPalette(CreatePalette(log));
}
