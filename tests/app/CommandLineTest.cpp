#include <shlobj.h>

#include <cstring>

#include "app/CommandLine.h"
#include "base/Exceptions.h"
#include "tests/app/ProgramRun.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/ErrorText.h"

TEST(CommandLine, QuotesGroupWordsAndTheFirstWordNamesTheProgram) {
    const struct {
        const char* line;
        TCommandKind kind;
        const char* path;
        const char* file;
        const char* folder;
        bool png;
    } cases[] = {
        {"Tulvar.exe", TCommandKind::ckOpen, "", "", "", false},
        {"\"C:\\Program Files\\Tulvar.exe\"  ", TCommandKind::ckOpen, "", "", "", false},
        {"Tulvar.exe C:\\a.dll", TCommandKind::ckOpen, "C:\\a.dll", "", "", false},
        {"\"C:\\Program Files\\Tulvar.exe\" \"D:\\图标 集\\红绿蓝.dll\"", TCommandKind::ckOpen, "D:\\图标 集\\红绿蓝.dll", "", "", false},
        // A trailing backslash does not swallow the closing quote.
        {"Tulvar.exe \"D:\\图标 集\\\"", TCommandKind::ckOpen, "D:\\图标 集\\", "", "", false},
        {"Tulvar.exe D:\\My Icons\\a.dll", TCommandKind::ckOpen, "D:\\My Icons\\a.dll", "", "", false},
        {"Tulvar.exe /save a.dll \"D:\\输出 夹\"", TCommandKind::ckSave, "", "a.dll", "D:\\输出 夹", false},
        {"Tulvar.exe /SAVE \"a b.dll\" out /PNG", TCommandKind::ckSave, "", "a b.dll", "out", true},
        {"Tulvar.exe /save", TCommandKind::ckWrong, "", "", "", false},
        {"Tulvar.exe /save a.dll", TCommandKind::ckWrong, "", "", "", false},
        {"Tulvar.exe /save a.dll out extra", TCommandKind::ckWrong, "", "", "", false},
        {"Tulvar.exe /save a.dll out /png extra", TCommandKind::ckWrong, "", "", "", false},
        {"Tulvar.exe /save /png a.dll out", TCommandKind::ckWrong, "", "", "", false},
        {"Tulvar.exe /save \"\" out", TCommandKind::ckWrong, "", "", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const TCommand command = ParseCommandLine(c.line);
        EXPECT_EQ(command.kind, c.kind);
        EXPECT_EQ(command.path, c.path);
        EXPECT_EQ(command.file, c.file);
        EXPECT_EQ(command.folder, c.folder);
        EXPECT_EQ(command.png, c.png);
    }
}

// The libraries of the dialogs, the folder picker, drops and network drive
// names come at their first use: a start-up loads what a bare window loads.
TEST(StartUp, TheWindowShowsWithoutTheLibrariesOnlySomeCommandsNeed) {
    TRunningProgram program("");
    HWND wnd = program.WaitForWindow("TForm1");
    ASSERT_NE(wnd, nullptr) << "no window";
    const std::vector<std::string> loaded = program.Modules();
    const auto has = [&](const char* name) { return std::count(loaded.begin(), loaded.end(), name) > 0; };
    EXPECT_TRUE(has("comctl32.dll")) << "the list of libraries could not be read";
    for (const char* late : {"shell32.dll", "comdlg32.dll", "mpr.dll"}) EXPECT_FALSE(has(late)) << late;
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

namespace {
std::string PlatformMessage(DWORD code) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

std::string WithIcons(const std::string& name, int count, long long size) {
    return " 文件名: " + name + "  [图标数: " + std::to_string(count) + " 个]   文件大小: " + std::to_string(size) +
           " 字节";
}

// What the platform hands a window when files are dropped on it.
HGLOBAL DropOf(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) list += path + '\0';
    list += '\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(memory);
    return memory;
}

// A folder with a blank and a Chinese name, holding threeicons.dll twice: under
// a Chinese name, and under one the icon filter hides.
struct OpenFromOutside : WindowFixture {
    std::string folder;
    void SetUp() override {
        WindowFixture::SetUp();
        folder = temp + "\\图标 集";
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* name : {"红绿蓝.dll", "隐藏.dat"})
            ASSERT_TRUE(CopyFileA((kFixtures + "\\threeicons.dll").c_str(), (folder + "\\" + name).c_str(), FALSE));
    }
    void TearDown() override {
        form->DirectoryListBox1->SetDirPath(kFixtures);
        form->FilterComboBox1->SetItemIndex(0);
        form->FilterComboBox1Change(form->FilterComboBox1);
        for (const char* name : {"红绿蓝.dll", "隐藏.dat"}) DeleteFileA((folder + "\\" + name).c_str());
        RemoveDirectoryA(folder.c_str());
        WindowFixture::TearDown();
    }
    // The window browsed to `dir` under the icon filter, as a user leaves it.
    static void StartIn(const std::string& dir) {
        form->FilterComboBox1->SetItemIndex(0);
        form->FilterComboBox1Change(form->FilterComboBox1);
        form->DirectoryListBox1->SetDirPath(dir);
        form->DriveComboBox1->SetDriveLetter(dir[0]);
    }
};
}  // namespace

TEST_F(OpenFromOutside, AFileIsSelectedAndScannedInItsFolderAndAFolderIsListed) {
    const struct {
        const char* what;
        std::string start, path, dir, name;
        int filter;
    } cases[] = {
        {"a file on another drive", "C:\\", kFixtures + "\\threeicons.dll", kFixtures, "threeicons.dll", 0},
        {"a folder", temp, kFixtures, kFixtures, "", 0},
        {"a relative path", kFixtures + "\\art", "..\\threeicons.dll", kFixtures, "threeicons.dll", 0},
        {"a Chinese name", kFixtures, folder + "\\红绿蓝.dll", folder, "红绿蓝.dll", 0},
        {"a file the filter hides", kFixtures, folder + "\\隐藏.dat", folder, "隐藏.dat", kAllFiles},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartIn(c.start);
        ASSERT_NE(form->FileListBox1->DirPath(), c.dir);
        form->OpenPath(c.path);
        FinishFill();
        EXPECT_EQ(form->DirectoryListBox1->DirPath(), c.dir);
        EXPECT_EQ(form->FileListBox1->DirPath(), c.dir);
        EXPECT_EQ(form->DriveComboBox1->DriveLetter(), c.dir[0] | 0x20);
        EXPECT_EQ(form->FilterComboBox1->ItemIndex(), c.filter);
        EXPECT_EQ(form->FileListBox1->SelectedName(), c.name);
        if (c.name.empty()) {
            EXPECT_EQ(Location(), " 当前文件位置: ");
            EXPECT_EQ(ListedIcons(), 0);
        } else {
            const std::string path = c.dir + "\\" + c.name;
            EXPECT_EQ(Location(), " 当前文件位置: " + path);
            EXPECT_EQ(FileLine(), WithIcons(c.name, 3, SizeOf(path)));
            EXPECT_EQ(ListedIcons(), 3);
        }
    }
}

TEST_F(OpenFromOutside, APathThatDoesNotExistRaisesThePlatformsMessageAndMovesNothing) {
    const struct {
        std::string path;
        DWORD error;
    } cases[] = {{folder + "\\无此文件.dll", ERROR_FILE_NOT_FOUND},
                 {temp + "\\无此文件夹\\红绿蓝.dll", ERROR_PATH_NOT_FOUND}};
    Pick(kFixtures, "threeicons.dll");
    const std::string line = FileLine(), location = Location();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ErrorText<Exception>([&] { form->OpenPath(c.path); }), PlatformMessage(c.error));
        EXPECT_EQ(form->FileListBox1->DirPath(), kFixtures);
        EXPECT_EQ(form->FileListBox1->SelectedName(), "threeicons.dll");
        EXPECT_EQ(FileLine(), line);
        EXPECT_EQ(Location(), location);
    }
}

TEST_F(OpenFromOutside, TheProgramOpensAQuotedChinesePathFromItsCommandLine) {
    const std::string path = folder + "\\红绿蓝.dll";
    TRunningProgram program("\"" + path + "\"");
    HWND wnd = program.WaitForWindow("TForm1");
    ASSERT_NE(wnd, nullptr) << "no window appeared";
    const std::string expected = WithIcons("红绿蓝.dll", 3, SizeOf(path));
    EXPECT_TRUE(PumpUntil([&] { return ChildTextStartingWith(wnd, " 文件名: ") == expected; }, 30000))
        << ChildTextStartingWith(wnd, " 文件名: ");
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST_F(OpenFromOutside, AMissingPathOnTheCommandLineIsReportedInTheBoxAndTheWindowStartsAsUsual) {
    TRunningProgram program("\"" + folder + "\\无此文件.dll\"");
    HWND box = program.WaitForWindow("#32770");
    ASSERT_NE(box, nullptr) << "no box appeared";
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_EQ(std::string(text), ExceptionBoxText(PlatformMessage(ERROR_FILE_NOT_FOUND)));
    HWND wnd = program.WaitForWindow("TForm1");
    ASSERT_NE(wnd, nullptr) << "no window";
    EXPECT_EQ(ChildTextStartingWith(wnd, " 文件名: "), "");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0);
}

TEST_F(OpenFromOutside, ADroppedFileOrFolderIsShownAsFromTheCommandLineAndOfSeveralTheFirst) {
    HWND wnd = form->WindowHandle();
    EXPECT_TRUE(GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    const struct {
        std::vector<std::string> dropped;
        std::string start, dir, name;
        int filter;
        std::string box;
    } cases[] = {
        {{folder + "\\隐藏.dat", kFixtures + "\\multi.ico"}, kFixtures, folder, "隐藏.dat", kAllFiles, ""},
        {{kFixtures, folder + "\\红绿蓝.dll"}, temp, kFixtures, "", 0, ""},
        // Nothing moves; the box says why.
        {{folder + "\\无此文件.dll"}, kFixtures, kFixtures, "", 0,
         ExceptionBoxText(PlatformMessage(ERROR_FILE_NOT_FOUND))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dropped.front());
        StartIn(c.start);
        SendMessageA(wnd, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(c.dropped)), 0);
        FinishFill();
        EXPECT_EQ(form->FileListBox1->DirPath(), c.dir);
        EXPECT_EQ(form->FilterComboBox1->ItemIndex(), c.filter);
        EXPECT_EQ(form->FileListBox1->SelectedName(), c.name);
        if (!c.name.empty()) {
            EXPECT_EQ(FileLine(), WithIcons(c.name, 3, SizeOf(c.dir + "\\" + c.name)));
        }
        EXPECT_EQ(shown, c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.box});
        shown.clear();
    }
}
