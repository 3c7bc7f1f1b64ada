#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/Application.h"
#include "base/Exceptions.h"
#include "framework/Panel.h"
#include "tests/support/GuiTest.h"

TEST(ExceptionBoxText, AppendsAPeriodAfterACharacterThatSortsAfterIt) {
    EXPECT_EQ(ExceptionBoxText("写流出错"), "写流出错.");
    EXPECT_EQ(ExceptionBoxText("JPEG error #42"), "JPEG error #42.");
    EXPECT_EQ(ExceptionBoxText("path/"), "path/.");  // '/' sorts right after '.'
}

TEST(ExceptionBoxText, KeepsTextThatEndsAtOrBeforeAPeriod) {
    EXPECT_EQ(ExceptionBoxText(""), "");
    EXPECT_EQ(ExceptionBoxText("done."), "done.");
    EXPECT_EQ(ExceptionBoxText("wow!"), "wow!");
    EXPECT_EQ(ExceptionBoxText("(无)"), "(无)");  // ')' sorts before '.'
    EXPECT_EQ(ExceptionBoxText("a-"), "a-");
}

TEST(ApplicationTitle, IsTheFileNameUpToItsFirstPeriodWithTheRestLowerCased) {
    EXPECT_EQ(TitleFromExeName("C:\\Program Files\\Tulvar\\Tulvar.exe"), "Tulvar");
    EXPECT_EQ(TitleFromExeName("C:\\x\\TULVAR.EXE"), "Tulvar");
    EXPECT_EQ(TitleFromExeName("Z:\\a.b\\my.tool.exe"), "my");
    EXPECT_EQ(TitleFromExeName("icons"), "icons");
    // A two-byte character first keeps both bytes; the ASCII after it folds.
    EXPECT_EQ(TitleFromExeName("C:\\图标ABC.exe"), "图标abc");
}

TEST(ApplicationTitle, ComesFromTheRunningExecutable) {
    EXPECT_EQ(Application.Title(), "framework_tests");
}

namespace {
struct BoxSeen {
    std::string caption, text;
    bool errorIcon = false;
    int buttons = 0;
};

// Finds the message box of this process, reads it the way a screen reader
// would, and presses OK.
BoxSeen WatchForBox() {
    BoxSeen seen;
    for (int tries = 0; tries < 500; ++tries) {
        Sleep(20);
        HWND box = FindProcessWindow(GetCurrentProcessId(), "#32770");
        if (!box) continue;
        seen.caption = WindowText(box);
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char cls[32] = {};
            GetClassNameA(child, cls, sizeof cls);
            LONG style = GetWindowLongA(child, GWL_STYLE);
            if (_stricmp(cls, "Button") == 0) ++seen.buttons;
            if (_stricmp(cls, "Static") == 0) {
                if ((style & SS_TYPEMASK) == SS_ICON)
                    seen.errorIcon = SendMessageA(child, STM_GETICON, 0, 0) ==
                                     reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_ERROR));
                else if (!WindowText(child).empty())
                    seen.text = WindowText(child);
            }
        }
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        break;
    }
    return seen;
}
}  // namespace

TEST(ExceptionBox, ShowsTheMessageWithAPeriodUnderTheTitleWithOkAndTheErrorIcon) {
    BoxSeen seen;
    WhileWatching([] { Application.ShowException("不能打开文件 C:\\missing.ico"); },
                  [&seen] {
                      seen = WatchForBox();
                      return std::string();
                  });
    EXPECT_EQ(seen.caption, "framework_tests");
    EXPECT_EQ(seen.text, "不能打开文件 C:\\missing.ico.");
    EXPECT_TRUE(seen.errorIcon);
    EXPECT_EQ(seen.buttons, 1);
}

TEST(ExceptionBox, AnExceptionLeavingAHandlerIsShownAndTheProgramCarriesOn) {
    std::vector<std::string> shown;
    Application.SetExceptionSink([&](const std::string& text) { shown.push_back(text); });
    TTestForm form(200, 100);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 200, 100);
    panel->ControlStyle |= csClickEvents;
    int clicks = 0;
    panel->OnClick = [&](TObject*) {
        ++clicks;
        panel->SetCaption("changed before the failure");
        throw EWriteError("写流出错");
    };
    form.Show();
    ClickAt(panel->Handle(), 10, 10);
    ClickAt(panel->Handle(), 20, 20);
    Application.SetExceptionSink({});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "写流出错.");
    EXPECT_EQ(clicks, 2);
    // What the handler changed before failing stays changed.
    EXPECT_EQ(WindowText(panel->WindowHandle()), "changed before the failure");
}

TEST(ExceptionBox, WhenTheBoxCannotBeBuiltThePlainMessageStillShowsAndNothingEscapes) {
    // A sink that fails stands for any failure while the box text is built.
    Application.SetExceptionSink([](const std::string&) { throw std::bad_alloc(); });
    TTestForm form(200, 100);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 200, 100);
    panel->ControlStyle |= csClickEvents;
    panel->OnClick = [](TObject*) { throw EWriteError("写流出错"); };
    form.Show();
    BoxSeen seen;
    WhileWatching([&] { ClickAt(panel->Handle(), 10, 10); },
                  [&seen] {
                      seen = WatchForBox();
                      return std::string();
                  });
    Application.SetExceptionSink({});
    EXPECT_EQ(seen.caption, "framework_tests");
    EXPECT_EQ(seen.text, "写流出错");
    EXPECT_TRUE(seen.errorIcon);
}

namespace {
// A control that records the keys pressed in it.
class TKeyTarget : public TCustomControl {
public:
    explicit TKeyTarget(TComponent* owner) : TCustomControl(owner) {}
    std::vector<WPARAM> keys;
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_KEYDOWN) keys.push_back(message.WParam);
        TCustomControl::WndProc(message);
    }
};
}  // namespace

TEST(KeyPreview, AFormThatPreviewsKeysSeesThemFirstAndKeepsThoseItClears) {
    for (const bool preview : {false, true}) {
        SCOPED_TRACE(preview ? "previewed" : "not previewed");
        TTestForm form(200, 100);
        auto* target = new TKeyTarget(&form);
        target->SetParent(&form);
        target->SetBounds(0, 0, 200, 100);
        form.SetKeyPreview(preview);
        std::vector<WPARAM> previewed;
        form.OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
            previewed.push_back(key);
            if (key == 'B') key = 0;
        };
        form.Show();
        for (WPARAM key : {'A', 'B', 'C'}) PostMessageA(target->Handle(), WM_KEYDOWN, key, 0);
        Application.ProcessMessages();
        const std::vector<WPARAM> all{'A', 'B', 'C'}, kept{'A', 'C'};
        EXPECT_EQ(previewed, preview ? all : std::vector<WPARAM>());
        EXPECT_EQ(target->keys, preview ? kept : all);
    }
}
