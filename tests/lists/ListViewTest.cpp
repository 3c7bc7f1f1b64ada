#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lists/ListView.h"
#include "tests/support/GuiTest.h"
#include "tests/support/Pictures.h"

namespace {
// A shown form with an icon list view like the window's: icon view, labels
// editable, sorted by caption and data, auto-arranged.
struct ListViewFixture : ::testing::Test {
    TTestForm form{400, 200};
    TListView* view = nullptr;
    TImageList* images = nullptr;
    std::vector<int> clicks;  // the selected position seen by each click

    void SetUp() override {
        images = new TImageList(&form);
        for (int i = 0; i < 5; ++i) images->AppendIcon(nullptr);
        view = new TListView(&form);
        view->SetBounds(0, 0, 400, 200);
        view->IconOptions().SetAutoArrange(true);
        view->SetSortType(TSortType::stBoth);
        view->AttachImageList(TImageRole::Large, images);
        view->OnClick = [this](TObject*) { clicks.push_back(view->SelectedPosition()); };
        view->SetParent(&form);
        form.Show();
    }

    std::vector<TListItem*> Append(int n) {
        std::vector<TListItem*> items;
        for (int i = 0; i < n; ++i) {
            items.push_back(view->AppendItem());
            view->SetItemImageIndex(items.back(), i % 5);
        }
        return items;
    }
    std::vector<TListItem*> Order() const {
        std::vector<TListItem*> items;
        for (int i = 0; i < view->ItemCount(); ++i) items.push_back(view->ItemAt(i));
        return items;
    }
    POINT ItemCentre(int position) const {
        RECT r{LVIR_ICON, 0, 0, 0};
        SendMessageA(view->WindowHandle(), LVM_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // As the platform delivers a click: the release already waits in the queue
    // while the press is handled, since the list view follows the mouse itself.
    void Click(POINT at, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
        SetCursorPos(0, 0);  // the pointer itself stays away: the messages say where
        HWND wnd = view->WindowHandle();
        SendMouse(wnd, WM_MOUSEMOVE, at.x, at.y);
        PostMessageA(wnd, up, 0, MAKELPARAM(at.x, at.y));
        SendMouse(wnd, down, at.x, at.y, down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON);
        PumpMessages(20);
    }
};

using ListViewItems = ListViewFixture;
using ListViewClick = ListViewFixture;
using ListViewEditing = ListViewFixture;
}  // namespace

TEST_F(ListViewItems, AppendedItemsStayInTheirOrderUnderCaptionSortingAndShowTheirPictures) {
    auto items = Append(100);
    EXPECT_EQ(view->ItemCount(), 100);
    EXPECT_EQ(Order(), items);
    for (int i : {0, 1, 4, 99}) {
        EXPECT_EQ(view->ItemPosition(items[i]), i);
        EXPECT_EQ(items[i]->ImageIndex(), i % 5);
        LVITEMA asked{};
        asked.mask = LVIF_IMAGE;
        asked.iItem = i;
        SendMessageA(view->WindowHandle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&asked));
        EXPECT_EQ(asked.iImage, i % 5) << "what the control draws for item " << i;
    }
    EXPECT_EQ(view->SelectedPosition(), -1);
    EXPECT_EQ(view->ItemAt(100), nullptr);
    PumpMessages(20);  // the view draws again once the program waits
    EXPECT_TRUE(IsWindowVisible(view->WindowHandle()));
}

TEST_F(ListViewItems, RemovingAllReleasesEveryItemOnceLastFirstAndAnEmptyViewEmptiesQuietly) {
    auto items = Append(4);
    std::vector<TListItem*> released;
    view->OnDeletion = [&](TObject*, TListItem* item) { released.push_back(item); };
    view->RemoveAllItems();
    EXPECT_EQ(view->ItemCount(), 0);
    EXPECT_EQ(released, (std::vector<TListItem*>{items[3], items[2], items[1], items[0]}));
    view->RemoveAllItems();
    EXPECT_EQ(released.size(), 4u);
}

TEST_F(ListViewItems, ABatchOfCaptionsSortsOnceAtItsEndAndDataValuesSortWithTheirComparison) {
    auto items = Append(4);
    view->BeginUpdate();
    view->BeginUpdate();
    for (int i : {0, 1, 2, 3}) view->SetItemCaption(items[i], std::string(1, "dbca"[i]));
    view->EndUpdate();
    EXPECT_EQ(view->SortType(), TSortType::stNone) << "the outer batch still lasts";
    EXPECT_EQ(Order(), items);
    view->EndUpdate();
    EXPECT_EQ(view->SortType(), TSortType::stBoth);
    EXPECT_EQ(Order(), (std::vector<TListItem*>{items[3], items[1], items[2], items[0]}));

    view->OnCompare = [](TObject*, TListItem* a, TListItem* b, int, int& compare) {
        compare = static_cast<int>(reinterpret_cast<intptr_t>(a->Data()) - reinterpret_cast<intptr_t>(b->Data()));
    };
    for (int i : {0, 1, 2, 3}) view->SetItemData(items[i], reinterpret_cast<void*>(intptr_t{10 + i}));
    EXPECT_EQ(items[2]->Data(), reinterpret_cast<void*>(intptr_t{12}));
    EXPECT_EQ(Order(), items);
}

// New pictures in the same list only need drawing; a new cell size lays the items out anew.
TEST_F(ListViewItems, ChangedPicturesShowAndANewCellSizeLaysTheItemsOutAgain) {
    Append(1);
    PumpMessages(20);
    const POINT at = ItemCentre(0);
    HBITMAP red = RawBitmap(16, 16, RGB(255, 0, 0));
    images->ReplaceMasked(0, red, RGB(0, 255, 0));
    DeleteObject(red);
    PumpMessages(20);
    EXPECT_EQ(WindowPixel(view->WindowHandle(), at.x, at.y), RGB(255, 0, 0));

    const auto iconWidth = [this] {
        RECT r{LVIR_ICON, 0, 0, 0};
        SendMessageA(view->WindowHandle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r.right - r.left;
    };
    const LONG before = iconWidth();
    images->SetWidth(48);
    images->SetHeight(48);
    PumpMessages(20);
    EXPECT_GE(iconWidth(), before + 32);
}

TEST_F(ListViewItems, ItemsSurviveANewWindow) {
    auto items = Append(3);
    view->SetItemCaption(items[1], "b");  // sorted behind the empty captions
    ASSERT_EQ(Order(), (std::vector<TListItem*>{items[0], items[2], items[1]}));
    HWND before = view->WindowHandle();
    view->SetViewStyle(TViewStyle::vsSmallIcon);  // a style change makes the window again
    EXPECT_NE(view->WindowHandle(), before);
    EXPECT_EQ(Order(), (std::vector<TListItem*>{items[0], items[2], items[1]}));
    EXPECT_EQ(items[1]->Caption(), "b");
    EXPECT_EQ(items[2]->ImageIndex(), 2);
}

TEST_F(ListViewClick, AClickOnAnItemIsReportedOnceAfterTheItemWasSelected) {
    Append(5);
    Click(ItemCentre(3));
    Click(ItemCentre(1));
    EXPECT_EQ(clicks, (std::vector<int>{3, 1}));
}

TEST_F(ListViewClick, AClickOnEmptySpaceIsReportedWithNothingSelected) {
    Append(2);
    Click(ItemCentre(0));
    Click({390, 190});
    EXPECT_EQ(clicks, (std::vector<int>{0, -1}));
}

TEST_F(ListViewClick, KeysAndTheRightButtonMoveTheSelectionWithoutAClick) {
    Append(5);
    Click(ItemCentre(0));
    clicks.clear();
    view->SetFocus();
    SendMessageA(view->WindowHandle(), WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(view->WindowHandle(), WM_KEYUP, VK_RIGHT, 0);
    EXPECT_EQ(view->SelectedPosition(), 1);
    Click(ItemCentre(3), WM_RBUTTONDOWN, WM_RBUTTONUP);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ListViewClick, ARightClickOrTheMenuKeyAsksOnceForTheContextMenuAfterTheSelection) {
    Append(5);
    struct Asked {
        POINT at;
        bool byKeyboard;
        int selected;  // when it was asked
    };
    std::vector<Asked> asked;
    view->OnContextPopup = [&](TObject*, POINT at, bool byKeyboard) {
        asked.push_back({at, byKeyboard, view->SelectedPosition()});
    };
    HWND wnd = view->WindowHandle();
    const struct {
        const char* what;
        std::function<void()> act;
        POINT at;
        bool byKeyboard;
        int selected;
    } cases[] = {
        {"a right click on an item", [&] { Click(ItemCentre(3), WM_RBUTTONDOWN, WM_RBUTTONUP); }, ItemCentre(3), false, 3},
        {"the menu key with an item selected", [&] { SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), -1); },
         ItemCentre(3), true, 3},
        {"a right click on empty space", [&] { Click({390, 190}, WM_RBUTTONDOWN, WM_RBUTTONUP); }, {390, 190}, false, -1},
        {"the menu key with nothing selected", [&] { SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), -1); },
         {0, 0}, true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        asked.clear();
        c.act();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].at.x, c.at.x);
        EXPECT_EQ(asked[0].at.y, c.at.y);
        EXPECT_EQ(asked[0].byKeyboard, c.byKeyboard);
        EXPECT_EQ(asked[0].selected, c.selected);
        EXPECT_EQ(view->PositionAt(c.at), c.selected);
    }
    EXPECT_TRUE(clicks.empty()) << "a right click is no click";
}

TEST_F(ListViewClick, AControlClickSelectsOnlyTheClickedItem) {
    Append(3);
    Click(ItemCentre(0));
    HWND wnd = view->WindowHandle();
    const POINT at = ItemCentre(2);
    PostMessageA(wnd, WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(at.x, at.y));
    SendMouse(wnd, WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON | MK_CONTROL);
    PumpMessages(20);
    EXPECT_EQ(SendMessageA(wnd, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(view->SelectedPosition(), 2);
}

TEST_F(ListViewEditing, EditingALabelSortsTheItemBehindTheEmptyOnesKeepingItsPicture) {
    auto items = Append(5);
    Click(ItemCentre(2));
    std::vector<std::string> edited;
    view->OnEdited = [&](TObject*, TListItem* item, std::string& text) {
        edited.push_back(text);
        EXPECT_EQ(item, items[2]);
    };
    HWND edit = reinterpret_cast<HWND>(SendMessageA(view->WindowHandle(), LVM_EDITLABELA, 2, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "图标");
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(20);
    EXPECT_EQ(edited, (std::vector<std::string>{"图标"}));
    EXPECT_EQ(items[2]->Caption(), "图标");
    EXPECT_EQ(view->ItemAt(4), items[2]);
    EXPECT_EQ(view->SelectedPosition(), 4);
    EXPECT_EQ(items[2]->ImageIndex(), 2);
    char text[32] = {};
    LVITEMA asked{};
    asked.mask = LVIF_TEXT;
    asked.iItem = 4;
    asked.pszText = text;
    asked.cchTextMax = sizeof text;
    SendMessageA(view->WindowHandle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&asked));
    EXPECT_STREQ(asked.pszText, "图标");
}

TEST_F(ListViewEditing, AnEditThatIsForbiddenOrCancelledChangesNothing) {
    auto items = Append(3);
    view->OnEditing = [](TObject*, TListItem*, bool& allow) { allow = false; };
    EXPECT_EQ(SendMessageA(view->WindowHandle(), LVM_EDITLABELA, 1, 0), 0);
    view->OnEditing = nullptr;
    HWND edit = reinterpret_cast<HWND>(SendMessageA(view->WindowHandle(), LVM_EDITLABELA, 1, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "x");
    SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages(20);
    EXPECT_EQ(items[1]->Caption(), "");
    EXPECT_EQ(Order(), items);
}
