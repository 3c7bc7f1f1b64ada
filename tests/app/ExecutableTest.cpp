#include "tests/app/ProgramRun.h"

TEST(Executable, StartsWithItsWindowAndEndsWhenTheWindowCloses) {
    TRunningProgram program("");
    ASSERT_TRUE(program.Started());
    HWND wnd = program.WaitForWindow("TForm1");
    ASSERT_NE(wnd, nullptr) << "no window appeared";
    EXPECT_EQ(WindowText(wnd), "Tulvar      ( 程序制作:  Morven )");
    RECT client;
    GetClientRect(wnd, &client);
    EXPECT_EQ(client.right - client.left, 522);
    EXPECT_EQ(client.bottom - client.top, 350);
    EXPECT_FALSE(GetWindowLongA(wnd, GWL_STYLE) & WS_MAXIMIZEBOX);

    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0) << "the program did not end, or not well";
}
