#include "buttons/ButtonGlyph.h"

#include <utility>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "base/ScopeGuard.h"
#include "resources/StringIds.h"

namespace {
// Where the mask is white the brush is painted, elsewhere the target stays.
constexpr DWORD kPaintWhereMaskIsWhite = 0x00E20746;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGray = RGB(128, 128, 128);

COLORREF Plain(TColor color) { return ColorToRGB(color) & 0xFFFFFF; }

// A one-bit mask of `width` x `height` pixels of `source` from column `left`:
// white exactly where the source pixel is `key`.
GdiBitmap KeyMask(HDC source, bool sourceIsMono, int left, int width, int height, COLORREF key) {
    GdiBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!mask) throw EOutOfResources(LoadStr(SOutOfResources));
    MemoryDC dc;
    SelectGuard keep(dc.Get(), mask.Get());
    DWORD rop = SRCCOPY;
    if (sourceIsMono) {
        // One-bit pixels are copied as they are: white is 1, black is 0.
        rop = key == kWhite ? SRCCOPY : key == kBlack ? NOTSRCCOPY : BLACKNESS;
    }
    COLORREF old = SetBkColor(source, key);
    BitBlt(dc.Get(), 0, 0, width, height, source, left, 0, rop);
    SetBkColor(source, old);
    return mask;
}

void PaintThroughMask(HDC work, int x, int y, int width, int height, HBITMAP mask, COLORREF colour) {
    GdiBrush brush(CreateSolidBrush(colour));
    SelectGuard useBrush(work, brush.Get());
    MemoryDC maskDC;
    SelectGuard useMask(maskDC.Get(), mask);
    SetTextColor(work, kBlack);
    SetBkColor(work, kWhite);
    BitBlt(work, x, y, width, height, maskDC.Get(), 0, 0, kPaintWhereMaskIsWhite);
}

// Lets the master glyph's memory context go on every path.
auto ContextRelease(TBitmap& bitmap) {
    return ScopeGuard([&bitmap] { bitmap.FreeContext(); });
}
}  // namespace

TButtonPlacement LayoutButton(const RECT& client, POINT offset, SIZE glyph, SIZE text, TButtonLayout layout,
                              int margin, int spacing, bool rightToLeft) {
    if (rightToLeft) {
        if (layout == TButtonLayout::blGlyphLeft) layout = TButtonLayout::blGlyphRight;
        else if (layout == TButtonLayout::blGlyphRight) layout = TButtonLayout::blGlyphLeft;
    }
    const SIZE size{client.right - client.left, client.bottom - client.top};
    const bool across = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
    POINT g{}, t{};
    if (across) {
        g.y = (size.cy - glyph.cy + 1) / 2;
        t.y = (size.cy - text.cy + 1) / 2;
    } else {
        g.x = (size.cx - glyph.cx + 1) / 2;
        t.x = (size.cx - text.cx + 1) / 2;
    }
    if (text.cx == 0 || glyph.cx == 0) spacing = 0;
    const int axis = across ? size.cx : size.cy;
    const int glyphLength = across ? glyph.cx : glyph.cy;
    const int textLength = across ? text.cx : text.cy;
    if (margin == -1) {
        if (spacing == -1) margin = spacing = (axis - glyphLength - textLength) / 3;
        else margin = (axis - (glyphLength + spacing + textLength) + 1) / 2;
    } else if (spacing == -1) {
        spacing = (axis - margin - glyphLength - textLength) / 2;
    }
    switch (layout) {
    case TButtonLayout::blGlyphLeft:
        g.x = margin;
        t.x = g.x + glyph.cx + spacing;
        break;
    case TButtonLayout::blGlyphRight:
        g.x = axis - margin - glyph.cx;
        t.x = g.x - spacing - text.cx;
        break;
    case TButtonLayout::blGlyphTop:
        g.y = margin;
        t.y = g.y + glyph.cy + spacing;
        break;
    case TButtonLayout::blGlyphBottom:
        g.y = axis - margin - glyph.cy;
        t.y = g.y - spacing - text.cy;
        break;
    }
    const int dx = client.left + offset.x, dy = client.top + offset.y;
    TButtonPlacement placed;
    placed.glyph = {g.x + dx, g.y + dy};
    placed.text = {t.x + dx, t.y + dy, t.x + dx + text.cx, t.y + dy + text.cy};
    return placed;
}

TButtonGlyph::TButtonGlyph() {
    GlyphCacheNeeded();
    original_.OnChange = [this](TObject* sender) { GlyphChanged(sender); };
}

TButtonGlyph::~TButtonGlyph() {
    original_.OnChange = nullptr;
    Invalidate();
    ReleaseGlyphCacheIfEmpty();
}

void TButtonGlyph::Invalidate() {
    for (int& index : indexes_) {
        if (index != -1 && glyphList_) glyphList_->Delete(index);
        index = -1;
    }
    if (glyphList_) {
        if (TGlyphCache* cache = GlyphCache()) cache->ReturnList(glyphList_);
        glyphList_ = nullptr;
    }
}

void TButtonGlyph::GlyphChanged(TObject* sender) {
    if (sender != &original_) return;
    {
        auto release = ContextRelease(original_);
        transparentColor_ = original_.TransparentColor();
    }
    Invalidate();
    if (OnChange) OnChange();
}

void TButtonGlyph::SetGlyph(TBitmap* value) {
    TBitmap empty;
    // The copy's change notice takes its transparent colour, gives the built
    // images back and tells the button.
    original_.ShareFrom(value ? value : &empty);
    const int width = original_.Width(), height = original_.Height();
    if (height > 0 && width % height == 0) SetNumGlyphs(width / height > 4 ? 1 : width / height);
}

void TButtonGlyph::SetNumGlyphs(int value) {
    if (value > 4) value = 4;
    if (value < 1 || value == numGlyphs_) return;
    Invalidate();
    numGlyphs_ = value;
    GlyphChanged(&original_);
}

int TButtonGlyph::CreateButtonGlyph(TButtonState state) {
    if (state == StateDown && numGlyphs_ < 3) state = StateUp;
    if (indexes_[state] != -1) return indexes_[state];
    const int height = original_.Height();
    const int width = original_.Width() / numGlyphs_;
    if (width <= 0 || height <= 0) return -1;
    if (!glyphList_) glyphList_ = GlyphCacheNeeded().GetList(width, height);

    auto release = ContextRelease(original_);
    GdiBitmap image = ScreenBitmap(width, height);
    if (!image) throw EOutOfResources(LoadStr(SOutOfResources));
    COLORREF maskColor;
    {
        MemoryDC work;
        SelectGuard keep(work.Get(), image.Get());
        HDC source = original_.Surface().ReadHandle();
        const int slot = state < numGlyphs_ ? state : StateUp;
        if (state != StateDisabled) {
            BitBlt(work.Get(), 0, 0, width, height, source, slot * width, 0, SRCCOPY);
            maskColor = original_.TransparentColorFixed() ? Plain(transparentColor_)
                                                            : GetPixel(work.Get(), 0, height - 1);
        } else {
            if (numGlyphs_ == 1) BuildEmbossed(work.Get(), source, width, height);
            else BuildShaded(work.Get(), source, width, height);
            maskColor = GetPixel(work.Get(), 0, height - 1);
        }
    }
    indexes_[state] = glyphList_->AddMasked(image.Get(), maskColor);
    return indexes_[state];
}

// Only the pure black pixels survive: in the shadow colour, with a highlight
// copy one pixel right and down; everything else becomes the button face.
void TButtonGlyph::BuildEmbossed(HDC work, HDC source, int width, int height) {
    const bool mono = original_.Image()->Description.dsBm.bmBitsPixel == 1;
    GdiBitmap mask = KeyMask(source, mono, 0, width, height, kBlack);
    RECT all{0, 0, width, height};
    GdiBrush face(CreateSolidBrush(Plain(clBtnFace)));
    FillRect(work, &all, face.Get());
    PaintThroughMask(work, 1, 1, width, height, mask.Get(), Plain(clBtnHighlight));
    PaintThroughMask(work, 0, 0, width, height, mask.Get(), Plain(clBtnShadow));
}

// A glyph with its own disabled image: its white, gray and transparent pixels
// take the highlight, shadow and face colours.
void TButtonGlyph::BuildShaded(HDC work, HDC source, int width, int height) {
    const bool mono = original_.Image()->Description.dsBm.bmBitsPixel == 1;
    const int left = StateDisabled * width;
    BitBlt(work, 0, 0, width, height, source, left, 0, SRCCOPY);
    const std::pair<COLORREF, TColor> passes[] = {
        {kWhite, clBtnHighlight}, {kGray, clBtnShadow}, {Plain(transparentColor_), clBtnFace}};
    for (const auto& [key, colour] : passes) {
        GdiBitmap mask = KeyMask(source, mono, left, width, height, key);
        PaintThroughMask(work, 0, 0, width, height, mask.Get(), Plain(colour));
    }
}

RECT TButtonGlyph::Draw(TCanvas& canvas, const RECT& client, POINT offset, const std::string& caption,
                        TButtonLayout layout, int margin, int spacing, TButtonState state, bool transparent,
                        bool rightToLeft) {
    HDC dc = canvas.GdiHandle();
    SIZE glyph{0, 0};
    if (!original_.Empty()) glyph = {original_.Width() / numGlyphs_, original_.Height()};
    SIZE text{0, 0};
    if (!caption.empty()) {
        RECT measured{0, 0, client.right - client.left, 0};
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &measured, DT_CALCRECT | DT_SINGLELINE);
        text = {measured.right - measured.left, measured.bottom - measured.top};
    }
    TButtonPlacement placed = LayoutButton(client, offset, glyph, text, layout, margin, spacing, rightToLeft);
    int index = CreateButtonGlyph(state);
    if (index >= 0) {
        bool clear = transparent || state == StateExclusive;
        ImageList_DrawEx(glyphList_->PlatformHandle(), index, dc, placed.glyph.x, placed.glyph.y, 0, 0,
                         clear ? CLR_NONE : Plain(clBtnFace), CLR_NONE, clear ? ILD_TRANSPARENT : ILD_NORMAL);
    }
    if (!caption.empty()) DrawCaption(dc, caption, placed.text, state);
    return placed.text;
}

void TButtonGlyph::DrawCaption(HDC dc, const std::string& caption, RECT rect, TButtonState state) {
    SavedDC keep(dc);
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    const int length = static_cast<int>(caption.size());
    if (state == StateDisabled) {
        OffsetRect(&rect, 1, 1);
        SetTextColor(dc, Plain(clBtnHighlight));
        DrawTextA(dc, caption.c_str(), length, &rect, format);
        OffsetRect(&rect, -1, -1);
        SetTextColor(dc, Plain(clBtnShadow));
    }
    DrawTextA(dc, caption.c_str(), length, &rect, format);
}
