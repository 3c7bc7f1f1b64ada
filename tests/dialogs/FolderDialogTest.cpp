#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "dialogs/FolderDialog.h"
#include "framework/Application.h"
#include "tests/support/GuiTest.h"
#include "tests/support/SaveDialogDriver.h"

namespace {
BOOL CALLBACK MatchText(HWND child, LPARAM param) {
    auto* wanted = reinterpret_cast<std::pair<std::string, bool>*>(param);
    if (!IsWindowVisible(child) || WindowText(child) != wanted->first) return TRUE;
    wanted->second = true;
    return FALSE;
}

bool ShowsText(HWND dialog, const std::string& text) {
    std::pair<std::string, bool> wanted{text, false};
    EnumChildWindows(dialog, MatchText, reinterpret_cast<LPARAM>(&wanted));
    return wanted.second;
}
}  // namespace

TEST(FolderDialog, OpensAtItsFolderUnderItsTitleWithANewFolderButtonAndGivesTheChosenFolder) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string start = std::string(base) + "tulvar_folders_" + std::to_string(GetCurrentProcessId());
    const std::string inner = start + "\\图标 输出";
    CreateDirectoryA(start.c_str(), nullptr);
    CreateDirectoryA(inner.c_str(), nullptr);
    TTestForm form;
    form.Show();
    TFolderDialog dialog(&form);
    dialog.SetTitle("选择保存图标的文件夹");
    dialog.SetFolder(start);
    const struct {
        const char* what;
        std::vector<Step> answer;
        bool confirmed;
        std::string folder;
    } cases[] = {
        {"confirmed at once", {Press(IDOK)}, true, start},
        {"another chosen", {SelectFolder(inner), Press(IDOK)}, true, inner},
        {"cancelled", {SelectFolder(start), Press(IDCANCEL)}, false, inner},
    };
    std::string escaped;
    Application.SetExceptionSink([&](const std::string& text) { escaped += text; });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool titled = false, newFolder = false, formDisabled = false;
        std::vector<Step> steps{Check([&](HWND shown) {
            titled = ShowsText(shown, "选择保存图标的文件夹");
            HWND button = GetDlgItem(shown, kNewFolderButton);
            newFolder = button && IsWindowVisible(button) && IsWindowEnabled(button);
            formDisabled = !IsWindowEnabled(form.WindowHandle());
        })};
        steps.insert(steps.end(), c.answer.begin(), c.answer.end());
        const size_t count = steps.size();
        bool confirmed = !c.confirmed;
        EXPECT_EQ(RunDialogSteps([&] { confirmed = dialog.Execute(); }, steps, kFolderTree), count);
        EXPECT_EQ(confirmed, c.confirmed);
        EXPECT_EQ(dialog.Folder(), c.folder);
        EXPECT_TRUE(titled);
        EXPECT_TRUE(newFolder);
        EXPECT_TRUE(formDisabled) << "the picker is modal";
        EXPECT_TRUE(IsWindowEnabled(form.WindowHandle()));
    }
    Application.SetExceptionSink({});
    EXPECT_EQ(escaped, "");
    RemoveDirectoryA(inner.c_str());
    RemoveDirectoryA(start.c_str());
}
