#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "buttons/SpeedButton.h"
#include "tests/support/GuiTest.h"
#include "tests/support/Pictures.h"

namespace {
COLORREF Sys(int index) { return GetSysColor(index) & 0xFFFFFF; }

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kKey = RGB(191, 191, 191);        // the glyphs' corner: their transparent colour
constexpr COLORREF kMark = RGB(255, 0, 0);           // the glyph's top-left pixel
constexpr COLORREF kBackground = RGB(0, 96, 160);    // the form: no system or glyph colour

using PixelAt = std::function<COLORREF(int x, int y)>;

// A 24-bit glyph of exactly the given pixels.
void MakeGlyph(TBitmap& glyph, int w, int h, const PixelAt& at) {
    std::string rows;
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            COLORREF c = at(x, y);
            rows += {static_cast<char>(GetBValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetRValue(c))};
        }
        rows.append((4 - rows.size() % 4) % 4, '\0');
    }
    glyph.LoadFromStream(BmpFile(w, h, 24, {}, rows));
}

// The tool buttons' glyph: the marked corner, everything else transparent.
COLORREF Marked(int x, int y) { return x == 0 && y == 0 ? kMark : kKey; }

// Pure black on a diagonal, a row and a block (none in the last row or column,
// whose emboss copy would fall outside the 16 x 16 image), between colours,
// grays, white and near-blacks.
COLORREF Emboss(int x, int y) {
    if (x < 15 && y < 15 && (x == y || y == 4 || (x >= 9 && x <= 11 && y >= 9 && y <= 11))) return kBlack;
    if (x == 0 && y == 15) return kKey;
    static const COLORREF others[] = {RGB(1, 0, 0),     RGB(0, 1, 0),   RGB(0, 0, 1), RGB(255, 255, 255),
                                      RGB(128, 128, 128), kKey,         RGB(255, 0, 0), RGB(0, 0, 128),
                                      RGB(64, 64, 64),  RGB(1, 1, 1)};
    return others[(3 * x + y) % 10];
}

// A shown form in a colour of its own with one 22 x 22 flat tool button on it.
struct SpeedButtonFixture : ::testing::Test {
    TTestForm form{200, 120};
    TSpeedButton* button = nullptr;
    int clicks = 0;

    void SetUp() override {
        SetCursorPos(0, 0);  // the pointer stays off the form unless a test puts it there
        form.SetColor(static_cast<TColor>(kBackground));
        button = new TSpeedButton(&form);
        button->SetBounds(20, 30, 22, 22);
        button->SetFlat(true);
        TBitmap glyph;
        MakeGlyph(glyph, 16, 16, Marked);
        button->SetGlyph(&glyph);
        button->OnClick = [this](TObject*) { ++clicks; };
        button->SetParent(&form);
        form.Show();
        PumpMessages(20);
    }
    HWND Window() { return form.Handle(); }
    // A point given relative to the button, as the form's client sees it.
    void Mouse(UINT msg, int x, int y, WPARAM keys = 0) { SendMouse(Window(), msg, 20 + x, 30 + y, keys); }
    void PointerOverButton() {
        POINT at{31, 41};
        ClientToScreen(Window(), &at);
        SetCursorPos(at.x, at.y);
        PumpMessages(20);
    }
    COLORREF Pixel(int x, int y) { return WindowPixel(Window(), 20 + x, 30 + y); }
    // Left, top, right and bottom edge, halfway along each.
    std::array<COLORREF, 4> Frame() { return {Pixel(0, 11), Pixel(11, 0), Pixel(21, 11), Pixel(11, 21)}; }
    // Every pixel of the button's square at `left`,`top` that differs from `expected`.
    std::string Mismatches(int left, int top, int size, const PixelAt& expected) {
        UpdateWindow(Window());
        GdiFlush();
        HDC dc = GetDC(Window());
        std::ostringstream out;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                COLORREF seen = GetPixel(dc, 20 + left + x, 30 + top + y), wanted = expected(x, y);
                if (seen != wanted) out << " (" << x << "," << y << ")=" << std::hex << seen << " not " << wanted << std::dec;
            }
        ReleaseDC(Window(), dc);
        return out.str();
    }
};

using SpeedButtonLook = SpeedButtonFixture;
using SpeedButtonInput = SpeedButtonFixture;

const std::array<COLORREF, 4> kNoFrame{kBackground, kBackground, kBackground, kBackground};
std::array<COLORREF, 4> Raised() {
    return {Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)};
}
std::array<COLORREF, 4> Sunken() {
    return {Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNHIGHLIGHT)};
}
}  // namespace

TEST_F(SpeedButtonLook, AtRestAFlatButtonDrawsOnlyItsGlyphAtThreeThree) {
    EXPECT_EQ(Frame(), kNoFrame);
    EXPECT_EQ(Pixel(3, 3), kMark);
    EXPECT_EQ(Pixel(4, 4), kBackground);  // the glyph's transparent colour lets the form through
    EXPECT_FALSE(button->MouseInControl());
}

TEST_F(SpeedButtonLook, HoverRaisesTheFrameAPressSinksItAndMovesTheGlyphAndDisablingDropsIt) {
    PointerOverButton();
    Mouse(WM_MOUSEMOVE, 11, 11);
    EXPECT_TRUE(button->MouseInControl());
    EXPECT_EQ(Frame(), Raised());
    EXPECT_EQ(Pixel(2, 2), kBackground) << "the raised frame leaves the middle alone";
    EXPECT_EQ(Pixel(3, 3), kMark);

    Mouse(WM_LBUTTONDOWN, 11, 11, MK_LBUTTON);
    EXPECT_EQ(Frame(), Sunken());
    EXPECT_EQ(Pixel(4, 4), kMark);
    EXPECT_EQ(Pixel(3, 3), kBackground);

    Mouse(WM_LBUTTONUP, 11, 11);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Frame(), Raised()) << "the pointer is still over it";
    EXPECT_EQ(Pixel(3, 3), kMark);

    button->SetEnabled(false);
    EXPECT_EQ(Frame(), kNoFrame);
}

TEST_F(SpeedButtonLook, ADisabledOneGlyphButtonShowsOnlyItsPureBlackPixelsEmbossed) {
    TBitmap glyph;
    MakeGlyph(glyph, 16, 16, Emboss);
    button->SetGlyph(&glyph);
    button->SetEnabled(false);
    auto black = [](int x, int y) { return x >= 0 && y >= 0 && x < 16 && y < 16 && Emboss(x, y) == kBlack; };
    // Face pixels of the embossed image are transparent, and only black makes anything else.
    std::string wrong = Mismatches(3, 3, 17, [&](int x, int y) {
        if (black(x, y)) return Sys(COLOR_BTNSHADOW);
        if (black(x - 1, y - 1)) return Sys(COLOR_BTNHIGHLIGHT);
        return kBackground;
    });
    EXPECT_EQ(wrong, "");
    EXPECT_EQ(Frame(), kNoFrame);
}

TEST_F(SpeedButtonLook, ADisabledTwoGlyphButtonShowsItsSecondImageInButtonColours) {
    // The second image: white, gray, the key colour and two colours that stay.
    static const COLORREF second[] = {RGB(255, 255, 255), RGB(128, 128, 128), kKey, RGB(0, 0, 255), kBlack};
    auto at = [](int x, int y) { return x < 16 ? kMark : x == 16 && y == 15 ? kKey : second[(x + y) % 5]; };
    TBitmap glyph;
    MakeGlyph(glyph, 32, 16, [&](int x, int y) { return x == 0 && y == 15 ? kKey : at(x, y); });
    button->SetGlyph(&glyph);
    ASSERT_EQ(button->NumGlyphs(), 2);
    button->SetEnabled(false);
    std::string wrong = Mismatches(3, 3, 16, [&](int x, int y) {
        COLORREF c = at(16 + x, y);
        if (c == RGB(255, 255, 255)) return Sys(COLOR_BTNHIGHLIGHT);
        if (c == RGB(128, 128, 128)) return Sys(COLOR_BTNSHADOW);
        return c == kKey ? kBackground : c;  // made face, which is transparent
    });
    EXPECT_EQ(wrong, "");
}

TEST_F(SpeedButtonLook, WithTheGlyphOnTheRightTheCaptionEndsTheSpacingLeftOfIt) {
    const std::string caption = "Ab";
    button->SetBounds(20, 30, 100, 22);
    button->SetLayout(TButtonLayout::blGlyphRight);
    button->SetCaption(caption);
    // The caption's ink alone, drawn at x = 0 in the button's font, and its width.
    TBitmap alone;
    FillBitmap(alone, 100, 22, kBackground);
    TCanvas& canvas = alone.Surface();
    canvas.Font.Assign(button->Font);
    canvas.Brush.SetColor(static_cast<TColor>(kBackground));
    canvas.TextOut(0, 0, caption);
    const int textWidth = canvas.TextWidth(caption);
    int inkLeft = 100, inkRight = -1;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 22; ++y)
            if (canvas.PixelAt(x, y) != kBackground) inkLeft = std::min(inkLeft, x), inkRight = std::max(inkRight, x);
    ASSERT_LE(inkLeft, inkRight) << "the caption draws nothing";

    const struct {
        int margin, spacing;
    } rows[] = {{4, 6}, {4, 0}, {0, 11}, {-1, 4}, {-1, 9}, {3, -1}};
    const int axis = 98, glyph = 16;  // inside the one-pixel frame of a flat button
    for (const auto& row : rows) {
        SCOPED_TRACE("margin " + std::to_string(row.margin) + ", spacing " + std::to_string(row.spacing));
        button->SetMargin(row.margin);
        button->SetSpacing(row.spacing);
        int margin = row.margin, spacing = row.spacing;
        if (margin == -1) margin = (axis - (glyph + spacing + textWidth) + 1) / 2;
        if (spacing == -1) spacing = (axis - margin - glyph - textWidth) / 2;
        const int glyphLeft = 1 + axis - margin - glyph, textLeft = glyphLeft - spacing - textWidth;
        EXPECT_EQ(Pixel(glyphLeft, 3), kMark);
        // The caption's ink, left of the glyph, as the window shows it.
        UpdateWindow(Window());
        GdiFlush();
        HDC dc = GetDC(Window());
        int left = 100, right = -1;
        for (int x = 0; x < glyphLeft; ++x)
            for (int y = 0; y < 22; ++y)
                if (GetPixel(dc, 20 + x, 30 + y) != kBackground) left = std::min(left, x), right = std::max(right, x);
        ReleaseDC(Window(), dc);
        EXPECT_EQ(left, textLeft + inkLeft);
        EXPECT_EQ(right, textLeft + inkRight);
    }
}

TEST_F(SpeedButtonInput, AGroupedButtonThatIsDownStaysDownUnlessAllUpIsAllowed) {
    auto* other = new TSpeedButton(&form);
    other->SetBounds(50, 30, 22, 22);
    other->SetFlat(true);
    other->SetParent(&form);
    button->SetGroupIndex(1);
    other->SetGroupIndex(1);
    auto click = [&](TSpeedButton* which) {
        const int left = which == button ? 20 : 50;
        SendMouse(Window(), WM_LBUTTONDOWN, left + 5, 35, MK_LBUTTON);
        SendMouse(Window(), WM_LBUTTONUP, left + 5, 35);
    };
    const struct {
        const char* what;
        bool allowAllUp;  // set on the button, which tells its group
        TSpeedButton* clicked;
        bool buttonDown, otherDown;
    } steps[] = {
        {"the button goes down", false, button, true, false},
        {"clicked again it stays down", false, button, true, false},
        {"the other takes over", false, other, false, true},
        {"and stays down too", false, other, false, true},
        {"all up allowed: it can go up", true, other, false, false},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        button->SetAllowAllUp(step.allowAllUp);
        clicks = 0;
        click(step.clicked);
        EXPECT_EQ(clicks, step.clicked == button ? 1 : 0);
        EXPECT_EQ(button->Down(), step.buttonDown);
        EXPECT_EQ(other->Down(), step.otherDown);
        EXPECT_EQ(button->State(), step.buttonDown ? StateExclusive : StateUp);
        // Held down: a sunken frame and the glyph one pixel right and down.
        EXPECT_EQ(Frame(), step.buttonDown ? Sunken() : kNoFrame);
        EXPECT_EQ(Pixel(step.buttonDown ? 4 : 3, step.buttonDown ? 4 : 3), kMark);
    }
}

TEST_F(SpeedButtonInput, AClickNeedsTheLeftPressAndReleaseOnTheEnabledButton) {
    struct Step {
        UINT msg;
        int x, y;
        WPARAM keys;
    };
    struct Case {
        const char* what;
        bool enabled;
        std::vector<Step> steps;
        int clicks;
    };
    const Case cases[] = {
        {"press and release inside", true, {{WM_LBUTTONDOWN, 5, 5, MK_LBUTTON}, {WM_LBUTTONUP, 6, 6, 0}}, 1},
        {"release outside",
         true,
         {{WM_LBUTTONDOWN, 5, 5, MK_LBUTTON}, {WM_MOUSEMOVE, 40, 5, MK_LBUTTON}, {WM_LBUTTONUP, 40, 5, 0}},
         0},
        {"out and back in",
         true,
         {{WM_LBUTTONDOWN, 5, 5, MK_LBUTTON},
          {WM_MOUSEMOVE, 40, 5, MK_LBUTTON},
          {WM_MOUSEMOVE, 10, 10, MK_LBUTTON},
          {WM_LBUTTONUP, 10, 10, 0}},
         1},
        {"pressed on the form",
         true,
         {{WM_LBUTTONDOWN, 40, 5, MK_LBUTTON}, {WM_MOUSEMOVE, 5, 5, MK_LBUTTON}, {WM_LBUTTONUP, 5, 5, 0}},
         0},
        {"right button", true, {{WM_RBUTTONDOWN, 5, 5, MK_RBUTTON}, {WM_RBUTTONUP, 5, 5, 0}}, 0},
        {"disabled", false, {{WM_LBUTTONDOWN, 5, 5, MK_LBUTTON}, {WM_LBUTTONUP, 5, 5, 0}}, 0},
    };
    for (const Case& c : cases) {
        clicks = 0;
        button->SetEnabled(c.enabled);
        for (const Step& s : c.steps) Mouse(s.msg, s.x, s.y, s.keys);
        PumpMessages(10);
        EXPECT_EQ(clicks, c.clicks) << c.what;
        EXPECT_EQ(button->State(), c.enabled ? StateUp : StateDisabled) << c.what;
        button->SetEnabled(true);
    }
}

TEST_F(SpeedButtonInput, AnAltLetterThroughTheMessageLoopClicksTheEnabledButtonItsCaptionMarks) {
    button->SetCaption("&Q");
    for (bool enabled : {true, false}) {
        clicks = 0;
        button->SetEnabled(enabled);
        PostMessageA(Window(), WM_SYSCHAR, 'q', 0);
        PumpMessages(20);
        EXPECT_EQ(clicks, enabled ? 1 : 0) << (enabled ? "enabled" : "disabled");
    }
}

TEST(SpeedButtonGlyph, ButtonsWithGlyphsOfOneSizeShareOneListThatGoesWithTheLastOfThem) {
    ASSERT_EQ(GlyphCache(), nullptr) << "a button outlived its test";
    auto a = std::make_unique<TSpeedButton>(nullptr);
    auto b = std::make_unique<TSpeedButton>(nullptr);
    auto c = std::make_unique<TSpeedButton>(nullptr);
    TBitmap small, other, large;
    MakeGlyph(small, 16, 16, Marked);
    MakeGlyph(other, 16, 16, Emboss);
    MakeGlyph(large, 24, 24, [](int, int) { return kKey; });
    a->SetGlyph(&small);
    b->SetGlyph(&other);
    c->SetGlyph(&large);
    ASSERT_GE(a->ButtonGlyph().CreateButtonGlyph(StateUp), 0);
    ASSERT_GE(b->ButtonGlyph().CreateButtonGlyph(StateDisabled), 0);
    ASSERT_GE(c->ButtonGlyph().CreateButtonGlyph(StateUp), 0);
    TGlyphList* shared = a->ButtonGlyph().List();
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(b->ButtonGlyph().List(), shared);
    EXPECT_NE(c->ButtonGlyph().List(), shared);
    EXPECT_EQ(shared->Count(), 2);

    a.reset();
    EXPECT_EQ(b->ButtonGlyph().List()->Count(), 1);
    b.reset();
    EXPECT_NE(GlyphCache(), nullptr) << "the large glyph's list is still in use";
    c.reset();
    EXPECT_EQ(GlyphCache(), nullptr);
}

TEST(SpeedButtonGlyph, TheGlyphCountFollowsTheBitmapsShape) {
    const struct {
        int width, count;
    } cases[] = {{16, 1}, {32, 2}, {48, 3}, {64, 4}, {80, 1}};
    for (const auto& c : cases) {
        TSpeedButton button(nullptr);
        TBitmap glyph;
        MakeGlyph(glyph, c.width, 16, Marked);
        button.SetGlyph(&glyph);
        EXPECT_EQ(button.NumGlyphs(), c.count) << c.width << " x 16";
        ASSERT_GE(button.ButtonGlyph().CreateButtonGlyph(StateUp), 0);
        EXPECT_EQ(button.ButtonGlyph().List()->Width(), c.width / c.count) << c.width << " x 16";
    }
}

TEST(SpeedButtonGlyph, ACaptionsAcceleratorIsTheCharacterAfterASingleAmpersand) {
    const struct {
        const char* caption;
        char key;
        bool accel;
    } cases[] = {{"&Save", 's', true}, {"&Save", 'S', true}, {"&&Save", 's', false},
                 {"a&&b&c", 'c', true}, {"a&&b&c", 'b', false}, {"", 'a', false}, {"Save&", 's', false}};
    for (const auto& c : cases) EXPECT_EQ(IsAccel(c.key, c.caption), c.accel) << c.caption << " " << c.key;
}
