#pragma once
// The real window for the window's tests, read from its description, with a
// folder of its own for made-up files, and what a user does to it.
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

inline const std::string kFixtures = TULVAR_FIXTURE_DIR;
constexpr int kAllFiles = 6;  // the filter entry "All files (*.*)"

inline long long SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The real window, read from its description, with a folder of its own for made-up files.
struct WindowFixture : ::testing::Test {
    inline static std::unique_ptr<TForm1> form;
    inline static std::string temp;
    inline static std::vector<std::string> shown;

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
    // Clicks the file and lets the message loop fill the icon list, as the program does.
    static void Click(const std::string& name) {
        Press(name);
        FinishFill();
    }
    // The click alone: the icon list has only begun to fill.
    static void Press(const std::string& name) {
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

    static void FinishFill() {
        while (Application.IdleWorkPending()) {
            Application.ProcessMessages();
            Application.DoIdleWork();
        }
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
