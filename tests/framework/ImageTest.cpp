#include <gtest/gtest.h>

#include "framework/Image.h"
#include "framework/Panel.h"
#include "graphics/Bitmap.h"
#include "tests/support/Pictures.h"
#include "tests/support/GuiTest.h"

namespace {
constexpr COLORREF kBlue = RGB(0, 0, 255);

std::string Text(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}


// A picture view of the given size on a form.
struct View {
    TTestForm form{400, 300};
    TImage* image;
    View(int w, int h) : image(new TImage(&form)) {
        image->SetParent(&form);
        image->SetBounds(0, 0, w, h);
    }
    void Show(int w, int h) {
        TBitmap picture;
        picture.SetWidth(w);
        picture.SetHeight(h);
        image->Picture().SetContent(&picture);
    }
};

std::string Placed(bool stretch, bool center, bool proportional, SIZE picture, SIZE view) {
    View v(view.cx, view.cy);
    v.image->SetStretch(stretch);
    v.image->SetCenter(center);
    v.image->SetProportional(proportional);
    v.Show(picture.cx, picture.cy);
    return Text(v.image->DestRect());
}
}  // namespace

TEST(PictureViewPlacement, StretchFillsTheViewCentredOrNot) {
    EXPECT_EQ(Placed(true, true, false, {32, 32}, {96, 96}), "(0,0,96,96)");
    EXPECT_EQ(Placed(true, true, false, {32, 32}, {16, 16}), "(0,0,16,16)");
    EXPECT_EQ(Placed(true, false, false, {100, 50}, {145, 157}), "(0,0,145,157)");
}

TEST(PictureViewPlacement, CenterAloneCentresTheNaturalSize) {
    EXPECT_EQ(Placed(false, true, false, {32, 32}, {96, 96}), "(32,32,64,64)");
    EXPECT_EQ(Placed(false, true, false, {32, 32}, {16, 16}), "(-8,-8,24,24)");
    EXPECT_EQ(Placed(false, false, false, {32, 32}, {16, 16}), "(0,0,32,32)");
}

TEST(PictureViewPlacement, ProportionalStretchKeepsTheAspect) {
    EXPECT_EQ(Placed(true, false, true, {100, 50}, {145, 157}), "(0,0,145,72)");
    EXPECT_EQ(Placed(true, true, true, {100, 50}, {145, 157}), "(0,42,145,114)");
    EXPECT_EQ(Placed(true, false, true, {50, 100}, {157, 145}), "(0,0,72,145)");
}

TEST(PictureViewPlacement, ProportionalAloneOnlyShrinksPicturesLargerThanTheView) {
    EXPECT_EQ(Placed(false, false, true, {32, 16}, {96, 96}), "(0,0,32,16)");
    EXPECT_EQ(Placed(false, false, true, {200, 100}, {96, 96}), "(0,0,96,48)");
    EXPECT_EQ(Placed(false, true, true, {200, 100}, {96, 96}), "(0,24,96,72)");
}

TEST(PictureViewPlacement, WithoutAPictureTheRectangleIsOfAZeroSizedPictureAndTheViewIsSeeThrough) {
    const char* expected[2][2] = {{"(0,0,0,0)", "(48,48,48,48)"}, {"(0,0,96,96)", "(0,0,96,96)"}};
    for (bool stretch : {false, true})
        for (bool center : {false, true}) {
            SCOPED_TRACE(std::string(stretch ? "stretch " : "") + (center ? "center" : ""));
            View v(96, 96);
            v.image->SetStretch(stretch);
            v.image->SetCenter(center);
            EXPECT_EQ(Text(v.image->DestRect()), expected[stretch][center]);
            EXPECT_FALSE(v.image->HasStyle(csOpaque));
        }
}

TEST(PictureViewOpacity, OnlyAStretchedPlainPictureCoversTheWholeView) {
    View v(96, 96);
    v.Show(32, 32);
    EXPECT_FALSE(v.image->HasStyle(csOpaque));
    v.image->SetStretch(true);
    EXPECT_TRUE(v.image->HasStyle(csOpaque));
    v.image->SetTransparent(true);
    EXPECT_FALSE(v.image->HasStyle(csOpaque));
    v.image->SetTransparent(false);
    v.image->SetProportional(true);
    EXPECT_FALSE(v.image->HasStyle(csOpaque));
    v.image->SetProportional(false);
    EXPECT_TRUE(v.image->HasStyle(csOpaque));
    v.image->Picture().SetContent(nullptr);
    EXPECT_FALSE(v.image->HasStyle(csOpaque));
}

TEST(PictureViewAutoSize, TakesThePictureSizeKeepingItsPlace) {
    View v(50, 50);
    v.image->SetBounds(7, 9, 50, 50);
    v.image->SetAutoSize(true);
    v.Show(468, 60);
    EXPECT_EQ(Text(v.image->BoundsRect()), "(7,9,475,69)");
}

TEST(PictureViewAutoSize, APictureWithoutWidthLeavesTheSizeAlone) {
    View v(50, 40);
    v.image->SetAutoSize(true);
    v.Show(0, 60);
    EXPECT_EQ(v.image->Width(), 50);
    EXPECT_EQ(v.image->Height(), 40);
}

TEST(PictureView, WritingTheSameStretchAgainDoesNotRepaint) {
    View v(96, 96);
    v.Show(32, 32);
    v.form.Show();
    PumpMessages(50);
    HWND wnd = v.form.WindowHandle();
    ValidateRect(wnd, nullptr);
    v.image->SetStretch(false);
    EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE));
    v.image->SetStretch(true);
    EXPECT_TRUE(GetUpdateRect(wnd, nullptr, FALSE));
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

