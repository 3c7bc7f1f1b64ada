#include <gtest/gtest.h>

#include "graphics/Bitmap.h"
#include "tests/support/Pictures.h"
#include "tests/support/ErrorText.h"

namespace {
// A canvas over a memory bitmap of its own, for reading drawn pixels back.
struct Surface {
    TBitmap target;
    explicit Surface(int w, int h, COLORREF ground) {
        target.SetWidth(w);
        target.SetHeight(h);
        target.Surface().Brush.SetColor(static_cast<TColor>(ground));
        RECT all{0, 0, w, h};
        target.Surface().FillRect(all);
    }
    COLORREF At(int x, int y) { return target.Surface().PixelAt(x, y); }
};

}  // namespace

TEST(TransparentDrawing, WhiteShowsWhatLiesBelowAlsoInsideThePicture) {
    TBitmap picture;
    FillBitmap(picture, 32, 32, RGB(255, 255, 255));
    picture.Surface().Brush.SetColor(static_cast<TColor>(RGB(255, 0, 0)));
    RECT red{8, 8, 24, 24};
    picture.Surface().FillRect(red);
    picture.Surface().Brush.SetColor(clWhite);
    RECT hole{14, 14, 18, 18};
    picture.Surface().FillRect(hole);
    picture.SetTransparent(true);
    for (int side : {32, 64, 96, 16}) {
        SCOPED_TRACE(side);
        Surface grey(100, 100, RGB(128, 128, 128));
        RECT at{0, 0, side, side};
        grey.target.Surface().DrawInRect(at, &picture);
        EXPECT_EQ(grey.At(1, 1), RGB(128, 128, 128));
        EXPECT_EQ(grey.At(side / 2, side / 2), RGB(128, 128, 128));  // the white hole
        EXPECT_EQ(grey.At(side * 10 / 32, side * 10 / 32), RGB(255, 0, 0));
    }
}

namespace {
constexpr COLORREF kGrey = RGB(128, 128, 128), kWhite = RGB(255, 255, 255), kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255), kLime = RGB(0, 255, 0), kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

void PaintRect(TBitmap& b, const RECT& r, COLORREF colour) {
    b.Surface().Brush.SetColor(static_cast<TColor>(colour));
    b.Surface().FillRect(r);
}

// A 16 x 15 button glyph: blue ground, a red square and a black block.
void MakeGlyph(TBitmap& glyph) {
    FillBitmap(glyph, 16, 15, kBlue);
    PaintRect(glyph, {2, 2, 8, 8}, kRed);
    PaintRect(glyph, {10, 9, 14, 13}, kBlack);
}
}  // namespace

TEST(TransparentDrawing, DrawingAtAnyZoomReusesOneMask) {
    TBitmap picture;
    FillBitmap(picture, 32, 32, kWhite);
    PaintRect(picture, {8, 8, 24, 24}, kRed);
    picture.SetTransparent(true);
    HBITMAP mask = picture.MaskHandle();
    ASSERT_NE(mask, nullptr);
    for (int side : {32, 64, 96}) {
        SCOPED_TRACE(side);
        Surface grey(100, 100, kGrey);
        grey.target.Surface().DrawInRect({0, 0, side, side}, &picture);
        EXPECT_EQ(grey.At(side / 2, side / 2), kRed);
        EXPECT_EQ(picture.MaskHandle(), mask);
    }
    EXPECT_EQ(GetObjectType(mask), static_cast<DWORD>(OBJ_BITMAP));
}

TEST(TransparentDrawing, DrawingOnThePictureRebuildsItsMask) {
    TBitmap picture;
    FillBitmap(picture, 32, 32, kWhite);
    PaintRect(picture, {20, 4, 28, 12}, kRed);
    picture.SetTransparent(true);
    {
        Surface grey(32, 32, kGrey);
        grey.target.Surface().DrawInRect({0, 0, 32, 32}, &picture);
        EXPECT_EQ(grey.At(28, 28), kGrey);
    }
    // The bottom-left pixel turns blue, so blue becomes the see-through colour.
    PaintRect(picture, {0, 16, 16, 32}, kBlue);
    Surface grey(32, 32, kGrey);
    grey.target.Surface().DrawInRect({0, 0, 32, 32}, &picture);
    EXPECT_EQ(grey.At(4, 28), kGrey);
    EXPECT_EQ(grey.At(28, 28), kWhite);
    EXPECT_EQ(grey.At(24, 8), kRed);
}

TEST(TransparentDrawing, TheColourCoveringTheBottomLeftPixelIsSeeThroughAndWhiteStays) {
    TBitmap picture;
    FillBitmap(picture, 32, 32, kWhite);
    PaintRect(picture, {0, 16, 16, 32}, kLime);
    PaintRect(picture, {20, 4, 28, 12}, kRed);
    picture.SetTransparent(true);
    for (int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        Surface grey(64, 64, kGrey);
        grey.target.Surface().DrawInRect({0, 0, 32 * scale, 32 * scale}, &picture);
        EXPECT_EQ(grey.At(4 * scale, 28 * scale), kGrey);
        EXPECT_EQ(grey.At(28 * scale, 28 * scale), kWhite);
        EXPECT_EQ(grey.At(2 * scale, 2 * scale), kWhite);
        EXPECT_EQ(grey.At(24 * scale, 8 * scale), kRed);
    }
}

TEST(ColourReplacement, ASolidBrushPaintsWhereTheColourWas) {
    TBitmap glyph;
    MakeGlyph(glyph);
    // Pure blue, and blue as the glyph's own transparent colour, which takes the cached mask.
    for (TColor colour : {static_cast<TColor>(kBlue), glyph.TransparentColor()}) {
        SCOPED_TRACE(colour);
        Surface target(20, 20, kGrey);
        target.target.Surface().Brush.SetColor(static_cast<TColor>(kYellow));
        target.target.Surface().CopyReplacingColour({2, 2, 18, 17}, &glyph, {0, 0, 16, 15}, colour);
        EXPECT_EQ(target.At(2, 2), kYellow);
        EXPECT_EQ(target.At(2 + 15, 2 + 14), kYellow);
        EXPECT_EQ(target.At(2 + 4, 2 + 4), kRed);
        EXPECT_EQ(target.At(2 + 11, 2 + 10), kBlack);
        EXPECT_EQ(target.At(1, 1), kGrey);
        EXPECT_EQ(target.At(18, 17), kGrey);
        EXPECT_EQ(glyph.Surface().PixelAt(0, 0), kBlue);
    }
}

TEST(ColourReplacement, AClearBrushLeavesTheTargetWhereTheColourWas) {
    TBitmap glyph;
    MakeGlyph(glyph);
    Surface target(20, 20, kGrey);
    target.target.Surface().Brush.SetStyle(TBrushStyle::bsClear);
    target.target.Surface().CopyReplacingColour({2, 2, 18, 17}, &glyph, {0, 0, 16, 15}, static_cast<TColor>(kBlue));
    EXPECT_EQ(target.At(2, 2), kGrey);
    EXPECT_EQ(target.At(2 + 15, 2 + 14), kGrey);
    EXPECT_EQ(target.At(2 + 4, 2 + 4), kRed);
    EXPECT_EQ(target.At(2 + 11, 2 + 10), kBlack);
}

TEST(MaskConversion, ConvertToMaskGivesAOneBitPictureWhiteWhereTheColourWas) {
    TBitmap b;
    FillBitmap(b, 8, 8, kRed);
    PaintRect(b, {2, 2, 6, 6}, kBlue);
    b.ConvertToMask(static_cast<TColor>(kRed));
    EXPECT_EQ(b.Image()->Description.dsBm.bmBitsPixel, 1);
    EXPECT_EQ(b.Width(), 8);
    EXPECT_EQ(b.Height(), 8);
    EXPECT_EQ(b.Surface().PixelAt(0, 0), kWhite);
    EXPECT_EQ(b.Surface().PixelAt(7, 7), kWhite);
    EXPECT_EQ(b.Surface().PixelAt(3, 3), kBlack);
}
