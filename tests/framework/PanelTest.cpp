#include <gtest/gtest.h>

#include "framework/Label.h"
#include "framework/Panel.h"
#include "graphics/GdiObject.h"
#include "tests/support/GuiTest.h"

namespace {
COLORREF Sys(int index) { return GetSysColor(index); }

struct PanelFixture : ::testing::Test {
    TTestForm form{300, 200};
    TPanel* panel = nullptr;
    void SetUp() override {
        panel = new TPanel(&form);
        panel->SetParent(&form);
        panel->SetBounds(10, 10, 120, 40);
        form.Show();
    }
    COLORREF Pixel(int x, int y) { return WindowPixel(panel->Handle(), x, y); }
    // Columns of the panel where some pixel has the text colour.
    std::vector<int> TextColumns() {
        std::vector<int> columns;
        COLORREF text = ColorToRGB(panel->Font.Color());
        for (int x = 0; x < panel->Width(); ++x)
            for (int y = 0; y < panel->Height(); ++y)
                if (Pixel(x, y) == text) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    }
};
}  // namespace

TEST_F(PanelFixture, ARaisedOuterBevelIsLightTopLeftAndDarkBottomRight) {
    EXPECT_EQ(Pixel(0, 0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Pixel(0, 20), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Pixel(119, 20), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Pixel(60, 39), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Pixel(60, 20), Sys(COLOR_BTNFACE));
}

TEST_F(PanelFixture, ALoweredOuterBevelIsDarkTopLeftAndLightBottomRight) {
    panel->SetBevelOuter(TBevelCut::bvLowered);
    EXPECT_EQ(Pixel(0, 20), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Pixel(119, 20), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(PanelFixture, AnInnerBevelSitsInsideTheOuterOne) {
    panel->SetBevelInner(TBevelCut::bvLowered);
    EXPECT_EQ(Pixel(0, 20), Sys(COLOR_BTNHIGHLIGHT));  // outer, raised
    EXPECT_EQ(Pixel(1, 20), Sys(COLOR_BTNSHADOW));     // inner, lowered
    EXPECT_EQ(Pixel(118, 20), Sys(COLOR_BTNHIGHLIGHT));
    panel->SetBevelOuter(TBevelCut::bvNone);
    EXPECT_EQ(Pixel(0, 20), Sys(COLOR_BTNSHADOW));  // the inner bevel alone is at the edge
}

TEST_F(PanelFixture, WithoutBevelsThePanelIsPlainFace) {
    panel->SetBevelOuter(TBevelCut::bvNone);
    EXPECT_EQ(Pixel(0, 0), Sys(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(119, 39), Sys(COLOR_BTNFACE));
}

TEST_F(PanelFixture, BordersAndBevelsNarrowTheRoomForDockedChildren) {
    RECT r = panel->AlignRect();
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.right, 119);
    panel->SetBevelInner(TBevelCut::bvRaised);
    panel->SetBorderWidth(2);
    r = panel->AlignRect();
    EXPECT_EQ(r.left, 4);
    EXPECT_EQ(r.bottom, 36);
    panel->SetBevelOuter(TBevelCut::bvNone);
    panel->SetBevelInner(TBevelCut::bvNone);
    panel->SetBorderWidth(0);
    r = panel->AlignRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.bottom, 40);
}

TEST_F(PanelFixture, TheCaptionIsTheWindowTextAndIsCentredByDefault) {
    panel->SetCaption("WWW");
    EXPECT_EQ(WindowText(panel->WindowHandle()), "WWW");
    std::vector<int> columns = TextColumns();
    ASSERT_FALSE(columns.empty());
    int middle = (columns.front() + columns.back()) / 2;
    EXPECT_NEAR(middle, 60, 3);
}

TEST_F(PanelFixture, ALeftJustifiedCaptionStartsAtTheLeftEdge) {
    panel->SetCaption("WWW");
    panel->SetAlignment(TAlignment::taLeftJustify);
    std::vector<int> columns = TextColumns();
    ASSERT_FALSE(columns.empty());
    EXPECT_LE(columns.front(), 3);
    panel->SetAlignment(TAlignment::taRightJustify);
    columns = TextColumns();
    ASSERT_FALSE(columns.empty());
    EXPECT_GE(columns.back(), 115);
}

TEST_F(PanelFixture, AnEmptyCaptionDrawsNoText) {
    panel->SetCaption("");
    EXPECT_TRUE(TextColumns().empty());
    EXPECT_EQ(WindowText(panel->WindowHandle()), "");
}

TEST_F(PanelFixture, ADoubleBufferedPanelIsErasedOnlyWithItsPaintingAndLooksAsAPlainOne) {
    // The same panel twice, one painted through a bitmap, each with a windowless child.
    TPanel* panels[2] = {panel, new TPanel(&form)};
    panels[1]->SetParent(&form);
    panels[1]->SetBounds(10, 100, 120, 40);
    for (TPanel* p : panels) {
        p->SetCaption("双缓冲");
        p->SetBevelInner(TBevelCut::bvLowered);
        auto* label = new TLabel(&form);
        label->SetCaption("Label");
        label->SetBounds(4, 4, 40, 14);
        label->SetParent(p);
    }
    panel->SetDoubleBuffered(true);
    panel->Invalidate();
    int differing = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) differing += Pixel(x, y) != WindowPixel(panels[1]->Handle(), x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(Pixel(100, 20), Sys(COLOR_BTNFACE)) << "the panel was painted";

    // Erasing by itself leaves the plain panel's context face-coloured and the other's untouched.
    const COLORREF marker = RGB(1, 2, 3);
    for (TPanel* p : panels) {
        MemoryDC dc;
        GdiBitmap bitmap(CreateBitmap(120, 40, 1, 32, nullptr));
        SelectGuard select(dc.Get(), bitmap.Get());
        GdiBrush brush(CreateSolidBrush(marker));
        RECT all{0, 0, 120, 40};
        FillRect(dc.Get(), &all, brush.Get());
        EXPECT_NE(SendMessageA(p->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0), 0);
        EXPECT_EQ(GetPixel(dc.Get(), 100, 20), p->DoubleBuffered() ? marker : Sys(COLOR_BTNFACE));
    }
}
