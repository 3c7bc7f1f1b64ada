#include <gtest/gtest.h>

#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "framework/Panel.h"
#include "tests/support/GuiTest.h"

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

void FillBitmap(TBitmap& b, int w, int h, COLORREF colour) {
    b.SetWidth(w);
    b.SetHeight(h);
    b.Surface().Brush.SetColor(static_cast<TColor>(colour));
    RECT all{0, 0, w, h};
    b.Surface().FillRect(all);
}
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

TEST(PictureView, ATransparentStretchedBitmapShowsTheParentsBackgroundWhereItIsWhite) {
    TTestForm form(200, 150);
    auto* area = new TPanel(&form);
    area->SetParent(&form);
    area->SetBounds(0, 0, 146, 102);
    area->SetBevelOuter(TBevelCut::bvLowered);
    auto* view = new TImage(&form);
    view->SetParent(area);
    view->SetStretch(true);
    view->SetCenter(true);
    view->SetTransparent(true);
    form.Show();
    {
        // The view keeps the content after the rendered bitmap is gone.
        TBitmap rendered;
        FillBitmap(rendered, 32, 32, RGB(255, 255, 255));
        rendered.Surface().Brush.SetColor(static_cast<TColor>(RGB(0, 0, 255)));
        RECT blue{0, 0, 8, 8};
        rendered.Surface().FillRect(blue);
        view->Picture().Bitmap()->ShareFrom(&rendered);
    }
    for (int side : {32, 64}) {
        SCOPED_TRACE(side);
        view->SetBounds(41, 19, side, side);
        HWND wnd = area->WindowHandle();
        InvalidateRect(wnd, nullptr, TRUE);
        EXPECT_EQ(WindowPixel(wnd, 41 + side / 2, 19 + side / 2), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(WindowPixel(wnd, 42, 20), RGB(0, 0, 255));
    }
}
