#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/GuiTest.h"

namespace {
// The program under test, given by ctest as a Unix path.
std::string ProgramPath() {
    const char* unixPath = std::getenv("TULVAR_EXE");
    if (!unixPath || !*unixPath) return {};
    std::string path = unixPath;
    if (path[0] == '/') {
        for (char& c : path)
            if (c == '/') c = '\\';
        path = "Z:" + path;
    }
    return path;
}

}  // namespace

TEST(Executable, StartsWithItsWindowAndEndsWhenTheWindowCloses) {
    std::string program = ProgramPath();
    ASSERT_FALSE(program.empty()) << "TULVAR_EXE is not set";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string command = "\"" + program + "\"";
    ASSERT_TRUE(CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << "cannot start " << program;
    HWND wnd = nullptr;
    for (int i = 0; i < 600 && !wnd; ++i) {
        Sleep(50);
        wnd = FindProcessWindow(pi.dwProcessId, "TForm1");
    }
    ASSERT_NE(wnd, nullptr) << "no window appeared";
    EXPECT_EQ(WindowText(wnd), "Tulvar      ( 程序制作:  Morven )");
    RECT client;
    GetClientRect(wnd, &client);
    EXPECT_EQ(client.right - client.left, 522);
    EXPECT_EQ(client.bottom - client.top, 350);
    EXPECT_FALSE(GetWindowLongA(wnd, GWL_STYLE) & WS_MAXIMIZEBOX);

    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0) << "the program did not end";
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    if (code == STILL_ACTIVE) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}
