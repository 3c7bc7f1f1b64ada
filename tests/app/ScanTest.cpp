#include "tests/app/WindowFixture.h"
#include "tests/support/Pictures.h"

namespace {
std::string WithIcons(const std::string& name, int count, long long size) {
    return " 文件名: " + name + "  [图标数: " + std::to_string(count) + " 个]   文件大小: " + std::to_string(size) +
           " 字节";
}

std::string WithoutIcons(const std::string& name, long long size) {
    return " 文件名: " + name + "  [没有图标文件]   文件大小: " + std::to_string(size) + " 字节";
}

struct ScanOfAFileWithIcons : WindowFixture {};
struct ScanOfAFileWithoutIcons : WindowFixture {};
struct ScanZoom : WindowFixture {};
struct ScanFailure : WindowFixture {};
struct ScanSelection : WindowFixture {};
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
        // The list's listeners hear of the emptying, then of the pictures once
        // per step of the fill, never once per picture more.
        TChangeLink listener;
        int notices = 0;
        listener.OnChange = [&](TCustomImageList*) { ++notices; };
        form->ImageList1->AttachListener(&listener);
        Click(f.name);
        EXPECT_GE(notices, 2);
        EXPECT_LE(notices, f.count + 1);
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

namespace {
// What a fill leaves for a user to see: the items' pictures, every picture of
// the image list, the list as the screen shows it, and the texts.
struct ListState {
    std::vector<int> itemImages;
    std::vector<COLORREF> pictures;
    std::vector<COLORREF> screen;
    std::string selected, fileLine, location;
};

size_t Differing(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

void ExpectSame(const ListState& a, const ListState& b) {
    EXPECT_EQ(a.itemImages, b.itemImages);
    EXPECT_EQ(Differing(a.pictures, b.pictures), 0u) << "pixels of the pictures";
    EXPECT_EQ(Differing(a.screen, b.screen), 0u) << "pixels of the list on the screen";
    EXPECT_EQ(a.selected, b.selected);
    EXPECT_EQ(a.fileLine, b.fileLine);
    EXPECT_EQ(a.location, b.location);
}

struct ScanInSteps : WindowFixture {
    static ListState State() {
        PumpMessages(0);
        HWND view = form->ListView1->WindowHandle();
        UpdateWindow(view);
        ListState s;
        for (int i = 0; i < ListedIcons(); ++i) {
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = i;
            SendMessageA(view, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            s.itemImages.push_back(item.iImage);
        }
        HIMAGELIST images = form->ImageList1->PlatformHandle();
        for (int i = 0; i < ImageList_GetImageCount(images); ++i)
            for (UINT style : {ILD_NORMAL, ILD_MASK}) {
                const std::vector<COLORREF> pixels = CellPixels(images, i, style);
                s.pictures.insert(s.pictures.end(), pixels.begin(), pixels.end());
            }
        RECT client;
        GetClientRect(view, &client);
        HDC shown = GetDC(view);
        s.screen = Pixels(shown, client.right, client.bottom);
        ReleaseDC(view, shown);
        s.selected = Selected();
        s.fileLine = FileLine();
        s.location = Location();
        return s;
    }
    // The whole fill at once, without the message loop: the plain version.
    static ListState FilledAtOnce(const std::string& name) {
        List(kFixtures);
        Press(name);
        form->IconFill().Finish();
        return State();
    }
    // Steps until every item is in, before any picture.
    static void FillItemsOnly(int count) {
        while (form->IconFill().Items() < count) Application.DoIdleWork();
        ASSERT_EQ(form->IconFill().Pictures(), 0);
    }
};
}  // namespace

TEST_F(ScanInSteps, AFillBetweenMessagesEndsAsTheWholeFillAtOnce) {
    Pick(kFixtures, "manyicons.dll");
    const ListState stepped = State();
    EXPECT_EQ(stepped.itemImages.size(), 40u);
    EXPECT_FALSE(form->IconFill().Filling());
    EXPECT_EQ(form->ListView1->Cursor(), crDefault);
    ExpectSame(stepped, FilledAtOnce("manyicons.dll"));
}

TEST_F(ScanInSteps, AnotherFileClickedDuringAFillLeavesOnlyItsIcons) {
    List(kFixtures);
    Press("manyicons.dll");
    EXPECT_EQ(FileLine(), WithIcons("manyicons.dll", 40, SizeOf(kFixtures + "\\manyicons.dll")));
    EXPECT_EQ(form->ListView1->Cursor(), crAppStart);
    FillItemsOnly(40);
    Application.DoIdleWork();  // some of the pictures
    Click("threeicons.dll");
    const ListState after = State();
    EXPECT_EQ(after.itemImages, (std::vector<int>{0, 1, 2}));
    ExpectSame(after, FilledAtOnce("threeicons.dll"));
}

TEST_F(ScanInSteps, AnIconClickedBeforeItsPictureIsInShowsAtOnce) {
    List(kFixtures);
    Press("manyicons.dll");
    FillItemsOnly(40);
    ClickIcons(IconCentre(2));  // the blue one: the first is red
    EXPECT_EQ(form->IconFill().Pictures(), 0);
    EXPECT_EQ(Selected(), "所选图标为: 第3个图标");
    const COLORREF early = PreviewPixel(Preview().left + 32, Preview().top + 32);
    FinishFill();
    ClickIcons(IconCentre(0));
    ClickIcons(IconCentre(2));
    EXPECT_EQ(PreviewPixel(Preview().left + 32, Preview().top + 32), early);
    EXPECT_EQ(early, RGB(255, 255, 0)) << "the blue diamond's yellow middle";
}
