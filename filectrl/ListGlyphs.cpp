#include "filectrl/ListGlyphs.h"

#include "graphics/Bitmap.h"

std::unique_ptr<TBitmap> ResourceGlyph(const char* name) {
    auto glyph = std::make_unique<TBitmap>();
    glyph->SetGdiHandle(GdiBitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))));
    return glyph;
}

int DrawListGlyph(TCanvas& canvas, TBitmap& glyph, int left, const RECT& item) {
    const int w = glyph.Width(), h = glyph.Height();
    const int top = (item.top + item.bottom - h) / 2;
    const COLORREF corner = glyph.Surface().PixelAt(0, h - 1);
    canvas.CopyReplacingColour({left, top, left + w, top + h}, &glyph, {0, 0, w, h}, static_cast<TColor>(corner));
    return w;
}
