#include "tests/app/WindowFixture.h"

namespace {
struct IconSelection : WindowFixture {};

// Counts the scans the file list's changes run.
struct WindowBrowsing : WindowFixture {
    int scans = 0;
    TNotifyEvent scan;
    void SetUp() override {
        WindowFixture::SetUp();
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
        WindowFixture::TearDown();
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
