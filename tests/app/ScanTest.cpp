#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "buttons/SpeedButton.h"
#include "filectrl/DirectoryListBox.h"
#include "filectrl/DriveComboBox.h"
#include "filectrl/FileListBox.h"
#include "filectrl/FilterComboBox.h"
#include "fixtures.h"
#include "framework/Application.h"
#include "framework/Panel.h"
#include "framework/StatusBar.h"
#include "framework/Image.h"
#include "lists/ImageList.h"
#include "lists/ListView.h"
#include "tests/support/GuiTest.h"

namespace {
const std::string kFixtures = TULVAR_FIXTURE_DIR;
const int kAllFiles = 6;  // the filter entry "All files (*.*)"

long long SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string WithIcons(const std::string& name, int count, long long size) {
    return " 文件名: " + name + "  [图标数: " + std::to_string(count) + " 个]   文件大小: " + std::to_string(size) +
           " 字节";
}

std::string WithoutIcons(const std::string& name, long long size) {
    return " 文件名: " + name + "  [没有图标文件]   文件大小: " + std::to_string(size) + " 字节";
}

// The real window, read from its description, with a folder of its own for made-up files.
struct ScanFixture : ::testing::Test {
    static std::unique_ptr<TForm1> form;
    static std::string temp;
    static std::vector<std::string> shown;

    static void SetUpTestSuite() {
        char base[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, base);
        temp = std::string(base) + "tulvar_scan_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(temp.c_str(), nullptr);
        form = std::make_unique<TForm1>(nullptr);
        form->CreateFromResource("TFORM1");
        form->Show();
    }
    static void TearDownTestSuite() {
        form.reset();
        // The list made the folder current; it cannot go while it is.
        SetCurrentDirectoryA(kFixtures.c_str());
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((temp + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((temp + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(temp.c_str());
    }

    // A box the application would show is collected instead, so a failure cannot hang the run.
    void SetUp() override {
        shown.clear();
        Application.SetExceptionSink([](const std::string& text) { shown.push_back(text); });
    }
    void TearDown() override {
        Application.SetExceptionSink({});
        EXPECT_TRUE(shown.empty()) << "unexpected box: " << shown.front();
        form->ZoomLevel = 3;
    }

    // What a user does: lists all files of the folder as they are now, then clicks the file.
    static void Pick(const std::string& dir, const std::string& name) {
        List(dir);
        Click(name);
    }
    static void List(const std::string& dir) {
        form->FilterComboBox1->Items().SetItemIndex(kAllFiles);
        form->FileListBox1->SetDirPath(dir);
        form->FileListBox1->SetMask("*.*");
        form->FileListBox1->RescanFiles();
    }
    static void Click(const std::string& name) {
        int index = form->FileListBox1->Items().FindExact(name);
        ASSERT_GE(index, 0) << name << " is not listed";
        HWND list = form->FileListBox1->WindowHandle();
        SendMessageA(list, LB_SETTOPINDEX, index, 0);  // scrolled into view first
        RECT r{};
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        SendMouse(list, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        SendMouse(list, WM_LBUTTONUP, x, y);
        ASSERT_EQ(form->FileListBox1->ItemIndex(), index);
    }

    static std::string Location() {
        char text[1024] = {};
        SendMessageA(form->StatusBar1->WindowHandle(), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
        return text;
    }
    static std::string Selected() { return WindowText(form->Panel11->WindowHandle()); }
    static std::string FileLine() { return WindowText(form->Panel12->WindowHandle()); }
    static std::string Ratio() { return WindowText(form->Panel6->WindowHandle()); }
    static int ListedIcons() {
        return static_cast<int>(SendMessageA(form->ListView1->WindowHandle(), LVM_GETITEMCOUNT, 0, 0));
    }
    static int SelectedIcons() {
        return static_cast<int>(SendMessageA(form->ListView1->WindowHandle(), LVM_GETSELECTEDCOUNT, 0, 0));
    }
    // All four tool buttons alike: 1 enabled, 0 disabled, -1 mixed.
    static int ButtonsEnabled() {
        int on = 0;
        for (TSpeedButton* b : {form->SpeedButton1, form->SpeedButton2, form->SpeedButton3, form->SpeedButton4})
            on += b->Enabled() ? 1 : 0;
        return on == 4 ? 1 : on == 0 ? 0 : -1;
    }
    static RECT Preview() { return form->Image2->BoundsRect(); }
    static COLORREF PreviewPixel(int x, int y) { return WindowPixel(form->Panel9->WindowHandle(), x, y); }

    static POINT IconCentre(int position) {
        RECT r{LVIR_ICON, 0, 0, 0};
        SendMessageA(form->ListView1->WindowHandle(), LVM_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // As the platform delivers a click: the list view follows the mouse inside
    // the press, so the release already waits in the queue.
    static void ClickIcons(POINT at) {
        HWND wnd = form->ListView1->WindowHandle();
        PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        SendMouse(wnd, WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
        PumpMessages(20);
    }
    static void ClickButton(TSpeedButton* button) {
        ClickAt(button->Parent()->WindowHandle(), button->Left() + 11, button->Top() + 11);
    }
};
std::unique_ptr<TForm1> ScanFixture::form;
std::string ScanFixture::temp;
std::vector<std::string> ScanFixture::shown;

struct ScanOfAFileWithIcons : ScanFixture {};
struct ScanOfAFileWithoutIcons : ScanFixture {};
struct ScanZoom : ScanFixture {};
struct ScanFailure : ScanFixture {};
struct ScanSelection : ScanFixture {};
struct IconSelection : ScanFixture {};

// Counts the scans the file list's changes run.
struct WindowBrowsing : ScanFixture {
    int scans = 0;
    TNotifyEvent scan;
    void SetUp() override {
        ScanFixture::SetUp();
        scan = form->FileListBox1->OnChange;
        form->FileListBox1->OnChange = [this](TObject* sender) {
            ++scans;
            scan(sender);
        };
    }
    void TearDown() override {
        form->FileListBox1->OnChange = scan;
        form->DirectoryListBox1->SetDirPath(kFixtures);
        form->FilterComboBox1->Items().SetItemIndex(0);
        ScanFixture::TearDown();
    }
    // The platform's report of a pick: the selection moves, then the parent hears of it.
    static void Notify(TWinControl* control, UINT message, int index, WORD code) {
        HWND wnd = control->WindowHandle();
        SendMessageA(wnd, message, index, 0);
        SendMessageA(GetParent(wnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(wnd), code), reinterpret_cast<LPARAM>(wnd));
    }
};
const COLORREF kYellow = RGB(255, 255, 0);  // the centre of threeicons.dll's third icon
}  // namespace

TEST_F(ScanOfAFileWithIcons, TheStatusBarLabelsAndButtonsDescribeTheFile) {
    Pick(kFixtures, "threeicons.dll");
    EXPECT_EQ(Location(), " 当前文件位置: " + kFixtures + "\\threeicons.dll");
    EXPECT_EQ(Selected(), "所选图标为: 第1个图标");
    EXPECT_EQ(FileLine(), WithIcons("threeicons.dll", 3, SizeOf(kFixtures + "\\threeicons.dll")));
    EXPECT_EQ(ButtonsEnabled(), 1);
}

TEST_F(ScanOfAFileWithIcons, EveryIconGetsOneEntryInItsOrderAndNoneIsSelected) {
    const struct {
        const char* name;
        int count;
    } files[] = {{"oneicon.dll", 1}, {"threeicons.dll", 3}, {"manyicons.dll", 40}, {"multi.ico", 1},
                 {"single.ico", 1}};
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        List(kFixtures);
        // The list's listeners hear of the emptying and of each insert, once each.
        TChangeLink listener;
        int notices = 0;
        listener.OnChange = [&](TCustomImageList*) { ++notices; };
        form->ImageList1->AttachListener(&listener);
        Click(f.name);
        EXPECT_EQ(notices, f.count + 1);
        EXPECT_EQ(FileLine(), WithIcons(f.name, f.count, SizeOf(kFixtures + "\\" + f.name)));
        EXPECT_EQ(form->ImageList1->ImageCount(), f.count);
        EXPECT_EQ(ListedIcons(), f.count);
        for (int i = 0; i < ListedIcons(); ++i) {
            LVITEMA shown{};
            shown.mask = LVIF_IMAGE;
            shown.iItem = i;
            SendMessageA(form->ListView1->WindowHandle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&shown));
            EXPECT_EQ(shown.iImage, i) << "the picture item " << i << " shows";
        }
        EXPECT_EQ(SelectedIcons(), 0);
    }
}

TEST_F(ScanOfAFileWithIcons, ThePreviewShowsTheFirstIconDoubledOverTheAreaBackground) {
    Pick(kFixtures, "threeicons.dll");
    RECT r = Preview();
    EXPECT_EQ(r.left, 41);
    EXPECT_EQ(r.top, 19);
    EXPECT_EQ(r.right - r.left, 64);
    EXPECT_EQ(r.bottom - r.top, 64);
    HWND area = form->Panel9->WindowHandle();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    // Icon pixel (x, y) covers area pixels 41 + 2x and 19 + 2y, and the next ones.
    EXPECT_EQ(WindowPixel(area, 42, 82), face) << "the transparent bottom-left corner";
    EXPECT_EQ(WindowPixel(area, 42, 20), face) << "the transparent top-left corner";
    EXPECT_EQ(WindowPixel(area, 73, 51), face) << "the white cross in the middle";
    EXPECT_EQ(WindowPixel(area, 58, 40), RGB(255, 0, 0)) << "the red disc";
    EXPECT_EQ(WindowPixel(area, 70, 22), RGB(0, 0, 0)) << "the black rim";
}

TEST_F(ScanOfAFileWithoutIcons, ADllWithoutIconsListsNothingAndDisablesTheButtons) {
    Pick(kFixtures, "threeicons.dll");
    Pick(kFixtures, "noicons.dll");
    EXPECT_EQ(Location(), " 当前文件位置: " + kFixtures + "\\noicons.dll");
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(FileLine(), WithoutIcons("noicons.dll", SizeOf(kFixtures + "\\noicons.dll")));
    EXPECT_EQ(ButtonsEnabled(), 0);
    EXPECT_EQ(form->ImageList1->ImageCount(), 0);
    EXPECT_EQ(ListedIcons(), 0);
}

TEST_F(ScanOfAFileWithoutIcons, PlainFilesShowTheirSizeAndNoIcons) {
    Pick(kFixtures, "empty.dat");
    EXPECT_EQ(FileLine(), WithoutIcons("empty.dat", 0));
    EXPECT_EQ(ListedIcons(), 0);
    EXPECT_EQ(ButtonsEnabled(), 0);
    Pick(kFixtures, "text.txt");
    EXPECT_EQ(FileLine(), WithoutIcons("text.txt", 90));
    EXPECT_EQ(ListedIcons(), 0);
    EXPECT_EQ(Selected(), "");
}

TEST_F(ScanOfAFileWithoutIcons, AFileOfFiveGigabytesShowsItsExactSize) {
    const std::string path = temp + "\\huge.ico";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = 5LL * 1024 * 1024 * 1024;  // sparse on the Unix side, so cheap
    BOOL sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    ASSERT_TRUE(sized);
    Pick(temp, "huge.ico");
    EXPECT_EQ(FileLine(), " 文件名: huge.ico  [没有图标文件]   文件大小: 5368709120 字节");
    EXPECT_EQ(ButtonsEnabled(), 0);
    form->FileListBox1->SetDirPath(kFixtures);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(ScanZoom, AtTheStartingLevelThePreviewIsDoubledAndCentred) {
    Pick(kFixtures, "oneicon.dll");
    EXPECT_EQ(Ratio(), "图标显示比例 2:1");
    RECT r = Preview();
    EXPECT_EQ(r.left, 41);
    EXPECT_EQ(r.top, 19);
    EXPECT_EQ(r.right - r.left, 64);
    EXPECT_EQ(r.bottom - r.top, 64);
}

TEST_F(ScanZoom, EachLevelSizesAndCentresThePreviewAndNamesItsRatio) {
    const struct {
        int level, side, left, top;
        const char* ratio;
    } steps[] = {{1, 16, 65, 43, "图标显示比例 0.5:1"},
                 {2, 32, 57, 35, "图标显示比例 1:1"},
                 {4, 96, 25, 3, "图标显示比例 3:1"},
                 {3, 64, 41, 19, "图标显示比例 2:1"}};
    const char* files[] = {"oneicon.dll", "threeicons.dll"};
    for (const auto& s : steps) {
        SCOPED_TRACE(s.ratio);
        List(kFixtures);
        form->ZoomLevel = s.level;  // after listing, so the click's scan is the first at this level
        for (const char* name : files) {  // a second scan keeps the level
            SCOPED_TRACE(name);
            Click(name);
            EXPECT_EQ(Ratio(), s.ratio);
            RECT r = Preview();
            EXPECT_EQ(r.right - r.left, s.side);
            EXPECT_EQ(r.bottom - r.top, s.side);
            EXPECT_EQ(r.left, s.left);
            EXPECT_EQ(r.top, s.top);
            EXPECT_EQ(form->ZoomLevel, s.level);
        }
    }
}

TEST_F(ScanFailure, AFileThatVanishedAfterListingCannotBeOpened) {
    CopyFileA((kFixtures + "\\threeicons.dll").c_str(), (temp + "\\before.dll").c_str(), FALSE);
    CopyFileA((kFixtures + "\\single.ico").c_str(), (temp + "\\vanished.ico").c_str(), FALSE);
    Pick(temp, "before.dll");
    const std::string before = FileLine();
    ASSERT_EQ(before, WithIcons("before.dll", 3, SizeOf(temp + "\\before.dll")));
    ASSERT_TRUE(DeleteFileA((temp + "\\vanished.ico").c_str()));
    Click("vanished.ico");
    EXPECT_EQ(shown, std::vector<std::string>{"不能打开文件 " + temp + "\\vanished.ico."});
    shown.clear();
    // The steps before the size was asked for have happened; the file line has not.
    EXPECT_EQ(Location(), " 当前文件位置: " + temp + "\\vanished.ico");
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(ListedIcons(), 0);
    EXPECT_EQ(FileLine(), before);
    EXPECT_EQ(ButtonsEnabled(), 1);
}

TEST_F(ScanFailure, AFileHeldOpenWithoutSharingCannotBeOpened) {
    const std::string path = temp + "\\locked.ico";
    CopyFileA((kFixtures + "\\threeicons.dll").c_str(), (temp + "\\before.dll").c_str(), FALSE);
    CopyFileA((kFixtures + "\\single.ico").c_str(), path.c_str(), FALSE);
    Pick(temp, "before.dll");
    const std::string before = FileLine();
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Click("locked.ico");
    CloseHandle(held);
    EXPECT_EQ(shown, std::vector<std::string>{"不能打开文件 " + path + "."});
    shown.clear();
    EXPECT_EQ(Location(), " 当前文件位置: " + path);
    EXPECT_EQ(FileLine(), before);
    EXPECT_EQ(ButtonsEnabled(), 1);
}

TEST_F(ScanSelection, ClickingTheSelectedFileAgainDoesNotScanIt) {
    Pick(kFixtures, "threeicons.dll");
    form->Panel11->SetCaption("x");
    Click("threeicons.dll");
    EXPECT_EQ(Selected(), "x");
    Click("oneicon.dll");
    EXPECT_EQ(Selected(), "所选图标为: 第1个图标");
}

TEST_F(ScanSelection, MovingToAnotherFolderClearsTheIconsButKeepsTheFileLine) {
    Pick(kFixtures, "threeicons.dll");
    const std::string before = FileLine();
    form->FileListBox1->SetDirPath(temp);
    EXPECT_EQ(form->FileListBox1->ItemIndex(), -1);
    EXPECT_EQ(Location(), " 当前文件位置: ");
    EXPECT_EQ(Selected(), "");
    EXPECT_EQ(form->ImageList1->ImageCount(), 0);
    EXPECT_EQ(ListedIcons(), 0);
    EXPECT_EQ(FileLine(), before);
    EXPECT_EQ(ButtonsEnabled(), 1);
}

TEST_F(ScanSelection, AFileInADriveRootIsNamedWithoutABackslash) {
    const std::string path = "C:\\tulvar_root_test.ico";
    ASSERT_TRUE(CopyFileA((kFixtures + "\\single.ico").c_str(), path.c_str(), FALSE));
    Pick("C:\\", "tulvar_root_test.ico");
    EXPECT_EQ(form->FileListBox1->DirPath(), "C:\\");
    EXPECT_EQ(Location(), " 当前文件位置: " + path);
    EXPECT_EQ(FileLine(), WithIcons("tulvar_root_test.ico", 1, SizeOf(path)));
    form->FileListBox1->SetDirPath(temp);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST_F(ScanSelection, AFileInAFolderWhoseNameEndsInATwoByteCharacterIsNamedWithoutABackslash) {
    // The second byte of 誠 in GBK is the code of '\'; it is no separator.
    const std::string folder = temp + "\\真誠";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string path = folder + "\\three.dll";
    CopyFileA((kFixtures + "\\threeicons.dll").c_str(), path.c_str(), FALSE);
    Pick(folder, "three.dll");
    EXPECT_EQ(Location(), " 当前文件位置: " + path);
    EXPECT_EQ(FileLine(), WithIcons("three.dll", 3, SizeOf(path)));
    form->FileListBox1->SetDirPath(temp);
    DeleteFileA(path.c_str());
    EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
}

TEST_F(IconSelection, ClickingTheThirdIconPreviewsItAndAZoomKeepsItOnlyResized) {
    Pick(kFixtures, "threeicons.dll");
    form->Panel6->SetCaption("x");
    ClickIcons(IconCentre(2));
    EXPECT_EQ(Selected(), "所选图标为: 第3个图标");
    EXPECT_EQ(Ratio(), "x") << "a selection leaves the ratio's label alone";
    // Icon pixel (15, 15) covers area pixels 41 + 2 * 15 = 71 and 19 + 2 * 15 = 49, and the next ones.
    EXPECT_EQ(PreviewPixel(72, 50), kYellow);
    ClickButton(form->SpeedButton1);
    EXPECT_EQ(form->ZoomLevel, 4);
    RECT r = Preview();
    EXPECT_EQ(r.left, 25);
    EXPECT_EQ(r.top, 3);
    EXPECT_EQ(r.right - r.left, 96);
    EXPECT_EQ(Ratio(), "图标显示比例 3:1");
    EXPECT_EQ(Selected(), "所选图标为: 第3个图标");
    EXPECT_EQ(PreviewPixel(25 + 3 * 15 + 1, 3 + 3 * 15 + 1), kYellow);
}

TEST_F(IconSelection, ClicksOnEmptySpaceAndKeysLeaveThePreviewAsItWas) {
    Pick(kFixtures, "threeicons.dll");
    ClickIcons(IconCentre(2));
    ClickIcons({form->ListView1->Width() - 10, form->ListView1->Height() - 10});
    EXPECT_EQ(form->ListView1->SelectedPosition(), -1);
    EXPECT_EQ(Selected(), "所选图标为: 第3个图标");
    ClickIcons(IconCentre(2));
    SendMessageA(form->ListView1->WindowHandle(), WM_KEYDOWN, VK_LEFT, 0);
    SendMessageA(form->ListView1->WindowHandle(), WM_KEYUP, VK_LEFT, 0);
    PumpMessages(20);
    EXPECT_EQ(form->ListView1->SelectedPosition(), 1);
    EXPECT_EQ(Selected(), "所选图标为: 第3个图标");
    EXPECT_EQ(PreviewPixel(72, 50), kYellow);
}

TEST_F(IconSelection, TheZoomButtonsStepThroughTheLevelsAndStopAtBothEnds) {
    const struct {
        int from;
        TSpeedButton* TForm1::*button;
        int clicks, level, side;
        const char* ratio;
    } cases[] = {{3, &TForm1::SpeedButton1, 1, 4, 96, "图标显示比例 3:1"},
                 {4, &TForm1::SpeedButton1, 2, 4, 96, "图标显示比例 3:1"},
                 {3, &TForm1::SpeedButton2, 1, 2, 32, "图标显示比例 1:1"},
                 {2, &TForm1::SpeedButton2, 3, 1, 16, "图标显示比例 0.5:1"},
                 {1, &TForm1::SpeedButton1, 1, 2, 32, "图标显示比例 1:1"}};
    Pick(kFixtures, "oneicon.dll");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ratio);
        form->ZoomLevel = c.from;
        form->Panel6->SetCaption("x");  // at either end the label and size are set again
        form->Image2->SetBounds(0, 0, 1, 1);
        for (int i = 0; i < c.clicks; ++i) ClickButton(form.get()->*c.button);
        EXPECT_EQ(form->ZoomLevel, c.level);
        EXPECT_EQ(Ratio(), c.ratio);
        RECT r = Preview();
        EXPECT_EQ(r.right - r.left, c.side);
        EXPECT_EQ(r.bottom - r.top, c.side);
        EXPECT_EQ(r.left, 73 - c.side / 2);
        EXPECT_EQ(r.top, 51 - c.side / 2);
    }
}

TEST_F(WindowBrowsing, OpeningAFolderMovesTheFileListThereWithOneEmptyScan) {
    const std::string sub = temp + "\\Sub";
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    CopyFileA((kFixtures + "\\threeicons.dll").c_str(), (sub + "\\three.dll").c_str(), FALSE);
    form->DirectoryListBox1->SetDirPath(temp);
    EXPECT_EQ(form->FileListBox1->DirPath(), temp);
    scans = 0;
    int index = form->DirectoryListBox1->Items().FindExact("Sub");
    ASSERT_GE(index, 0);
    Notify(form->DirectoryListBox1, LB_SETCURSEL, index, LBN_DBLCLK);
    EXPECT_EQ(form->DirectoryListBox1->DirPath(), sub);
    EXPECT_EQ(form->FileListBox1->DirPath(), sub);
    EXPECT_EQ(scans, 1);
    EXPECT_EQ(Location(), " 当前文件位置: ");
    EXPECT_EQ(form->FileListBox1->Items().FindExact("three.dll"), 0);
    Click("three.dll");
    EXPECT_EQ(Selected(), "所选图标为: 第1个图标");
    form->DirectoryListBox1->SetDirPath(temp);
    DeleteFileA((sub + "\\three.dll").c_str());
    EXPECT_TRUE(RemoveDirectoryA(sub.c_str()));
}

TEST_F(WindowBrowsing, PickingADriveMovesTheDirectoryListAndTheFileListWithOneEmptyScan) {
    if (GetDriveTypeA("Y:\\") <= DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "drive Y: is not mapped (run through ctest)";
    int index = -1;
    for (int i = 0; i < form->DriveComboBox1->Items().Count(); ++i)
        if (form->DriveComboBox1->Items().Strings(i).rfind("y:", 0) == 0) index = i;
    ASSERT_GE(index, 0);
    Notify(form->DriveComboBox1, CB_SETCURSEL, index, CBN_SELCHANGE);
    EXPECT_EQ(form->DriveComboBox1->DriveLetter(), 'y');
    // The directory is what the platform reports after changing to "y:", letter case included.
    EXPECT_EQ(_strnicmp(form->DirectoryListBox1->DirPath().c_str(), "Y:\\", 3), 0);
    EXPECT_EQ(form->FileListBox1->DirPath(), form->DirectoryListBox1->DirPath());
    EXPECT_EQ(scans, 1);
}

TEST_F(WindowBrowsing, PickingAFilterNarrowsTheFileListWithOneEmptyScan) {
    form->DirectoryListBox1->SetDirPath(kFixtures);
    form->FileListBox1->SetDirPath(kFixtures);
    scans = 0;
    Notify(form->FilterComboBox1, CB_SETCURSEL, 1, CBN_SELCHANGE);  // EXE文件(*.exe)
    EXPECT_EQ(form->FileListBox1->Mask(), "*.exe");
    EXPECT_EQ(scans, 1);
    EXPECT_LT(form->FileListBox1->Items().FindExact("threeicons.dll"), 0);
    Notify(form->FilterComboBox1, CB_SETCURSEL, 0, CBN_SELCHANGE);
    EXPECT_EQ(form->FileListBox1->Mask(), "*.exe;*.ico;*.bmp;*.dll;*.icl");
    EXPECT_EQ(scans, 2);
    EXPECT_GE(form->FileListBox1->Items().FindExact("threeicons.dll"), 0);
}
