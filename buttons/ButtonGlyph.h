#pragma once
// The glyph of one button and the state images made from it: built when first
// drawn, kept in the shared list for the glyph's size, given back when the
// glyph changes or the button goes.
#include <functional>
#include <string>

#include "buttons/GlyphCache.h"
#include "graphics/Bitmap.h"

enum TButtonState { StateUp, StateDisabled, StateDown, StateExclusive };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct TButtonPlacement {
    POINT glyph;  // top-left pixel of the glyph
    RECT text;    // the caption's own extent
};

// Places glyph and caption in `client`; a margin or spacing of -1 centres.
TButtonPlacement LayoutButton(const RECT& client, POINT offset, SIZE glyph, SIZE text, TButtonLayout layout,
                              int margin, int spacing, bool rightToLeft);

class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    // The master glyph: every image of every state is cut from it.
    TBitmap& Glyph() { return original_; }
    // Copies `value` (none empties it) and takes the glyph count from its shape.
    void SetGlyph(TBitmap* value);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);
    TColor TransparentColor() const { return transparentColor_; }

    // The state's slot in List(), built when missing; -1 without a glyph.
    int CreateButtonGlyph(TButtonState state);
    // Gives every built image back to the list, and the list to the cache.
    void Invalidate();
    TGlyphList* List() const { return glyphList_; }

    // Draws glyph and caption laid out in `client`; returns the caption's rectangle.
    RECT Draw(TCanvas& canvas, const RECT& client, POINT offset, const std::string& caption, TButtonLayout layout,
              int margin, int spacing, TButtonState state, bool transparent, bool rightToLeft);

    // Told after the glyph changed: the button repaints.
    std::function<void()> OnChange;

private:
    void GlyphChanged(TObject* sender);
    void BuildEmbossed(HDC work, HDC source, int width, int height);
    void BuildShaded(HDC work, HDC source, int width, int height);
    void DrawCaption(HDC dc, const std::string& caption, RECT rect, TButtonState state);

    TBitmap original_;
    TGlyphList* glyphList_ = nullptr;
    int indexes_[4] = {-1, -1, -1, -1};
    TColor transparentColor_ = 0x008080;  // olive until a glyph is set
    int numGlyphs_ = 1;
};
