#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "filectrl/FileListBox.h"
#include "filectrl/FilterComboBox.h"
#include "filectrl/PathHelpers.h"
#include "framework/Application.h"
#include "framework/Edit.h"
#include "framework/FormReader.h"
#include "base/Exceptions.h"
#include "graphics/Bitmap.h"
#include "tests/support/GuiTest.h"

namespace {
// Allocations fail on demand: once set, the next one of at least this many bytes throws.
size_t failAllocationFrom = 0;
}  // namespace

void* operator new(size_t size) {
    if (failAllocationFrom && size >= failAllocationFrom) {
        failAllocationFrom = 0;
        throw std::bad_alloc();
    }
    // The library's own delete frees what malloc gave.
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

namespace {
const std::string kTop = "C:\\tulvar_tests";
const std::string kBase = kTop + "\\filelist";
// Kept distinct from anything else a test run may leave in C:\.
const std::string kRootFile = "tulvar_filelist_root.exe";

using Texts = std::vector<std::string>;

void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    CloseHandle(file);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
}

void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName, path = dir + "\\" + name;
            if (name == "." || name == "..") continue;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

void ClickListItem(TCustomListBox& list, int index) {
    RECT r{};
    SendMessageA(list.WindowHandle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    ClickAt(list.WindowHandle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

Texts Sorted(Texts texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

// Each test gets its own folder C:\tulvar_tests\filelist\<test>, and a shown form.
struct FileList : ::testing::Test {
    void SetUp() override {
        saved = CurrentDirectory();
        for (const std::string& d : {kTop, kBase}) CreateDirectoryA(d.c_str(), nullptr);
        dir = kBase + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(dir);
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
        form.Show();
    }
    void TearDown() override {
        // The list made its folder current; it cannot go while it is.
        SetCurrentDirectoryA(saved.c_str());
        RemoveTree(dir);
        SetFileAttributesA(("C:\\" + kRootFile).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(("C:\\" + kRootFile).c_str());
        RemoveDirectoryA(kBase.c_str());
        RemoveDirectoryA(kTop.c_str());
    }

    // A name ending in a backslash is a folder.
    void Files(std::initializer_list<std::string> names) {
        for (const std::string& name : names)
            if (name.back() == '\\') ASSERT_TRUE(CreateDirectoryA((dir + "\\" + name).c_str(), nullptr));
            else MakeFile(dir + "\\" + name);
    }

    // A new list starts in the current directory; its window's creation lists it.
    TFileListBox* NewList(const std::string& where, const std::string& mask = "*.*",
                          TFileType type = FileTypeOf({ftNormal})) {
        SetCurrentDirectoryA(where.c_str());
        list = new TFileListBox(&form);
        list->SetBounds(8, 8, 240, 280);
        list->SetMask(mask);  // no window yet: nothing is listed twice
        list->SetFileType(type);
        list->OnClick = [this](TObject*) {
            log.push_back("click " + std::to_string(list->ItemIndex()));
            if (onClick) onClick();
        };
        list->OnChange = [this](TObject*) { log.push_back("change " + std::to_string(list->ItemIndex())); };
        list->SetParent(&form);
        list->Handle();
        log.clear();
        return list;
    }

    Texts Shown() const {
        Texts texts;
        HWND wnd = list->WindowHandle();
        int count = static_cast<int>(SendMessageA(wnd, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char buffer[MAX_PATH + 3] = {};
            SendMessageA(wnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer));
            texts.emplace_back(buffer);
        }
        return texts;
    }

    int IndexOf(const std::string& text) const { return list->Items().FindExact(text); }

    void ClickItem(int index) { ClickListItem(*list, index); }

    std::string saved, dir;
    TTestForm form{260, 300};
    TFileListBox* list = nullptr;
    Texts log;
    std::function<void()> onClick;
};

using FileListMasks = FileList;
using FileListEntries = FileList;
using FileListGlyphs = FileList;
using FileListEvents = FileList;
using FileListSelection = FileList;
using FileListFolder = FileList;
using FileListEdit = FileList;
using FileListLinks = FileList;
}  // namespace

TEST_F(FileListMasks, AnEntryMatchingTwoPartsIsListedTwice) {
    Files({"a.exe", "b.exe", "c.txt"});
    NewList(dir, "*.exe;*.exe");
    EXPECT_EQ(Shown(), (Texts{"a.exe", "a.exe", "b.exe", "b.exe"}));
}

TEST_F(FileListMasks, EmptyMaskPartsFindNothing) {
    Files({"a.exe", "c.txt"});
    NewList(dir);
    ASSERT_EQ(Shown(), (Texts{"a.exe", "c.txt"}));
    list->SetMask("");
    EXPECT_EQ(Shown(), Texts{});
    list->SetMask(";");
    EXPECT_EQ(Shown(), Texts{});
    list->SetMask("*.exe;");
    EXPECT_EQ(Shown(), Texts{"a.exe"});
}

TEST_F(FileListMasks, AMaskInOtherLetterCaseListsAgainButTheSameMaskDoesNothing) {
    Files({"a.exe", "b.exe"});
    NewList(dir, "*.exe");
    ClickItem(1);
    log.clear();
    list->SetMask("*.exe");
    EXPECT_EQ(log, Texts{});
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetMask("*.EXE");
    EXPECT_EQ(log, Texts{"change -1"});
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(list->Mask(), "*.EXE");
    EXPECT_EQ(Shown(), (Texts{"a.exe", "b.exe"}));
}

TEST_F(FileListEntries, ByDefaultHiddenSystemAndFoldersAreLeftOut) {
    MakeFile(dir + "\\plain.txt");
    MakeFile(dir + "\\ro.txt", FILE_ATTRIBUTE_READONLY);
    MakeFile(dir + "\\arc.txt", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile(dir + "\\hid.txt", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(dir + "\\sys.txt", FILE_ATTRIBUTE_SYSTEM);
    Files({"Sub\\"});
    ASSERT_TRUE(GetFileAttributesA((dir + "\\hid.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesA((dir + "\\sys.txt").c_str()) & FILE_ATTRIBUTE_SYSTEM);
    NewList(dir);
    EXPECT_EQ(Sorted(Shown()), (Texts{"arc.txt", "plain.txt", "ro.txt"}));
}

TEST_F(FileListEntries, AListingCutShortByAFailureLeavesTheFolderFreeToGo) {
    // A name too long for a string's own buffer: listing it takes an allocation.
    const std::string name = std::string(150, 'n') + ".txt";
    Files({name});
    NewList(dir);
    ASSERT_EQ(Shown(), Texts{name});
    failAllocationFrom = name.size();
    EXPECT_THROW(list->RescanFiles(), std::bad_alloc);
    EXPECT_EQ(failAllocationFrom, 0u);
    SetCurrentDirectoryA(saved.c_str());
    ASSERT_TRUE(DeleteFileA((dir + "\\" + name).c_str()));
    EXPECT_TRUE(RemoveDirectoryA(dir.c_str())) << "error " << GetLastError();
}

TEST_F(FileListEntries, AskingForFoldersOnlyListsThemBracketedWithDotEntries) {
    Files({"a.exe", "b.txt", "Sub\\"});
    NewList(dir, "*.*", FileTypeOf({ftDirectory}));
    EXPECT_EQ(Sorted(Shown()), (Texts{"[..]", "[.]", "[Sub]"}));
}

TEST_F(FileListGlyphs, ProgramsGetTheProgramGlyphAndOtherFilesTheUnknownOne) {
    Files({"APP.EXE", "app.exe.txt", "run.Bat", "tool.com", "noext"});
    NewList(dir);
    TObject* program = list->ExecutableGlyph();
    TObject* unknown = list->UnknownGlyph();
    ASSERT_NE(program, unknown);
    ASSERT_EQ(list->Items().Count(), 5);
    for (const char* name : {"APP.EXE", "run.Bat", "tool.com"})
        EXPECT_EQ(list->Items().Objects(IndexOf(name)), program) << name;
    for (const char* name : {"app.exe.txt", "noext"}) EXPECT_EQ(list->Items().Objects(IndexOf(name)), unknown) << name;
}

TEST_F(FileListGlyphs, AFolderGetsItsGlyphOnlyIfGlyphsWereShownWhenItWasListed) {
    Files({"a.exe", "Sub\\"});
    NewList(dir, "*.*", FileTypeOf({ftNormal, ftDirectory}));
    ASSERT_GE(IndexOf("[Sub]"), 0);
    EXPECT_EQ(list->Items().Objects(IndexOf("[Sub]")), nullptr);
    list->SetShowGlyphs(true);
    EXPECT_EQ(list->Items().Objects(IndexOf("[Sub]")), nullptr);
    list->RescanFiles();
    EXPECT_EQ(list->Items().Objects(IndexOf("[Sub]")), list->DirectoryGlyph());
    EXPECT_EQ(list->Items().Objects(IndexOf("a.exe")), list->ExecutableGlyph());
}

TEST_F(FileListGlyphs, ShowingGlyphsMakesItemsAtLeastSixteenHigh) {
    Files({"a.exe"});
    NewList(dir);
    ASSERT_LT(list->ItemHeight(), 16) << "the default font alone should give smaller items";
    list->SetShowGlyphs(true);
    EXPECT_GE(list->ItemHeight(), 16);
    EXPECT_EQ(SendMessageA(list->WindowHandle(), LB_GETITEMHEIGHT, 0, 0), list->ItemHeight());
}

TEST_F(FileListEvents, ClickingAnotherItemFiresClickThenChange) {
    Files({"a.exe", "b.exe", "c.exe"});
    NewList(dir);
    ClickItem(1);
    EXPECT_EQ(log, (Texts{"click 1", "change 1"}));
    log.clear();
    ClickItem(2);
    EXPECT_EQ(log, (Texts{"click 2", "change 2"}));
}

TEST_F(FileListEvents, ClickingTheSelectedItemAgainFiresClickOnly) {
    Files({"a.exe", "b.exe"});
    NewList(dir);
    ClickItem(1);
    log.clear();
    ClickItem(1);
    EXPECT_EQ(log, Texts{"click 1"});
}

TEST_F(FileListEvents, AClickHandlerThatListsAgainLeavesOneChangeWithNothingSelected) {
    Files({"a.exe", "b.exe"});
    NewList(dir, "*.exe");
    onClick = [this] { list->SetMask(list->Mask() == "*.exe" ? "*.EXE" : "*.exe"); };
    ClickItem(1);
    EXPECT_EQ(log, (Texts{"click 1", "change -1"}));
    EXPECT_EQ(list->ItemIndex(), -1);
}

TEST_F(FileListEvents, EveryRelistingFiresChangeWithNothingSelected) {
    Files({"a.exe", "b.exe", "Sub\\"});
    NewList(dir);
    const std::function<void()> relistings[] = {
        [this] { list->RescanFiles(); },
        [this] { list->SetFileType(FileTypeOf({ftNormal, ftDirectory})); },
        [this] { list->SetMask("*.exe"); },
        [this] { list->SetDirPath(dir + "\\Sub"); },
    };
    for (const auto& relist : relistings) {
        list->SetDirPath(dir);
        ClickItem(0);
        ASSERT_EQ(list->ItemIndex(), 0);
        log.clear();
        relist();
        EXPECT_EQ(log, Texts{"change -1"});
        EXPECT_EQ(list->ItemIndex(), -1);
    }
}

TEST_F(FileListEvents, TheScreenCursorIsPutBackAfterAListingOfManyFiles) {
    for (int i = 0; i < 150; ++i) MakeFile(dir + "\\f" + std::to_string(1000 + i) + ".exe");
    NewList(dir);
    TCursor duringChange = crDefault;
    list->OnChange = [&](TObject*) { duringChange = Application.ScreenCursor(); };
    Application.SetScreenCursor(crHandPoint);
    list->RescanFiles();
    EXPECT_EQ(Application.ScreenCursor(), crHandPoint);
    EXPECT_EQ(duringChange, crHandPoint);
    EXPECT_EQ(list->Items().Count(), 150);
    Application.SetScreenCursor(crDefault);
}

TEST_F(FileListSelection, NothingSelectedMeansNoNameAndNoPath) {
    Files({"a.exe"});
    NewList(dir);
    EXPECT_EQ(list->SelectedName(), "");
    EXPECT_EQ(list->SelectedPath(), "");
    ClickItem(0);
    EXPECT_EQ(list->SelectedName(), "a.exe");
    EXPECT_EQ(list->SelectedPath(), dir + "\\a.exe");
}

TEST_F(FileListSelection, AtTheRootThePathHasOneBackslash) {
    MakeFile("C:\\" + kRootFile);
    NewList("C:\\", kRootFile);
    EXPECT_EQ(list->DirPath(), "C:\\");
    ASSERT_EQ(Shown(), Texts{kRootFile});
    ClickItem(0);
    EXPECT_EQ(list->SelectedPath(), "C:\\" + kRootFile);
}

TEST_F(FileListSelection, TypingAFilesPathMovesThereAndSelectsIt) {
    Files({"a.exe", "b.exe", "Sub\\", "Sub\\c.exe"});
    NewList(dir);
    list->SetSelectedPath(dir + "\\Sub\\c.exe");
    EXPECT_EQ(list->DirPath(), dir + "\\Sub");
    EXPECT_EQ(list->SelectedName(), "c.exe");
    EXPECT_EQ(list->Mask(), "*.*");
}

TEST_F(FileListSelection, AWildcardInTheTypedPathBecomesTheMask) {
    Files({"a.exe", "b.ico", "c.ico", "Sub\\"});
    NewList(dir + "\\Sub");
    list->SetSelectedPath(dir + "\\*.ico");
    EXPECT_EQ(list->DirPath(), dir);
    EXPECT_EQ(list->Mask(), "*.ico");
    EXPECT_EQ(Shown(), (Texts{"b.ico", "c.ico"}));
}

TEST_F(FileListSelection, AnExistingFileTheMaskHidesBecomesTheMaskAndIsSelected) {
    Files({"a.exe", "b.txt"});
    NewList(dir, "*.exe");
    list->SetSelectedPath(dir + "\\b.txt");
    EXPECT_EQ(list->Mask(), "b.txt");
    EXPECT_EQ(Shown(), Texts{"b.txt"});
    EXPECT_EQ(list->SelectedName(), "b.txt");
}

TEST_F(FileListSelection, AFileMissingWhereTheListMovedIsRefusedAfterTheMove) {
    // The typed path is relative: the process's current folder has Sub\x.exe,
    // the folder the list moves to (beside its own) does not.
    Files({"Here\\", "Here\\Sub\\", "Cwd\\", "Cwd\\Sub\\", "Cwd\\Sub\\x.exe"});
    NewList(dir + "\\Here");
    SetCurrentDirectoryA((dir + "\\Cwd").c_str());
    try {
        list->SetSelectedPath("Sub\\x.exe");
        ADD_FAILURE() << "nothing was raised";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message, "无效的文件名 - Sub\\x.exe");
    }
    EXPECT_EQ(list->DirPath(), dir + "\\Here\\Sub");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "change -1");
}

TEST_F(FileListSelection, AMissingNameInAnExistingFolderIsTakenForAFolderThatIsNotThere) {
    Files({"a.exe"});
    NewList(dir);
    EXPECT_NO_THROW(list->SetSelectedPath(dir + "\\missing.exe"));
    EXPECT_EQ(list->DirPath(), dir);
    EXPECT_EQ(log, Texts{"change -1"});
}

TEST_F(FileListFolder, TheSameFolderInOtherLetterCaseChangesNothing) {
    Files({"a.exe", "b.exe"});
    NewList(dir);
    ClickItem(1);
    log.clear();
    std::string upper = dir;
    CharUpperA(&upper[0]);
    list->SetDirPath(upper);
    EXPECT_EQ(list->DirPath(), dir);
    EXPECT_EQ(log, Texts{});
    EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(FileListFolder, AFolderThatDoesNotExistLeavesThePathButListsAgain) {
    Files({"a.exe"});
    NewList(dir);
    ClickItem(0);
    log.clear();
    list->SetDirPath(dir + "\\Nope");
    EXPECT_EQ(list->DirPath(), dir);
    EXPECT_EQ(log, Texts{"change -1"});
    EXPECT_EQ(Shown(), Texts{"a.exe"});
}

TEST_F(FileListEdit, ALinkedEditShowsTheMaskOrTheClickedNameAllSelected) {
    Files({"a.exe", "bb.exe"});
    auto* edit = new TEdit(&form);
    edit->SetBounds(8, 270, 200, 21);
    edit->SetParent(&form);
    edit->Handle();
    NewList(dir, "*.exe");
    list->SetFileEdit(edit);
    EXPECT_EQ(edit->Text(), "*.exe");
    ClickItem(1);
    EXPECT_EQ(edit->Text(), "bb.exe");
    EXPECT_EQ(edit->Selection(), std::make_pair(0, 6));
    list->SetMask("*.EXE");
    EXPECT_EQ(edit->Text(), "*.EXE");
    EXPECT_EQ(edit->Selection(), std::make_pair(0, 5));
}

TEST_F(FileListLinks, APartnerDestroyedFirstIsForgottenAndTheOtherSideKeepsWorking) {
    Files({"a.exe", "b.txt"});
    auto* combo = new TFilterComboBox(&form);
    combo->SetParent(&form);
    combo->SetBounds(8, 240, 200, 120);
    combo->SetFilter("程序 (*.exe)|*.exe|文本 (*.txt)|*.txt");
    NewList(dir, "*.*");
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    combo->SetFileList(list);
    list->SetFileEdit(edit);
    ASSERT_EQ(list->FilterComboBox(), combo);

    // The list goes first: the combo box must not reach it afterwards.
    delete list;
    list = nullptr;
    EXPECT_EQ(combo->FileList(), nullptr);
    combo->Items().SetItemIndex(1);
    combo->SetFilter("文本 (*.txt)|*.txt");
    EXPECT_EQ(combo->CurrentMask(), "*.txt");

    // A new list links again; now the combo box and the edit go first.
    NewList(dir, "*.*");
    combo->SetFileList(list);
    list->SetFileEdit(edit);
    combo->Items().SetItemIndex(0);
    combo->SetFilter("全部 (*.*)|*.*|程序 (*.exe)|*.exe");
    delete combo;
    delete edit;
    EXPECT_EQ(list->FilterComboBox(), nullptr);
    EXPECT_EQ(list->FileEdit(), nullptr);
    list->SetMask("*.txt");
    ClickItem(0);
    EXPECT_EQ(Shown(), Texts({"b.txt"}));
    EXPECT_EQ(list->ItemIndex(), 0);
}

TEST(FileListReading, FileTypesAreReadByNameAndAnUnknownNameIsRefusedWithItsLine) {
    const struct {
        const char* set;
        const char* error;
        TFileType type;
    } rows[] = {
        {"[ftHidden, ftDirectory, ftNormal]", "(no error)", FileTypeOf({ftHidden, ftDirectory, ftNormal})},
        {"[ftReadOnly, ftSystem, ftVolumeID, ftArchive]", "(no error)",
         FileTypeOf({ftReadOnly, ftSystem, ftVolumeID, ftArchive})},
        {"[ftNormal, ftSecret]", "无效的属性值 (3)", FileTypeOf({ftNormal})},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.set);
        TFileListBox list(nullptr);  // without a window nothing is listed
        TFormReader reader;
        const std::string text = std::string("L : TFileListBox {\n  Mask = \"*.x\"\n  FileType = ") + row.set + "\n}";
        EXPECT_EQ(ErrorText<EReadError>([&] { reader.ReadRoot(&list, ParseFormText(text)); }), row.error);
        EXPECT_EQ(list.FileType(), row.type);
    }
}
