#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/HintWindow.h"
#include "framework/Panel.h"
#include "framework/Splitter.h"
#include "tests/support/GuiTest.h"

namespace {
std::string Place(long l, long t, long w, long h) {
    return std::to_string(l) + "," + std::to_string(t) + " " + std::to_string(w) + "x" + std::to_string(h);
}

std::string WindowPlace(TWinControl* c) {
    RECT r;
    GetWindowRect(c->WindowHandle(), &r);
    MapWindowPoints(nullptr, GetParent(c->WindowHandle()), reinterpret_cast<POINT*>(&r), 2);
    return Place(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Both what the object says and where its window really is.
void ExpectAt(TWinControl* c, const std::string& place) {
    EXPECT_EQ(Place(c->Left(), c->Top(), c->Width(), c->Height()), place) << c->Name();
    EXPECT_EQ(WindowPlace(c), place) << c->Name() << " (window)";
}

// A panel owned by the form, docked in `parent`; `size` is its depth along the side.
TPanel* Dock(TForm& form, TWinControl& parent, TAlign align, int size, const char* name) {
    auto* p = new TPanel(&form);
    p->SetName(name);
    p->SetBounds(0, 0, size, size);
    p->SetAlign(align);
    p->SetParent(&parent);
    return p;
}

// A windowless control that fills, or leaves alone, a rectangle wider than itself.
class TSwatch : public TGraphicControl {
public:
    TSwatch(TComponent* owner, bool fills) : TGraphicControl(owner), fills_(fills) {}

protected:
    void Paint() override { if (fills_) Canvas().FillRect({-20, -20, Width() + 20, Height() + 20}); }

private:
    bool fills_;
};

TSwatch* Swatch(TForm& form, RECT r, TColor color, bool fills = true) {
    auto* s = new TSwatch(&form, fills);
    s->SetColor(color);
    s->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    s->SetParent(&form);
    return s;
}

constexpr COLORREF kRed = RGB(220, 30, 30);
constexpr COLORREF kBlue = RGB(20, 40, 200);
}  // namespace

struct Docking : ::testing::Test {
    TTestForm form{400, 300};
    void SetUp() override { form.Show(); }
};

TEST_F(Docking, SidesTakeTheirDepthInOrderAndTheClientControlFillsWhatTheyLeave) {
    TPanel* client = Dock(form, form, TAlign::alClient, 10, "client");  // made first on purpose
    TPanel* top = Dock(form, form, TAlign::alTop, 40, "top");
    TPanel* bottom = Dock(form, form, TAlign::alBottom, 30, "bottom");
    TPanel* left = Dock(form, form, TAlign::alLeft, 50, "left");
    TPanel* right = Dock(form, form, TAlign::alRight, 60, "right");
    ExpectAt(top, "0,0 400x40");
    ExpectAt(bottom, "0,270 400x30");
    ExpectAt(left, "0,40 50x230");
    ExpectAt(right, "340,40 60x230");
    ExpectAt(client, "50,40 290x230");
}

TEST_F(Docking, TwoTopControlsStackInCreationOrder) {
    TPanel* first = Dock(form, form, TAlign::alTop, 20, "first");
    TPanel* second = Dock(form, form, TAlign::alTop, 30, "second");
    TPanel* client = Dock(form, form, TAlign::alClient, 10, "client");
    ExpectAt(first, "0,0 400x20");
    ExpectAt(second, "0,20 400x30");
    ExpectAt(client, "0,50 400x250");
}

TEST_F(Docking, AHiddenControlTakesNoRoomUntilShown) {
    TPanel* top = Dock(form, form, TAlign::alTop, 40, "top");
    TPanel* client = Dock(form, form, TAlign::alClient, 10, "client");
    top->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(top->WindowHandle()));
    ExpectAt(client, "0,0 400x300");
    top->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(top->WindowHandle()));
    ExpectAt(client, "0,40 400x260");
}

TEST_F(Docking, APanelsBordersAndBevelsShrinkTheRoomItsChildrenDockIn) {
    TPanel* host = Dock(form, form, TAlign::alNone, 0, "host");
    host->SetBounds(10, 10, 200, 100);
    host->SetBorderWidth(3);
    host->SetBevelWidth(2);
    host->SetBevelInner(TBevelCut::bvLowered);
    TPanel* inner = Dock(form, *host, TAlign::alClient, 10, "inner");
    ExpectAt(inner, "7,7 186x86");  // border 3 + outer bevel 2 + inner bevel 2
    host->SetBevelInner(TBevelCut::bvNone);
    ExpectAt(inner, "5,5 190x90");
    host->SetBevelOuter(TBevelCut::bvNone);
    host->SetBorderWidth(0);
    ExpectAt(inner, "0,0 200x100");
}

TEST_F(Docking, ChangingASizeDocksEverythingAgain) {
    TPanel* top = Dock(form, form, TAlign::alTop, 40, "top");
    TPanel* left = Dock(form, form, TAlign::alLeft, 50, "left");
    TPanel* client = Dock(form, form, TAlign::alClient, 10, "client");
    top->SetHeight(70);
    ExpectAt(left, "0,70 50x230");
    ExpectAt(client, "50,70 350x230");
    left->SetWidth(80);
    ExpectAt(client, "80,70 320x230");
    form.SetClientSize(500, 200);
    ExpectAt(top, "0,0 500x70");
    ExpectAt(client, "80,70 420x130");
}

struct Splitting : ::testing::Test {
    TTestForm form{400, 300};
    TWinControl* host = &form;
    TPanel* left = nullptr;
    TSplitter* splitter = nullptr;
    TPanel* client = nullptr;
    void SetUp() override { form.Show(); }
    TSplitter* NewSplitter(TWinControl& parent, TAlign align = TAlign::alLeft) {
        auto* s = new TSplitter(&form);
        s->SetAlign(align);
        s->SetParent(&parent);
        return s;
    }
    // A left panel 100 wide, the splitter, and a client panel, inside `parent`.
    void Build(TWinControl& parent) {
        host = &parent;
        left = Dock(form, parent, TAlign::alLeft, 100, "left");
        splitter = NewSplitter(parent);
        client = Dock(form, parent, TAlign::alClient, 10, "client");
    }
    // A press at `fromX`, moves through `path`, the release at the last point.
    void Drag(int fromX, std::vector<int> path, int y = 150) {
        HWND wnd = host->Handle();
        SendMouse(wnd, WM_MOUSEMOVE, fromX, y);
        SendMouse(wnd, WM_LBUTTONDOWN, fromX, y, MK_LBUTTON);
        for (int x : path) SendMouse(wnd, WM_MOUSEMOVE, x, y, MK_LBUTTON);
        SendMouse(wnd, WM_LBUTTONUP, path.empty() ? fromX : path.back(), y);
    }
    void ExpectSplitAt(int leftEdge, int leftWidth, int right) {
        EXPECT_EQ(left->Width(), leftWidth);
        EXPECT_EQ(splitter->Left(), leftEdge + leftWidth);  // still touching the left panel
        int clientLeft = leftEdge + leftWidth + splitter->Width();
        ExpectAt(client, Place(clientLeft, client->Top(), right - clientLeft, client->Height()));
        ExpectAt(left, Place(leftEdge, left->Top(), leftWidth, client->Height()));
    }
};

TEST_F(Splitting, DraggingTheBarResizesTheLeftPanelByTheDistanceMoved) {
    Build(form);
    Drag(101, {141});
    ExpectSplitAt(0, 140, 400);
    EXPECT_FALSE(splitter->Dragging());
    Drag(141, {91});
    ExpectSplitAt(0, 90, 400);
}

TEST_F(Splitting, ReleasingWithoutMovingChangesNothing) {
    Build(form);
    Drag(102, {});
    ExpectSplitAt(0, 100, 400);
}

TEST_F(Splitting, NeitherSideGetsNarrowerThanTheMinimum) {
    Build(form);
    Drag(101, {10});
    ExpectSplitAt(0, 30, 400);
    Drag(31, {399});
    ExpectSplitAt(0, 367, 400);  // leaves 30 for the client panel
}

TEST_F(Splitting, InsideAPanelTheLimitsAreThoseOfThePanelsInnerRoom) {
    TPanel* panel = Dock(form, form, TAlign::alNone, 0, "panel");
    panel->SetBounds(20, 20, 300, 200);
    panel->SetBorderWidth(4);  // with the raised outer bevel: 5 on each side
    Build(*panel);
    ExpectSplitAt(5, 100, 295);
    Drag(106, {299});
    ExpectSplitAt(5, 257, 295);
    Drag(263, {0});
    ExpectSplitAt(5, 30, 295);
}

TEST_F(Splitting, WhenTheBarFollowsTheMouseItKeepsUpThroughEveryMove) {
    Build(form);
    splitter->SetResizeStyle(TResizeStyle::rsUpdate);
    Drag(101, {111, 121, 131, 141});
    ExpectSplitAt(0, 140, 400);
}

TEST_F(Splitting, ItResizesTheControlDockedOnItsSideJustBeforeIt) {
    TPanel* first = Dock(form, form, TAlign::alLeft, 50, "first");
    TPanel* right = Dock(form, form, TAlign::alRight, 60, "right");
    TPanel* second = Dock(form, form, TAlign::alLeft, 80, "second");
    TSplitter* bar = NewSplitter(form);
    Dock(form, form, TAlign::alClient, 10, "client");
    EXPECT_EQ(bar->ResizedControl(), second);
    Drag(131, {151});
    EXPECT_EQ(second->Width(), 100);
    EXPECT_EQ(first->Width(), 50);
    EXPECT_EQ(right->Width(), 60);
}

TEST_F(Splitting, ARightDockedBarWidensTheRightPanelWhenMovedLeft) {
    TPanel* right = Dock(form, form, TAlign::alRight, 80, "right");
    TSplitter* bar = NewSplitter(form, TAlign::alRight);
    Dock(form, form, TAlign::alClient, 10, "client");
    ASSERT_EQ(bar->ResizedControl(), right);
    Drag(318, {298});
    ExpectAt(right, "300,0 100x300");
    EXPECT_EQ(bar->Left(), 297);
}

struct WindowlessPainting : ::testing::Test {
    TTestForm form{200, 150};
    COLORREF Background() { return ColorToRGB(form.Color()); }
    COLORREF Pixel(int x, int y) { return WindowPixel(form.Handle(), x, y); }
    void SetUp() override {
        form.SetColor(RGB(40, 160, 60));
        form.Show();
    }
    // Paints straight onto the form, then lets the form repaint that place.
    void DaubAndRepaint(RECT r) {
        HWND wnd = form.Handle();
        UpdateWindow(wnd);  // paint what is pending first, or it would cover the daub
        HDC dc = GetDC(wnd);
        HBRUSH brush = CreateSolidBrush(kRed);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        ReleaseDC(wnd, dc);
        ASSERT_EQ(Pixel(r.left + 5, r.top + 5), kRed);
        InvalidateRect(wnd, &r, TRUE);
        UpdateWindow(wnd);
    }
};

TEST_F(WindowlessPainting, AControlPaintsAtItsPlaceAndNoFurther) {
    Swatch(form, {50, 60, 90, 90}, kBlue);
    EXPECT_EQ(Pixel(50, 60), kBlue);
    EXPECT_EQ(Pixel(89, 89), kBlue);
    EXPECT_EQ(Pixel(49, 70), Background());
    EXPECT_EQ(Pixel(90, 70), Background());
    EXPECT_EQ(Pixel(70, 59), Background());
    EXPECT_EQ(Pixel(70, 90), Background());
}

TEST_F(WindowlessPainting, TheParentErasesUnderAControlThatIsNotOpaque) {
    Swatch(form, {30, 30, 80, 80}, kBlue, false);
    DaubAndRepaint({30, 30, 80, 80});
    EXPECT_EQ(Pixel(55, 55), Background());
}

TEST_F(WindowlessPainting, TheParentLeavesAnOpaqueControlsPlaceToIt) {
    TSwatch* s = Swatch(form, {30, 30, 80, 80}, kBlue, false);
    s->ControlStyle |= csOpaque;
    DaubAndRepaint({20, 20, 90, 90});
    EXPECT_EQ(Pixel(55, 55), kRed);
    EXPECT_EQ(Pixel(79, 79), kRed);
    EXPECT_EQ(Pixel(25, 25), Background());  // around it the parent still erases
    EXPECT_EQ(Pixel(85, 55), Background());
}

TEST(AfterMessageHook, RunsOnceAfterEachMessageAWindowedControlHandlesWhenItsHandlerIsDone) {
    TTestForm form(200, 100);
    form.Show();
    TPanel* panel = Dock(form, form, TAlign::alClient, 10, "panel");
    int calls = 0;
    SetAfterMessageHook([&calls] { ++calls; });
    struct Reset { ~Reset() { SetAfterMessageHook({}); } } reset;
    SendMessageA(panel->Handle(), WM_NULL, 0, 0);
    EXPECT_EQ(calls, 1);
    // Messages its handler sends on the way are part of the same message.
    int seenInside = -1;
    panel->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        SendMessageA(form.Handle(), WM_NULL, 0, 0);
        seenInside = calls;
    };
    SendMouse(panel->Handle(), WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(seenInside, 1);
    EXPECT_EQ(calls, 2);
    SetAfterMessageHook({});
    SendMessageA(panel->Handle(), WM_NULL, 0, 0);
    EXPECT_EQ(calls, 2);
}

TEST(Caption, IsTheWindowText) {
    TTestForm form(200, 100);
    form.SetCaption("图标提取");
    auto* panel = new TPanel(&form);
    panel->SetCaption("预览");  // before the window exists
    form.Show();
    panel->SetParent(&form);
    EXPECT_EQ(WindowText(form.Handle()), "图标提取");
    EXPECT_EQ(WindowText(panel->Handle()), "预览");
    panel->SetCaption("没有图标");
    EXPECT_EQ(WindowText(panel->Handle()), "没有图标");
}

struct Hints : ::testing::Test {
    TTestForm form{300, 200};
    POINT savedCursor{};
    int savedPause = Application.HintPause;
    void SetUp() override {
        GetCursorPos(&savedCursor);
        Application.HintPause = 10;
        form.Show();
    }
    void TearDown() override {
        Application.HintMouseMove(nullptr);  // a hint left up would lie over later tests' windows
        Application.HintPause = savedPause;
        SetCursorPos(savedCursor.x, savedCursor.y);
    }
    TSwatch* WithHint(RECT r, const std::string& hint) {
        TSwatch* s = Swatch(form, r, kBlue);
        s->SetHint(hint);
        return s;
    }
    // The real pointer goes there too, so the window is not told the mouse left.
    void MoveTo(int x, int y) {
        POINT p{x, y};
        ClientToScreen(form.Handle(), &p);
        SetCursorPos(p.x, p.y);
        SendMouse(form.Handle(), WM_MOUSEMOVE, x, y);
    }
    static bool HintShowing() {
        THintWindow* hint = Application.HintWindow();
        return hint && hint->Active() && IsWindowVisible(hint->WindowHandle());
    }
};

TEST_F(Hints, AControlThatShowsHintsGetsItsHintUnderThePointer) {
    WithHint({20, 20, 80, 60}, "放大图标")->SetShowHint(true);
    MoveTo(40, 40);
    ASSERT_TRUE(PumpUntil(HintShowing, 3000));
    EXPECT_EQ(WindowText(Application.HintWindow()->WindowHandle()), "放大图标");
}

TEST_F(Hints, AControlFollowingItsParentShowsAHintOnlyWhenTheParentDoes) {
    TSwatch* s = WithHint({20, 20, 80, 60}, "放大图标");
    ASSERT_TRUE(s->ParentShowHint());
    MoveTo(40, 40);
    PumpMessages(200);
    EXPECT_FALSE(HintShowing());
    form.SetShowHint(true);
    MoveTo(200, 150);
    MoveTo(40, 40);
    EXPECT_TRUE(PumpUntil(HintShowing, 3000));
}

TEST_F(Hints, MovingOntoAControlWithoutAHintHidesIt) {
    WithHint({20, 20, 80, 60}, "放大图标")->SetShowHint(true);
    Swatch(form, {100, 20, 160, 60}, kRed)->SetShowHint(true);
    MoveTo(40, 40);
    ASSERT_TRUE(PumpUntil(HintShowing, 3000));
    MoveTo(120, 40);
    EXPECT_FALSE(HintShowing());
    PumpMessages(100);
    EXPECT_FALSE(HintShowing());
}

TEST_F(Hints, DestroyingTheControlUnderTheHintTakesTheHintAway) {
    TSwatch* s = WithHint({20, 20, 80, 60}, "放大图标");
    s->SetShowHint(true);
    MoveTo(40, 40);
    ASSERT_TRUE(PumpUntil(HintShowing, 3000));
    delete s;
    EXPECT_FALSE(HintShowing());
}
