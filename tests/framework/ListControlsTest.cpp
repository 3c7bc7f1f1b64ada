#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ComboBox.h"
#include "base/Exceptions.h"
#include "framework/ListBox.h"
#include "tests/support/GuiTest.h"

namespace {

std::vector<std::string> ListTexts(HWND list) {
    std::vector<std::string> texts;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char buffer[256] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
        texts.emplace_back(buffer);
    }
    return texts;
}

RECT ItemRectOf(HWND list, int index) {
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

void SendToItem(HWND list, int index, UINT msg, WPARAM keys = 0) {
    RECT r = ItemRectOf(list, index);
    SendMouse(list, msg, (r.left + r.right) / 2, (r.top + r.bottom) / 2, keys);
}

void ClickItem(HWND list, int index) {
    SendToItem(list, index, WM_LBUTTONDOWN, MK_LBUTTON);
    SendToItem(list, index, WM_LBUTTONUP);
}

// Reports a pick the way the platform does: the selection moves, then the parent hears of it.
void Pick(TCustomComboBox& combo, int index) {
    HWND wnd = combo.Handle();
    SendMessageA(wnd, CB_SETCURSEL, index, 0);
    SendMessageA(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(wnd));
}

class TRecordingListBox : public TCustomListBox {
public:
    using TCustomListBox::TCustomListBox;
    struct Drawn { int index; UINT state; COLORREF brush; int fontHeight; };
    std::vector<Drawn> drawn;
    std::vector<int> keys;

protected:
    void DrawItem(int index, RECT rect, UINT state) override {
        drawn.push_back({index, state, ColorToRGB(Canvas().Brush.Color()), Canvas().Font.Height()});
        TCustomListBox::DrawItem(index, rect, state);
    }
    void KeyPress(char& key) override {
        keys.push_back(static_cast<unsigned char>(key));
        TCustomListBox::KeyPress(key);
    }
};

class TStepComboBox : public TCustomComboBox {
public:
    using TCustomComboBox::TCustomComboBox;
    std::vector<std::string> log;
    bool selectReportsChange = true;

protected:
    void Select() override {
        log.push_back("Select");
        if (selectReportsChange) TCustomComboBox::Select();
    }
    void Change() override {
        log.push_back("Change");
        TCustomComboBox::Change();
    }
};

class ListControls : public ::testing::Test {
protected:
    void SetUp() override { form.Show(); }

    // Without a parent, so the control has no window until Place.
    template <typename List = TCustomListBox>
    List* NewListBox(bool sorted = false, std::initializer_list<const char*> texts = {}) {
        auto* list = new List(&form);
        list->SetBounds(10, 10, 200, 150);
        list->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
        list->SetSorted(sorted);
        for (const char* text : texts) list->Items().Add(text);
        return list;
    }

    // The shown form gives the control its window at once.
    HWND Place(TWinControl* control) {
        control->SetParent(&form);
        return control->Handle();
    }

    TTestForm form{320, 240};
};

using ListBoxItems = ListControls;
using ListBoxDrawing = ListControls;
using ListBoxInput = ListControls;
using OwnerDrawnComboBox = ListControls;

TEST_F(ListBoxItems, SortedAddReturnsTheAlphabeticalPositionWithoutRegardToCase) {
    for (bool windowFirst : {false, true}) {
        SCOPED_TRACE(windowFirst ? "with a window" : "before the window");
        TCustomListBox* list = NewListBox(true);
        if (windowFirst) Place(list);
        EXPECT_EQ(0, list->Items().Add("b.exe"));
        EXPECT_EQ(0, list->Items().Add("A.exe"));
        EXPECT_EQ(2, list->Items().Add("c.exe"));
        EXPECT_EQ((std::vector<std::string>{"A.exe", "b.exe", "c.exe"}), ListTexts(Place(list)));
    }
}

TEST_F(ListBoxItems, ItemsAndSelectionGivenBeforeTheWindowAppearOnceItIsCreated) {
    TCustomListBox* list = NewListBox(false, {"z.exe", "a.exe", "m.exe"});
    list->SetItemIndex(1);
    HWND wnd = Place(list);
    EXPECT_EQ((std::vector<std::string>{"z.exe", "a.exe", "m.exe"}), ListTexts(wnd));
    EXPECT_EQ(1, SendMessageA(wnd, LB_GETCURSEL, 0, 0));
}

TEST_F(ListBoxItems, EachItemKeepsItsObjectThroughSortedInsertion) {
    TObject b, a, c;
    for (bool windowFirst : {false, true}) {
        SCOPED_TRACE(windowFirst ? "with a window" : "before the window");
        TCustomListBox* list = NewListBox(true);
        if (windowFirst) Place(list);
        list->Items().Add("b.exe", &b);
        list->Items().Add("A.exe", &a);
        list->Items().Add("c.exe", &c);
        Place(list);
        EXPECT_EQ(&a, list->Items().Objects(0));
        EXPECT_EQ(&b, list->Items().Objects(1));
        EXPECT_EQ(&c, list->Items().Objects(2));
    }
}

TEST_F(ListBoxItems, FindExactIgnoresCaseSearchesAfterTheStartAndWraps) {
    for (bool withWindow : {false, true}) {
        SCOPED_TRACE(withWindow ? "with a window" : "before the window");
        TCustomListBox* list = NewListBox();
        if (withWindow) Place(list);
        for (const char* text : {"a.exe", "b.exe", "A.EXE"}) list->Items().Add(text);
        const TPlatformItems& items = list->Items();
        EXPECT_EQ(0, items.FindExact("A.exe"));
        EXPECT_EQ(2, items.FindExact("a.exe", 0));
        EXPECT_EQ(0, items.FindExact("a.exe", 2));
        EXPECT_EQ(1, items.FindExact("B.EXE", 1));
        EXPECT_EQ(-1, items.FindExact("a.ex"));
        EXPECT_EQ(-1, items.FindExact("d.exe", 1));
    }
}

TEST_F(ListBoxItems, ChineseTextsReadBackUnchangedFromASortedList) {
    TCustomListBox* list = NewListBox(true);
    const std::vector<std::string> texts{"图标.ico", "程序.exe", "abc.dll", "资源.res"};
    for (const std::string& text : texts) list->Items().Add(text);
    std::vector<std::string> kept;
    for (int i = 0; i < list->Items().Count(); ++i) kept.push_back(list->Items().Strings(i));
    std::vector<std::string> shown = ListTexts(Place(list));
    EXPECT_EQ(kept, shown) << "the order before the window is the platform's";
    std::vector<std::string> given = texts;
    std::sort(given.begin(), given.end());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(given, shown);
}

TEST_F(ListBoxItems, ThePlatformItemHeightFollowsItemHeight) {
    TCustomListBox* list = NewListBox(false, {"a.exe"});
    list->SetItemHeight(20);
    HWND wnd = Place(list);
    EXPECT_EQ(20, SendMessageA(wnd, LB_GETITEMHEIGHT, 0, 0));
    list->SetItemHeight(27);
    EXPECT_EQ(27, SendMessageA(wnd, LB_GETITEMHEIGHT, 0, 0));
    RECT r = ItemRectOf(wnd, 0);
    EXPECT_EQ(27, r.bottom - r.top);
}

TEST_F(ListBoxItems, ItemsObjectsAndTheSelectedItemSurviveRecreation) {
    TObject c, a, b;
    TCustomListBox* list = NewListBox();
    list->Items().Add("c.exe", &c);
    list->Items().Add("a.exe", &a);
    list->Items().Add("b.exe", &b);
    Place(list);
    list->SetItemIndex(0);  // "c.exe"

    list->SetSorted(true);  // re-creates the window
    EXPECT_EQ((std::vector<std::string>{"a.exe", "b.exe", "c.exe"}), ListTexts(list->Handle()));
    EXPECT_EQ(&a, list->Items().Objects(0));
    EXPECT_EQ(&c, list->Items().Objects(2));
    EXPECT_EQ("c.exe", list->Items().Strings(list->ItemIndex()));

    list->SetItemIndex(1);
    list->SetSorted(false);
    EXPECT_EQ((std::vector<std::string>{"a.exe", "b.exe", "c.exe"}), ListTexts(list->Handle()));
    EXPECT_EQ(1, list->ItemIndex());
    EXPECT_EQ(&b, list->Items().Objects(1));
}

TEST_F(ListBoxItems, TheSelectionStaysOnItsItemWhenAnotherSortsBeforeIt) {
    for (bool withWindow : {false, true}) {
        SCOPED_TRACE(withWindow ? "with a window" : "before the window");
        TCustomListBox* list = NewListBox(true);
        if (withWindow) Place(list);
        list->Items().Add("b.exe");
        list->SetItemIndex(0);
        list->Items().Add("a.exe");
        Place(list);
        EXPECT_EQ("b.exe", list->Items().Strings(list->ItemIndex()));
    }
}

TEST_F(ListBoxDrawing, DrawItemGetsTheHighlightBrushForTheSelectedItemAndTheControlsFont) {
    auto* list = NewListBox<TRecordingListBox>(false, {"a.exe", "b.exe", "c.exe"});
    list->SetItemHeight(24);
    list->Font.SetHeight(-19);
    list->SetItemIndex(1);
    HWND wnd = Place(list);
    list->drawn.clear();
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);

    bool seen[3] = {};
    for (const auto& d : list->drawn) {
        ASSERT_TRUE(d.index >= 0 && d.index < 3) << d.index;
        seen[d.index] = true;
        EXPECT_EQ(-19, d.fontHeight);
        bool selected = (d.state & ODS_SELECTED) != 0;
        EXPECT_EQ(d.index == 1, selected) << "item " << d.index;
        EXPECT_EQ(ColorToRGB(selected ? clHighlight : clWindow), d.brush) << "item " << d.index;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
}

TEST_F(ListBoxDrawing, TheDefaultDrawingShowsTheItemText) {
    TCustomListBox* list = NewListBox(false, {"", "WWWW"});
    list->SetItemHeight(20);
    HWND wnd = Place(list);
    PumpMessages(50);
    auto differsFromBackground = [&](int index) {
        RECT r = ItemRectOf(wnd, index);
        InflateRect(&r, -2, -2);  // clear of a focus rectangle
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (WindowPixel(wnd, x, y) != ColorToRGB(clWindow)) return true;
        return false;
    };
    EXPECT_FALSE(differsFromBackground(0));
    EXPECT_TRUE(differsFromBackground(1));
}

TEST_F(ListBoxInput, ClickingAnotherItemSelectsItAndFiresOnClickOnce) {
    TCustomListBox* list = NewListBox(false, {"a.exe", "b.exe", "c.exe"});
    list->SetItemIndex(0);
    std::vector<int> clicks;
    list->OnClick = [&](TObject* sender) { clicks.push_back(static_cast<TCustomListBox*>(sender)->ItemIndex()); };
    ClickItem(Place(list), 2);
    EXPECT_EQ(2, list->ItemIndex());
    EXPECT_EQ(std::vector<int>{2}, clicks);
}

TEST_F(ListBoxInput, DoubleClickingAnItemFiresOnDblClick) {
    TCustomListBox* list = NewListBox(false, {"a.exe", "b.exe"});
    int doubles = 0;
    list->OnDblClick = [&](TObject*) { ++doubles; };
    HWND wnd = Place(list);
    ClickItem(wnd, 1);
    EXPECT_EQ(0, doubles);
    SendToItem(wnd, 1, WM_LBUTTONDBLCLK, MK_LBUTTON);
    SendToItem(wnd, 1, WM_LBUTTONUP);
    EXPECT_EQ(1, doubles);
}

TEST_F(ListBoxInput, SettingItemIndexInCodeFiresNoEvent) {
    TCustomListBox* list = NewListBox(false, {"a.exe", "b.exe", "c.exe"});
    int events = 0;
    list->OnClick = [&](TObject*) { ++events; };
    list->OnDblClick = [&](TObject*) { ++events; };
    Place(list);
    list->SetItemIndex(2);
    PumpMessages(20);
    EXPECT_EQ(2, list->ItemIndex());
    EXPECT_EQ(0, events);
}

TEST_F(ListBoxInput, KeyPressSeesTypedCharactersAndOnKeyPressCanSwallowThem) {
    auto* list = NewListBox<TRecordingListBox>(false, {"a.exe", "b.exe", "c.exe"});
    list->SetStyle(TListBoxStyle::lbStandard);
    list->SetItemIndex(0);
    list->OnKeyPress = [](TObject*, char& key) {
        if (key == 'b') key = 0;
    };
    HWND wnd = Place(list);
    SendMessageA(wnd, WM_CHAR, VK_RETURN, 1);
    SendMessageA(wnd, WM_CHAR, 'b', 1);
    EXPECT_EQ((std::vector<int>{VK_RETURN, 'b'}), list->keys);
    EXPECT_EQ(0, list->ItemIndex()) << "a swallowed key must not reach the list";
    SendMessageA(wnd, WM_CHAR, 'c', 1);
    EXPECT_EQ(2, list->ItemIndex()) << "a key let through selects by its first letter";
}

TEST_F(ListBoxInput, AnExceptionFromOnClickIsReportedAndTheListKeepsWorking) {
    std::vector<std::string> shown;
    Application.SetExceptionSink([&](const std::string& text) { shown.push_back(text); });
    TCustomListBox* list = NewListBox(false, {"a.exe", "b.exe", "c.exe"});
    int clicks = 0;
    list->OnClick = [&](TObject*) {
        ++clicks;
        throw EInvalidOperation("x");
    };
    HWND wnd = Place(list);
    ClickItem(wnd, 1);
    EXPECT_EQ(std::vector<std::string>{"x."}, shown);
    EXPECT_EQ(1, list->ItemIndex());
    list->OnClick = [&](TObject*) { ++clicks; };
    ClickItem(wnd, 2);
    EXPECT_EQ(2, clicks);
    EXPECT_EQ(2, list->ItemIndex());
    Application.SetExceptionSink({});
}

class ComboBoxStyles : public ListControls, public ::testing::WithParamInterface<TComboBoxStyle> {
protected:
    template <typename Combo = TCustomComboBox>
    Combo* NewComboBox() {
        auto* combo = new Combo(&form);
        combo->SetBounds(10, 10, 160, 24);
        combo->SetStyle(GetParam());
        return combo;
    }
};

TEST_P(ComboBoxStyles, ItemsObjectsAndItemIndexGivenBeforeTheWindowReachIt) {
    TObject a, b;
    TCustomComboBox* combo = NewComboBox();
    combo->Items().Add("a.ico", &a);
    combo->Items().Add("b.ico", &b);
    combo->SetItemIndex(1);
    HWND wnd = Place(combo);
    EXPECT_EQ(2, SendMessageA(wnd, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, SendMessageA(wnd, CB_GETCURSEL, 0, 0));
    EXPECT_EQ("b.ico", WindowText(wnd));
    EXPECT_EQ(&a, combo->Items().Objects(0));
    EXPECT_EQ(&b, combo->Items().Objects(1));
    combo->SetItemIndex(0);
    EXPECT_EQ("a.ico", WindowText(wnd));
}

TEST_P(ComboBoxStyles, APickShowsTheItemThenClicksThenChanges) {
    std::vector<std::string> log;
    TCustomComboBox* combo = NewComboBox();
    for (const char* text : {"a.ico", "b.ico", "c.ico"}) combo->Items().Add(text);
    combo->OnClick = [&](TObject*) { log.push_back("OnClick " + combo->Text()); };
    combo->OnChange = [&](TObject*) { log.push_back("OnChange " + combo->Text()); };
    Place(combo);
    combo->SetItemIndex(0);
    EXPECT_TRUE(log.empty()) << "setting ItemIndex in code fires nothing";
    Pick(*combo, 2);
    EXPECT_EQ((std::vector<std::string>{"OnClick c.ico", "OnChange c.ico"}), log);
    EXPECT_EQ(2, combo->ItemIndex());
}

TEST_P(ComboBoxStyles, ASubclassCanTakeOverTheSelectionAndChangeSteps) {
    auto* combo = NewComboBox<TStepComboBox>();
    std::vector<std::string>& log = combo->log;
    for (const char* text : {"a.ico", "b.ico"}) combo->Items().Add(text);
    combo->OnClick = [&](TObject*) { log.push_back("OnClick"); };
    combo->OnChange = [&](TObject*) { log.push_back("OnChange"); };
    Place(combo);
    Pick(*combo, 1);
    EXPECT_EQ((std::vector<std::string>{"OnClick", "Select", "Change", "OnChange"}), log);

    log.clear();
    combo->selectReportsChange = false;
    Pick(*combo, 0);
    EXPECT_EQ((std::vector<std::string>{"OnClick", "Select"}), log);
    EXPECT_EQ("a.ico", combo->Text());
}

INSTANTIATE_TEST_SUITE_P(ListControls, ComboBoxStyles,
                         ::testing::Values(TComboBoxStyle::csDropDownList, TComboBoxStyle::csOwnerDrawFixed),
                         [](const auto& info) {
                             return info.param == TComboBoxStyle::csDropDownList ? "DropDownList" : "OwnerDrawFixed";
                         });

TEST_F(OwnerDrawnComboBox, TheFieldKeepsTheDesignedHeight) {
    auto* combo = new TCustomComboBox(&form);
    combo->SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    combo->SetBounds(10, 10, 160, 24);
    combo->Items().Add("a.ico");
    HWND wnd = Place(combo);
    RECT r;
    GetWindowRect(wnd, &r);
    EXPECT_EQ(24, r.bottom - r.top);

    combo->SetBounds(10, 10, 160, 30);
    GetWindowRect(wnd, &r);
    EXPECT_EQ(30, r.bottom - r.top);
}

}  // namespace
