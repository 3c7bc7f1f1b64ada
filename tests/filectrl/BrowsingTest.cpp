#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "filectrl/DirectoryListBox.h"
#include "filectrl/DriveComboBox.h"
#include "filectrl/FileListBox.h"
#include "filectrl/PathHelpers.h"
#include "framework/Label.h"
#include "graphics/Bitmap.h"
#include "graphics/Canvas.h"
#include "tests/support/GuiTest.h"

namespace {
const std::string kTop = "C:\\tulvar_tests";
const std::string kBase = kTop + "\\browsing";
const std::string kWork = kBase + "\\Work";
const std::string kSub = kWork + "\\Sub";
const std::string kData = "Y:\\Data";

using Texts = std::vector<std::string>;

// The tests make folders only.
void RemoveFolders(const std::string& dir) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            SetFileAttributesA((dir + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            RemoveFolders(dir + "\\" + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

std::string AsciiCase(std::string text, int (*fold)(int)) {
    for (char& c : text) c = static_cast<char>(fold(static_cast<unsigned char>(c)));
    return text;
}

// Reports a pick the way the platform does: the selection moves, then the parent hears of it.
void Pick(TDriveComboBox& combo, int index) {
    HWND wnd = combo.Handle();
    SendMessageA(wnd, CB_SETCURSEL, index, 0);
    SendMessageA(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(wnd));
}

class TCountingDirectoryList : public TDirectoryListBox {
public:
    using TDirectoryListBox::TDirectoryListBox;
    int rebuilds = 0;

protected:
    void RebuildItems() override {
        ++rebuilds;
        TDirectoryListBox::RebuildItems();
    }
};

// C:\tulvar_tests\browsing\Work\Sub holding the folders b, A, C and a hidden
// and a system one, on a shown form.
struct Browsing : ::testing::Test {
    void SetUp() override {
        saved = CurrentDirectory();
        RemoveFolders(kBase);
        CreateDirectoryA(kTop.c_str(), nullptr);
        for (const std::string& d : {kBase, kWork, kSub, kSub + "\\b", kSub + "\\A", kSub + "\\C", kSub + "\\Hid",
                                     kSub + "\\Sys"})
            ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr)) << d;
        const std::pair<const char*, DWORD> unseen[] = {{"\\Hid", FILE_ATTRIBUTE_HIDDEN},
                                                        {"\\Sys", FILE_ATTRIBUTE_SYSTEM}};
        for (const auto& [name, attribute] : unseen) {
            ASSERT_TRUE(SetFileAttributesA((kSub + name).c_str(), attribute));
            ASSERT_TRUE(GetFileAttributesA((kSub + name).c_str()) & attribute);
        }
        form.Show();
    }
    void TearDown() override {
        // A list made its folder current; it cannot go while it is.
        SetCurrentDirectoryA(saved.c_str());
        RemoveFolders(kBase);
        RemoveDirectoryA(kTop.c_str());
    }

    // A new list starts in the current directory; its window's creation lists it.
    TCountingDirectoryList* NewList(const std::string& where) {
        SetCurrentDirectoryA(where.c_str());
        list = new TCountingDirectoryList(&form);
        list->SetBounds(8, 8, 200, 200);
        list->OnChange = [this](TObject*) { log.push_back("change " + list->DirPath()); };
        list->SetParent(&form);
        list->Handle();
        log.clear();
        list->rebuilds = 0;
        return list;
    }

    TDriveComboBox* NewCombo() {
        auto* combo = new TDriveComboBox(&form);
        combo->SetBounds(220, 8, 160, 21);
        combo->OnClick = [this](TObject*) { log.push_back("click"); };
        combo->OnChange = [this, combo](TObject*) { log.push_back(std::string("combo ") + combo->DriveLetter()); };
        combo->SetParent(&form);
        combo->Handle();
        return combo;
    }

    // The texts as the list's window holds them.
    Texts Shown() const {
        Texts texts;
        for (int i = 0; i < list->Items().Count(); ++i) texts.push_back(list->Items().Strings(i));
        return texts;
    }

    int IndexOf(const std::string& text) const { return list->Items().FindExact(text); }

    void SendToItem(int index, UINT msg, WPARAM keys = 0) {
        RECT r = list->ItemRect(index);
        SendMouse(list->WindowHandle(), msg, (r.left + r.right) / 2, (r.top + r.bottom) / 2, keys);
    }
    void ClickItem(int index) {
        SendToItem(index, WM_LBUTTONDOWN, MK_LBUTTON);
        SendToItem(index, WM_LBUTTONUP);
    }

    std::string saved;
    TTestForm form{400, 300};
    TCountingDirectoryList* list = nullptr;
    Texts log;
};

// As above, with Y:\Data made drive Y:'s remembered directory: Wine's bare
// "y:" follows the variable "=Y:" only, not an earlier visit.
struct DriveY : Browsing {
    void SetUp() override {
        if (GetDriveTypeA("Y:\\") <= DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "drive Y: is not mapped (scripts/test.sh maps it)";
        Browsing::SetUp();
        hadRemembered = GetEnvironmentVariableA("=Y:", remembered, sizeof remembered) > 0;
        ASSERT_TRUE(CreateDirectoryA(kData.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(SetEnvironmentVariableA("=Y:", kData.c_str()));
    }
    void TearDown() override {
        if (IsSkipped()) return;
        Browsing::TearDown();
        SetEnvironmentVariableA("=Y:", hadRemembered ? remembered : nullptr);
        RemoveDirectoryA(kData.c_str());
    }

    bool hadRemembered = false;
    char remembered[MAX_PATH] = {};
};

using DirectoryList = Browsing;
using DirectoryListOnY = DriveY;
using DriveCombo = Browsing;
using DriveComboOnY = DriveY;
}  // namespace

TEST_F(DirectoryList, EachItemHasItsTextGlyphPathAndIndentAsDrawn) {
    NewList(kSub);
    TBitmap *opened = list->OpenedGlyph(), *current = list->CurrentGlyph(), *closed = list->ClosedGlyph();
    // Chain items stand 4 pixels further in per level; sub-folders at 4 * PathDepth + 6.
    ASSERT_EQ(PathDepth(kSub), 4);
    struct Row {
        std::string text;
        TBitmap* glyph;
        std::string path;
        int indent;
    };
    const std::vector<Row> rows{
        {"C:\\", opened, "C:\\", 2},     {"tulvar_tests", opened, kTop, 6}, {"browsing", opened, kBase, 10},
        {"Work", opened, kWork, 14},     {"Sub", current, kSub, 18},        {"A", closed, kSub + "\\A", 22},
        {"b", closed, kSub + "\\b", 22}, {"C", closed, kSub + "\\C", 22},
    };
    Texts texts;
    for (const Row& row : rows) texts.push_back(row.text);
    ASSERT_EQ(Shown(), texts) << "sorted ignoring case; no hidden, system, '.' or '..' folders";
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(SendMessageA(list->WindowHandle(), LB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(list->PathOfItem(static_cast<int>(rows.size())), "");

    const HWND wnd = list->WindowHandle();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.text);
        EXPECT_EQ(list->Items().Objects(i), row.glyph);
        EXPECT_EQ(list->PathOfItem(i), row.path);
        // Glyph column 0 is transparent (pure blue, shown as the brush); column 1
        // holds the leftmost black pixel of row 8 in all three glyphs.
        const RECT r = list->ItemRect(i);
        const int y = (r.top + r.bottom - row.glyph->Height()) / 2 + 8;
        int firstBlack = -1;
        for (int x = 1; x < r.right && firstBlack < 0; ++x)
            if (WindowPixel(wnd, x, y) == RGB(0, 0, 0)) firstBlack = x;
        EXPECT_EQ(firstBlack, row.indent + 1);
        EXPECT_EQ(WindowPixel(wnd, row.indent, y), WindowPixel(wnd, 1, y));
        EXPECT_NE(WindowPixel(wnd, row.indent, y), RGB(0, 0, 255));
    }
}

TEST_F(DirectoryList, DoubleClickOrEnterOpensTheSelectedItemAndASingleClickOnlySelects) {
    NewList(kSub);
    using Act = std::function<void(int)>;
    const Act doubleClick = [this](int index) {
        SendToItem(index, WM_LBUTTONDBLCLK, MK_LBUTTON);
        SendToItem(index, WM_LBUTTONUP);
    };
    const Act enterChar = [this](int) { SendMessageA(list->WindowHandle(), WM_CHAR, '\r', 1); };
    const Act enterKey = [this](int) {
        const UINT scan = MapVirtualKeyA(VK_RETURN, MAPVK_VK_TO_VSC);
        PostMessageA(list->WindowHandle(), WM_KEYDOWN, VK_RETURN, 1 | static_cast<LPARAM>(scan) << 16);
        PumpMessages(20);
    };
    struct Row {
        const char* how;
        Act act;
        std::string item, opens;  // opens empty: the list stays where it is
    };
    const std::vector<Row> rows{
        {"double-click", doubleClick, "A", kSub + "\\A"},   {"double-click", doubleClick, "C:\\", "C:\\"},
        {"double-click", doubleClick, "Work", kWork},       {"double-click", doubleClick, "Sub", ""},
        {"Enter as WM_CHAR", enterChar, "b", kSub + "\\b"}, {"Enter as a key", enterKey, "C", kSub + "\\C"},
        {"Enter as WM_CHAR", enterChar, "Sub", ""},         {"click", [](int) {}, "A", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.how) + " on " + row.item);
        list->SetDirPath(kSub);
        const int index = IndexOf(row.item);
        ASSERT_GE(index, 0);
        log.clear();
        list->rebuilds = 0;
        ClickItem(index);
        ASSERT_EQ(list->ItemIndex(), index);
        row.act(index);
        EXPECT_EQ(list->DirPath(), row.opens.empty() ? kSub : row.opens);
        EXPECT_EQ(log, row.opens.empty() ? Texts{} : Texts{"change " + row.opens});
        if (row.opens.empty()) {
            EXPECT_EQ(list->rebuilds, 0);
            EXPECT_EQ(list->ItemIndex(), index);
        }
    }
}

TEST_F(DirectoryList, TheSameFolderInOtherCaseDoesNothingAndAMissingOneStaysButTellsOnce) {
    ASSERT_EQ(GetFileAttributesA("C:\\no"), INVALID_FILE_ATTRIBUTES);
    NewList(kSub);
    const Texts items = Shown();
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"upper-case path", [this] { list->SetDirPath(AsciiCase(kSub, toupper)); }},
        {"lower-case path", [this] { list->SetDirPath(AsciiCase(kSub, tolower)); }},
        {"drive c", [this] { list->SetDriveLetter('c'); }},
        {"drive C", [this] { list->SetDriveLetter('C'); }},
        {"missing folder", [this] { list->SetDirPath("C:\\no\\such\\folder"); }},
    };
    for (const auto& [what, call] : rows) {
        SCOPED_TRACE(what);
        const bool missing = std::string(what) == "missing folder";
        ClickItem(IndexOf("A"));
        log.clear();
        list->rebuilds = 0;
        call();
        EXPECT_EQ(list->DirPath(), kSub);
        EXPECT_EQ(Shown(), items);
        EXPECT_EQ(list->rebuilds, missing ? 1 : 0);
        EXPECT_EQ(log, missing ? Texts{"change " + kSub} : Texts{});
        // A rebuild selects the current directory again; otherwise the user's pick stays.
        EXPECT_EQ(list->ItemIndex(), IndexOf(missing ? "Sub" : "A"));
    }
}

TEST_F(DirectoryList, ALinkedFileListFollowsTheNextChangeUntilItIsDestroyed) {
    NewList(kSub);
    SetCurrentDirectoryA(kWork.c_str());
    auto* files = new TFileListBox(&form);
    files->SetBounds(220, 40, 160, 200);
    files->SetParent(&form);
    files->Handle();
    list->SetFileList(files);
    EXPECT_EQ(files->DirPath(), kWork) << "linking alone moves nothing";
    EXPECT_EQ(files->DirectoryList(), list);
    list->SetDirPath(kSub + "\\A");
    EXPECT_EQ(files->DirPath(), kSub + "\\A");
    delete files;
    EXPECT_EQ(list->FileList(), nullptr);
    list->SetDirPath(kSub);
    EXPECT_EQ(log, (Texts{"change " + kSub + "\\A", "change " + kSub}));
}

TEST_F(DirectoryList, ALinkedLabelShowsThePathShortenedToItsWidthOrTheListsWhenAutoSized) {
    NewList(kSub);
    struct Row {
        bool autoSize;
        std::string fitsIn;  // the label's width (or the list's when auto-sized) fits this text
        std::string shown, shownInWork;  // in Work: empty where the font decides
    };
    const Row rows[] = {
        {false, kSub + "\\wider", kSub, kWork},
        {false, "C:\\...\\Sub", "C:\\...\\Sub", ""},
        {true, "C:\\...\\Work\\Sub", "C:\\...\\Work\\Sub", "C:\\...\\Work"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.shown);
        auto* label = new TLabel(&form);
        label->SetParent(&form);
        label->SetAutoSize(row.autoSize);
        const int width = TScreenCanvas(label->Font).TextWidth(row.fitsIn);
        if (row.autoSize) list->SetWidth(width);
        else label->SetBounds(8, 250, width, 17);
        list->SetDirLabel(label);
        EXPECT_EQ(label->Caption(), row.shown);
        list->SetDirPath(kWork);
        if (!row.shownInWork.empty()) {
            EXPECT_EQ(label->Caption(), row.shownInWork) << "each change shows the new path";
        }
        list->SetDirPath(kSub);
        list->SetDirLabel(nullptr);
        delete label;
    }
}

TEST_F(DirectoryListOnY, ANewDriveLetterGoesToItsRememberedDirectoryWithOneRebuildAndOneChange) {
    for (bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "with a drive combo box" : "alone");
        NewList(kSub);
        TDriveComboBox* combo = linked ? NewCombo() : nullptr;
        if (combo) combo->SetDirList(list);
        log.clear();
        list->SetDriveLetter('y');
        EXPECT_EQ(list->DirPath(), kData);
        EXPECT_EQ(CurrentDirectory(), kData);
        EXPECT_EQ(list->rebuilds, 1);
        EXPECT_EQ(Shown(), (Texts{"Y:\\", "Data"}));
        if (combo) {
            EXPECT_EQ(log, (Texts{"combo y", "change " + kData}));
            EXPECT_EQ(combo->Text(), "y: [system]");
        } else {
            EXPECT_EQ(log, Texts{"change " + kData});
        }
        delete combo;
        delete list;
    }
}

TEST_F(DriveComboOnY, EveryUsableDriveIsListedInLetterOrderWithItsLabelAndTypeGlyph) {
    SetCurrentDirectoryA(kSub.c_str());
    TDriveComboBox* combo = NewCombo();
    std::vector<std::pair<char, UINT>> drives;  // letter, type
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const char root[] = {letter, ':', '\\', 0};
        const UINT type = GetDriveTypeA(root);
        if ((GetLogicalDrives() & (1u << (letter - 'a'))) && type >= DRIVE_REMOVABLE && type <= DRIVE_RAMDISK)
            drives.emplace_back(letter, type);
    }
    for (bool upper : {false, true}) {
        SCOPED_TRACE(upper ? "upper case" : "lower case, the default");
        if (upper) combo->SetTextCase(TTextCase::tcUpperCase);
        ASSERT_EQ(combo->Items().Count(), static_cast<int>(drives.size()));
        for (int i = 0; i < static_cast<int>(drives.size()); ++i) {
            const auto [letter, type] = drives[i];
            const char root[] = {letter, ':', '\\', 0};
            char label[MAX_PATH] = {};
            GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0);
            // Without network connections (Wine has none) a remote drive shows its label too.
            std::string text = AsciiCase(std::string(1, letter) + ":", upper ? toupper : tolower);
            if (type != DRIVE_REMOVABLE) text += " [" + AsciiCase(label, upper ? toupper : tolower) + "]";
            EXPECT_EQ(combo->Items().Strings(i), text);
            EXPECT_EQ(combo->Items().Objects(i), combo->GlyphOfType(type)) << text;
        }
        EXPECT_GE(combo->Items().FindExact(upper ? "Y: [SYSTEM]" : "y: [system]"), 0);
        EXPECT_EQ(combo->DriveLetter(), upper ? 'C' : 'c');
    }
}

TEST_F(DriveCombo, CreationSelectsTheCurrentDriveAndAPickFiresClickThenChangeTwice) {
    SetCurrentDirectoryA(kSub.c_str());
    TDriveComboBox* combo = NewCombo();
    EXPECT_EQ(log, Texts{"combo c"});
    ASSERT_GE(combo->ItemIndex(), 0);
    EXPECT_EQ(combo->Text().substr(0, 2), "c:");
    int other = 0;
    while (other < combo->Items().Count() && combo->Items().Strings(other)[0] == 'c') ++other;
    ASSERT_LT(other, combo->Items().Count()) << "Wine always has Z: besides C:";
    const std::string changed = std::string("combo ") + combo->Items().Strings(other)[0];
    log.clear();
    Pick(*combo, other);
    EXPECT_EQ(log, (Texts{"click", changed, changed}));
    EXPECT_EQ(CurrentDirectory(), kSub) << "no directory list is linked";
}

TEST_F(DriveComboOnY, OnlyAnotherDriveLetterMovesTheSelectionAndTheLinkedList) {
    NewList(kSub);
    TDriveComboBox* combo = NewCombo();
    combo->SetDirList(list);
    const int c = combo->ItemIndex(), y = combo->Items().FindExact("y: [system]");
    ASSERT_GE(y, 0);
    log.clear();
    combo->SetDriveLetter('C');
    EXPECT_EQ(log, Texts{});
    EXPECT_EQ(combo->ItemIndex(), c);

    combo->SetDriveLetter('Y');
    EXPECT_EQ(combo->ItemIndex(), y);
    EXPECT_EQ(list->DirPath(), kData);
    EXPECT_EQ(list->rebuilds, 1);
    EXPECT_EQ(log, (Texts{"change " + kData, "combo y"}));

    // A letter without an item is kept, though nothing shows it.
    combo->SetDirList(nullptr);
    char missing = 'q';
    while (missing > 'd' && (GetLogicalDrives() & (1u << (missing - 'a')))) --missing;
    log.clear();
    combo->SetDriveLetter(missing);
    EXPECT_EQ(combo->ItemIndex(), y);
    EXPECT_EQ(log, Texts{std::string("combo ") + missing});
}
