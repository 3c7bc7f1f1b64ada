#include <functional>

#include "tests/app/WindowFixture.h"
#include "tests/support/FileBytes.h"
#include "tests/support/SaveDialogDriver.h"

namespace {
struct MenuEntry {
    std::string text;  // "-" for a separator
    bool enabled;
    bool operator==(const MenuEntry& other) const { return text == other.text && enabled == other.enabled; }
};

void PrintTo(const MenuEntry& entry, std::ostream* out) { *out << entry.text << (entry.enabled ? "" : " (disabled)"); }

// Answers the popup menu of this thread as a user with the keyboard does:
// down to the entry, then Enter; or Esc when no entry is wanted. Its entries
// are read when it shows.
struct MenuAnswer {
    std::string choose;
    std::vector<MenuEntry> seen;
    bool shown = false;
    bool done = false;
    DWORD deadline = 0;
};
MenuAnswer* answering = nullptr;

BOOL CALLBACK FindMenuWindow(HWND wnd, LPARAM found) {
    char cls[16] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (std::string(cls) != "#32768" || !IsWindowVisible(wnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = wnd;
    return FALSE;
}

void CALLBACK MenuTick(HWND, UINT, UINT_PTR, DWORD) {
    if (!answering || answering->done) return;
    HWND wnd = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&wnd));
    if (!wnd) return;
    auto* menu = reinterpret_cast<HMENU>(SendMessageA(wnd, MN_GETHMENU, 0, 0));
    if (!menu) return;
    if (static_cast<int>(GetTickCount() - answering->deadline) > 0) {
        EndMenu();
        answering->done = true;
        return;
    }
    const int count = GetMenuItemCount(menu);
    if (!answering->shown) {
        answering->shown = true;
        for (int i = 0; i < count; ++i) {
            const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
            char text[128] = {};
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            answering->seen.push_back({state & MF_SEPARATOR ? "-" : text, !(state & (MF_GRAYED | MF_DISABLED))});
        }
    }
    int wanted = -1;
    for (int i = 0; i < count; ++i)
        if (answering->seen[i].text == answering->choose) wanted = i;
    if (wanted < 0) {
        PostMessageA(wnd, WM_KEYDOWN, VK_ESCAPE, 0);
        answering->done = true;
    } else if (GetMenuState(menu, wanted, MF_BYPOSITION) & MF_HILITE) {
        PostMessageA(wnd, WM_KEYDOWN, VK_RETURN, 0);
        answering->done = true;
    } else {
        PostMessageA(wnd, WM_KEYDOWN, VK_DOWN, 0);
    }
}

// Runs `work`, which opens a popup menu, and chooses `choose` in it (nothing
// for an entry that is not there); returns the entries the menu showed.
std::vector<MenuEntry> AnswerMenu(const std::function<void()>& work, const std::string& choose) {
    MenuAnswer answer{choose, {}, false, false, GetTickCount() + 8000};
    answering = &answer;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, MenuTick);
    work();
    KillTimer(nullptr, timer);
    answering = nullptr;
    return answer.seen;
}

const std::string kCopy = "复制", kSave = "保存...";
const std::string kAllIco = "全部保存为 ICO...", kAllPng = "全部保存为 PNG...";

// The menu's entries, as they are enabled for an icon and for an export.
std::vector<MenuEntry> Entries(bool onIcon, bool canExport) {
    return {{kCopy, onIcon}, {kSave, onIcon}, {"-", false}, {kAllIco, canExport}, {kAllPng, canExport}};
}

struct IconMenu : WindowFixture {
    void TearDown() override {
        form->StopExport();
        WindowFixture::TearDown();
    }
    static void RightClick(POINT at) {
        HWND wnd = form->ListView1->WindowHandle();
        PostMessageA(wnd, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        SendMouse(wnd, WM_RBUTTONDOWN, at.x, at.y, MK_RBUTTON);
        PumpMessages(20);
    }
    static void MenuKey() {
        HWND wnd = form->ListView1->WindowHandle();
        SendMessageA(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), -1);
    }
    // As the arrow keys select: the preview stays as it was.
    static void SelectWithoutPreview(int position) {
        LVITEMA state{};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(form->ListView1->WindowHandle(), LVM_SETITEMSTATE, position, reinterpret_cast<LPARAM>(&state));
    }
    static std::string Panel0() {
        char text[256] = {};
        SendMessageA(form->StatusBar1->WindowHandle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }
};
}  // namespace

TEST_F(IconMenu, TheMenuPreviewsTheIconItIsForAndDisablesWhatCannotAct) {
    const POINT empty{form->ListView1->Width() - 10, form->ListView1->Height() - 10};
    const struct {
        const char* what;
        std::function<void()> arrange, open;
        std::vector<MenuEntry> entries;
        int selected;
        const char* previewed;  // Panel11 afterwards
    } cases[] = {
        {"a right click on an icon", [] { Pick(kFixtures, "threeicons.dll"); }, [] { RightClick(IconCentre(2)); },
         Entries(true, true), 2, "所选图标为: 第3个图标"},
        {"a right click on empty space", [] { Pick(kFixtures, "threeicons.dll"); }, [&] { RightClick(empty); },
         Entries(false, true), -1, "所选图标为: 第1个图标"},
        {"the menu key on a selected icon", [] { Pick(kFixtures, "threeicons.dll"); SelectWithoutPreview(1); },
         [] { MenuKey(); }, Entries(true, true), 1, "所选图标为: 第2个图标"},
        {"the menu key with no icon selected", [] { Pick(kFixtures, "threeicons.dll"); }, [] { MenuKey(); },
         Entries(false, true), -1, "所选图标为: 第1个图标"},
        {"no file scanned", [] { List(kFixtures); }, [&] { RightClick(empty); }, Entries(false, false), -1, ""},
        {"a file without icons", [] { Pick(kFixtures, "noicons.dll"); }, [] { MenuKey(); }, Entries(false, false), -1,
         ""},
        {"an export under way", [] {
             Pick(kFixtures, "manyicons.dll");
             form->ExportAllIcons(TExportKind::ekIco, temp);
         },
         [] { RightClick(IconCentre(1)); }, Entries(true, false), 1, "所选图标为: 第2个图标"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        EXPECT_EQ(AnswerMenu(c.open, ""), c.entries);
        EXPECT_EQ(form->ListView1->SelectedPosition(), c.selected);
        EXPECT_EQ(Selected(), c.previewed);
        form->StopExport();
    }
}

TEST_F(IconMenu, EachEntryDoesWhatItsButtonOrItsNameSays) {
    const std::string out = temp + "\\菜单";
    CreateDirectoryA(out.c_str(), nullptr);
    const std::vector<std::string> pictures = {"threeicons_001.png", "threeicons_002.png", "threeicons_003.png"};
    const struct {
        std::string entry;
        std::function<bool(const std::function<void()>&)> answer;  // what follows the menu
        std::string panel;
        std::vector<std::string> written;
    } cases[] = {
        {kCopy, [](const std::function<void()>& work) { return work(), true; }, "  成功复制到剪切板!", {}},
        {kSave, [&](const std::function<void()>& work) { return AnswerSaveDialog(work, {out + "\\icon", 5}); },
         "  文件保存成功!", {"icon.png"}},
        {kAllIco, [&](const std::function<void()>& work) { return AnswerFolderDialog(work, out); },
         "  已保存 3 个图标", {"threeicons_001.ico", "threeicons_002.ico", "threeicons_003.ico"}},
        {kAllPng, [&](const std::function<void()>& work) { return AnswerFolderDialog(work, out); },
         "  已保存 3 个图标", pictures},
        {kAllPng, [&](const std::function<void()>& work) { return AnswerFolderDialog(work, out, false); }, "before",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        Pick(kFixtures, "threeicons.dll");
        form->StatusBar1->SetPanelText(0, "before");
        EXPECT_TRUE(c.answer([&] { AnswerMenu([] { RightClick(IconCentre(2)); }, c.entry); }));
        FinishFill();
        EXPECT_EQ(Panel0(), c.panel);
        std::vector<std::string> written;
        for (const char* name : {"icon.png", "threeicons_001.ico", "threeicons_002.ico", "threeicons_003.ico",
                                 "threeicons_001.png", "threeicons_002.png", "threeicons_003.png"}) {
            if (GetFileAttributesA((out + "\\" + name).c_str()) == INVALID_FILE_ATTRIBUTES) continue;
            written.push_back(name);
            DeleteFileA((out + "\\" + name).c_str());
        }
        EXPECT_EQ(written, c.written);
    }
    RemoveDirectoryA(out.c_str());
}
