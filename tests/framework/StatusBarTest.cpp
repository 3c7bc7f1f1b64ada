#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "framework/Panel.h"
#include "framework/StatusBar.h"
#include "tests/support/GuiTest.h"

namespace {
struct StatusBarFixture : ::testing::Test {
    TTestForm form{400, 120};
    TPanel* host = nullptr;
    TStatusBar* bar = nullptr;
    void SetUp() override {
        host = new TPanel(&form);
        host->SetParent(&form);
        host->SetBevelOuter(TBevelCut::bvNone);
        host->SetBevelInner(TBevelCut::bvLowered);
        host->SetAlign(TAlign::alClient);
        bar = new TStatusBar(&form);
        bar->SetParent(host);
        bar->SetHeight(19);
        bar->SetPanelWidth(0, 50);
        bar->SetPanelWidth(1, 50);
        form.Show();
    }
    std::vector<int> Parts() {
        int rights[8] = {};
        int n = static_cast<int>(SendMessageA(bar->Handle(), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(rights)));
        return std::vector<int>(rights, rights + n);
    }
    std::string PartText(int i) {
        char text[256] = {};
        SendMessageA(bar->Handle(), SB_GETTEXTA, i, reinterpret_cast<LPARAM>(text));
        return text;
    }
};
}  // namespace

TEST_F(StatusBarFixture, DocksAtTheBottomOfItsParentInsideTheBevel) {
    RECT r;
    GetWindowRect(bar->Handle(), &r);
    MapWindowPoints(nullptr, host->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.right, 399);
    EXPECT_EQ(r.bottom, 119);
    EXPECT_EQ(r.bottom - r.top, 19);
}

TEST_F(StatusBarFixture, TheLastPanelReachesTheRightEndWhateverItsWidth) {
    EXPECT_EQ(Parts(), (std::vector<int>{50, -1}));
    bar->SetPanelWidth(0, 130);
    EXPECT_EQ(Parts(), (std::vector<int>{130, -1}));
    RECT last = bar->PanelRect(1);
    RECT client;
    GetClientRect(bar->Handle(), &client);
    EXPECT_GE(last.left, 130);  // the platform leaves a small gap between parts
    EXPECT_LE(last.left, 134);
    EXPECT_GE(last.right, client.right - 2);
}

TEST_F(StatusBarFixture, PanelTextsAreWhatThePlatformShows) {
    bar->SetPanelText(0, "  文件保存成功!");
    bar->SetPanelText(1, " 当前文件位置: C:\\a.ico");
    EXPECT_EQ(PartText(0), "  文件保存成功!");
    EXPECT_EQ(PartText(1), " 当前文件位置: C:\\a.ico");
    EXPECT_EQ(bar->PanelText(1), " 当前文件位置: C:\\a.ico");
    // Shown again once the program waits: a hold on its drawing must end.
    PumpMessages(20);
    EXPECT_TRUE(IsWindowVisible(bar->WindowHandle()));
}

TEST_F(StatusBarFixture, PanelsSetBeforeTheWindowExistReachIt) {
    TTestForm other(300, 60);
    auto* late = new TStatusBar(&other);
    late->SetPanelWidth(0, 80);
    late->SetPanelText(0, "先");
    late->SetPanelWidth(1, 10);
    late->SetParent(&other);
    other.Show();
    int rights[4] = {};
    ASSERT_EQ(SendMessageA(late->Handle(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(rights)), 2);
    EXPECT_EQ(rights[0], 80);
    EXPECT_EQ(rights[1], -1);
    char text[32] = {};
    SendMessageA(late->Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "先");
}
