#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "filectrl/FileListBox.h"
#include "filectrl/FilterComboBox.h"
#include "filectrl/PathHelpers.h"
#include "tests/support/GuiTest.h"

namespace {
const std::string kTop = "C:\\tulvar_tests";
const std::string kBase = kTop + "\\filtercombo";
// The main window's filter.
const std::string kIconFilter =
    "所有图标文件 (*.exe;*.ico;*.bmp;*.dll;*.icl)|*.exe;*.ico;*.bmp;*.dll;*.icl|EXE文件(*.exe)|*.exe|"
    "ICO文件(*.ico)|*.ico|BMP文件(*.bmp)|*.bmp|DLL文件(*.dll)|*.dll|ICL文件(*.icl)|*.icl|All files (*.*)|*.*";
// Both characters end in the byte of '|', so only a walk by characters keeps them whole.
constexpr char kEast[] = "東";
constexpr char kHundredMillion[] = "億";
static_assert(sizeof(kEast) == 3 && kEast[1] == '|', "東 must be GBK 96 7C");
static_assert(sizeof(kHundredMillion) == 3 && kHundredMillion[1] == '|', "億 must be GBK 83 7C");

using Texts = std::vector<std::string>;
using Entries = std::vector<std::pair<std::string, std::string>>;  // shown text, mask

// Reports a pick the way the platform does: the selection moves, then the parent hears of it.
void Pick(TFilterComboBox& combo, int index) {
    HWND wnd = combo.Handle();
    SendMessageA(wnd, CB_SETCURSEL, index, 0);
    SendMessageA(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(wnd));
}

struct FilterCombo : ::testing::Test {
    void SetUp() override { form.Show(); }

    TFilterComboBox* NewCombo(const std::string& filter) {
        auto* combo = new TFilterComboBox(&form);
        combo->SetBounds(8, 8, 240, 21);
        combo->SetFilter(filter);  // no window yet: its creation builds the entries
        combo->OnClick = [this](TObject*) { log.push_back("click"); };
        combo->OnChange = [this](TObject*) { log.push_back("change"); };
        combo->SetParent(&form);
        combo->Handle();
        return combo;
    }

    // The entries as the window shows them, each with the mask it stands for.
    static Entries EntriesOf(TFilterComboBox& combo) {
        Entries entries;
        HWND wnd = combo.WindowHandle();
        int count = static_cast<int>(SendMessageA(wnd, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = {};
            SendMessageA(wnd, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            combo.SetItemIndex(i);
            entries.emplace_back(text, combo.CurrentMask());
        }
        return entries;
    }

    TTestForm form{260, 300};
    Texts log;
};

// A real folder C:\tulvar_tests\filtercombo\<test> with a file list in it.
struct FilterComboWithList : FilterCombo {
    void SetUp() override {
        FilterCombo::SetUp();
        saved = CurrentDirectory();
        for (const std::string& d : {kTop, kBase}) CreateDirectoryA(d.c_str(), nullptr);
        dir = kBase + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
        for (const char* name : {"a.exe", "b.ico", "c.txt"}) {
            std::string path = dir + "\\" + name;
            HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            CloseHandle(file);
        }
        SetCurrentDirectoryA(dir.c_str());
        list = new TFileListBox(&form);
        list->SetBounds(8, 40, 240, 200);
        list->OnChange = [this](TObject*) { log.push_back("rescan"); };
        list->SetParent(&form);
        list->Handle();
        log.clear();
    }
    void TearDown() override {
        // The list made its folder current; it cannot go while it is.
        SetCurrentDirectoryA(saved.c_str());
        for (const char* name : {"a.exe", "b.ico", "c.txt"}) DeleteFileA((dir + "\\" + name).c_str());
        for (const std::string& d : {dir, kBase, kTop}) RemoveDirectoryA(d.c_str());
    }

    std::string saved, dir;
    TFileListBox* list = nullptr;
};

using FilterComboEntries = FilterCombo;
using FilterComboMask = FilterCombo;
using FilterComboPick = FilterComboWithList;
using FilterComboLinks = FilterComboWithList;
}  // namespace

TEST_F(FilterComboEntries, EachDescriptionWithTheMaskAfterItBecomesOneEntryAndTheFirstIsSelected) {
    const std::string east = kEast, hundred = kHundredMillion;
    const struct { std::string filter; Entries entries; } rows[] = {
        {"A|*.a|B|*.b", {{"A", "*.a"}, {"B", "*.b"}}},
        {"A|", {{"A", ""}}},
        {"A|*.a|B", {{"A", "*.a"}}},
        {"A||B|*.b", {{"A", ""}, {"B", "*.b"}}},
        {"no bars at all", {}},
        {east + "方 (*.a)|*.a|" + hundred + "|" + east + "*.b|" + east,
         {{east + "方 (*.a)", "*.a"}, {hundred, east + "*.b"}}},
    };
    TFilterComboBox* changed = NewCombo("first|*.1");
    for (const auto& row : rows) {
        log.clear();
        TFilterComboBox* created = NewCombo(row.filter);
        int createdIndex = created->ItemIndex();
        changed->SetFilter(row.filter);
        EXPECT_EQ(log, Texts{"change"}) << row.filter;
        int wanted = row.entries.empty() ? -1 : 0;
        EXPECT_EQ(createdIndex, wanted) << row.filter;
        EXPECT_EQ(SendMessageA(changed->WindowHandle(), CB_GETCURSEL, 0, 0), wanted) << row.filter;
        EXPECT_EQ(EntriesOf(*created), row.entries) << row.filter;
        EXPECT_EQ(EntriesOf(*changed), row.entries) << row.filter;
        delete created;
    }
}

TEST_F(FilterComboMask, WithNothingSelectedTheLastEntryIsTakenSilently) {
    TFilterComboBox* combo = NewCombo("A|*.a|B|*.b|C|*.c");
    combo->SetItemIndex(-1);
    log.clear();
    EXPECT_EQ(combo->CurrentMask(), "*.c");
    EXPECT_EQ(SendMessageA(combo->WindowHandle(), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(log, Texts{});

    combo->SetFilter("no entries");
    EXPECT_EQ(combo->CurrentMask(), "*.*");
}

TEST_F(FilterComboPick, APickClicksChangesTwiceAndRescansTheLinkedListOnce) {
    TFilterComboBox* combo = NewCombo(kIconFilter);
    combo->SetFileList(list);
    ASSERT_EQ(combo->Items().Count(), 7);
    ASSERT_EQ(combo->Items().Strings(1), "EXE文件(*.exe)");
    // Linking hands over no mask.
    EXPECT_EQ(list->Mask(), "*.*");
    EXPECT_EQ(log, Texts{});

    const struct {
        int entry;
        Texts log;
        std::string mask;
        int listed;
    } picks[] = {
        {1, {"click", "rescan", "change", "change"}, "*.exe", 1},
        {1, {"click", "change", "change"}, "*.exe", 1},
        {6, {"click", "rescan", "change", "change"}, "*.*", 3},
        {0, {"click", "rescan", "change", "change"}, "*.exe;*.ico;*.bmp;*.dll;*.icl", 2},
    };
    for (const auto& pick : picks) {
        log.clear();
        Pick(*combo, pick.entry);
        EXPECT_EQ(log, pick.log) << pick.entry;
        EXPECT_EQ(list->Mask(), pick.mask) << pick.entry;
        EXPECT_EQ(list->Items().Count(), pick.listed) << pick.entry;
    }
}

TEST_F(FilterComboPick, AFilterDifferingOnlyInLetterCaseChangesNothing) {
    TFilterComboBox* combo = NewCombo("Programs|*.exe|Icons|*.ico");
    combo->SetFileList(list);
    combo->SetItemIndex(1);
    combo->SetFilter("PROGRAMS|*.EXE|icons|*.ICO");
    EXPECT_EQ(log, Texts{});
    EXPECT_EQ(combo->Filter(), "Programs|*.exe|Icons|*.ico");
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(list->Mask(), "*.*");
}

TEST_F(FilterComboLinks, ALinkMovesToTheNewListAndGoesWithTheList) {
    TFilterComboBox* combo = NewCombo("Programs|*.exe|Icons|*.ico");
    combo->SetFileList(list);
    ASSERT_EQ(list->FilterComboBox(), combo);
    auto* other = new TFileListBox(&form);
    combo->SetFileList(other);
    EXPECT_EQ(list->FilterComboBox(), nullptr);
    EXPECT_EQ(other->FilterComboBox(), combo);

    delete other;
    EXPECT_EQ(combo->FileList(), nullptr);
    log.clear();
    Pick(*combo, 1);
    EXPECT_EQ(log, (Texts{"click", "change", "change"}));
    EXPECT_EQ(list->Mask(), "*.*");
}
