#include <algorithm>
#include <functional>
#include <map>

#include "app/IconExport.h"
#include "tests/app/ProgramRun.h"
#include "tests/app/WindowFixture.h"
#include "tests/support/UnixReaders.h"

TEST(IconExportNames, TheNumberHasThreeDigitsOrAsManyAsTheCount) {
    const struct {
        const char* source;
        int index, count;
        TExportKind kind;
        const char* name;
    } cases[] = {
        {"C:\\windows\\system32\\shell32.dll", 0, 184, TExportKind::ekIco, "shell32_001.ico"},
        {"C:\\windows\\system32\\shell32.dll", 183, 184, TExportKind::ekPng, "shell32_184.png"},
        {"C:\\icons\\one.ico", 0, 1, TExportKind::ekIco, "one_001.ico"},
        {"C:\\icons\\big.icl", 0, 1000, TExportKind::ekIco, "big_0001.ico"},
        {"C:\\icons\\big.icl", 999, 1000, TExportKind::ekPng, "big_1000.png"},
        {"C:\\icons\\huge.dll", 41, 100000, TExportKind::ekIco, "huge_000042.ico"},
        {"C:\\icons\\a.b.dll", 9, 12, TExportKind::ekIco, "a.b_010.ico"},
        {"C:\\my.icons\\plain", 0, 5, TExportKind::ekIco, "plain_001.ico"},
        {"D:\\图标\\红绿蓝.DLL", 1, 3, TExportKind::ekPng, "红绿蓝_002.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExportFileName(c.source, c.index, c.count, c.kind), c.name);
    }
}

namespace {
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// The names of the files in `folder`, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void EmptyFolder(const std::string& folder) {
    for (const std::string& name : FilesIn(folder)) {
        const std::string path = folder + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A folder of its own, with a blank and a Chinese name, for what the export writes.
struct SaveCommand : WindowFixture {
    std::string out;
    void SetUp() override {
        WindowFixture::SetUp();
        out = temp + "\\导出 结果";
        CreateDirectoryA(out.c_str(), nullptr);
        EmptyFolder(out);
    }
    void TearDown() override {
        EmptyFolder(out);
        RemoveDirectoryA(out.c_str());
        WindowFixture::TearDown();
    }
    static long Save(const std::string& arguments) {
        TRunningProgram program(arguments);
        return program.ExitCodeShowingNothing();
    }
};
}  // namespace

TEST_F(SaveCommand, EachOutcomeHasItsExitCodeAndOnlyWholeFilesStay) {
    const std::string dll = kFixtures + "\\threeicons.dll";
    const std::string icons = " " + Quoted(dll) + " " + Quoted(out);
    const std::vector<std::string> three = {"threeicons_001.ico", "threeicons_002.ico", "threeicons_003.ico"};
    const struct {
        const char* what;
        std::string arguments;
        std::function<void()> arrange;
        long code;
        std::vector<std::string> files;  // what the folder holds afterwards
    } cases[] = {
        {"no file or folder", "/save", [] {}, 1, {}},
        {"no folder", "/save " + Quoted(dll), [] {}, 1, {}},
        {"a word too many", "/save" + icons + " /png more", [] {}, 1, {}},
        {"an unknown switch", "/save" + icons + " /jpg", [] {}, 1, {}},
        {"a missing file", "/save " + Quoted(kFixtures + "\\missing.dll") + " " + Quoted(out), [] {}, 2, {}},
        {"a file without icons", "/save " + Quoted(kFixtures + "\\noicons.dll") + " " + Quoted(out), [] {}, 2, {}},
        {"a text file", "/save " + Quoted(kFixtures + "\\text.txt") + " " + Quoted(out), [] {}, 2, {}},
        {"a folder for a file", "/save " + Quoted(kFixtures) + " " + Quoted(out), [] {}, 2, {}},
        {"a missing folder", "/save " + Quoted(dll) + " " + Quoted(out + "\\missing"), [] {}, 3, {}},
        {"a file for a folder", "/save " + Quoted(dll) + " " + Quoted(out + "\\taken.txt"),
         [&] { WriteAll(out + "\\taken.txt", "taken"); }, 3, {"taken.txt"}},
        // Nobody may write here, not even the superuser the tests may run as.
        {"a folder that takes no files", "/save " + Quoted(dll) + " Z:\\proc", [] {}, 3, {}},
        {"a write failing part way", "/save" + icons,
         [&] {
             WriteAll(out + "\\threeicons_002.ico", "old");
             SetFileAttributesA((out + "\\threeicons_002.ico").c_str(), FILE_ATTRIBUTE_READONLY);
         },
         4, {"threeicons_001.ico", "threeicons_002.ico"}},
        {"every icon written", "/save" + icons, [] {}, 0, three},
        {"every icon written over older files", "/SAVE" + icons,
         [&] {
             for (const std::string& name : three) WriteAll(out + "\\" + name, std::string(20000, 'x'));
         },
         0, three},
        {"every icon written as a picture", "/save" + icons + " /PNG", [] {}, 0,
         {"threeicons_001.png", "threeicons_002.png", "threeicons_003.png"}},
    };
    std::map<std::string, std::string> whole;  // each icon file as the full run writes it
    Save("/save" + icons);
    for (const std::string& name : three) whole[name] = FileBytes(out + "\\" + name);
    ASSERT_EQ(whole.size(), 3u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EmptyFolder(out);
        c.arrange();
        EXPECT_EQ(Save(c.arguments), c.code);
        EXPECT_EQ(FilesIn(out), c.files) << "no other file, and no unfinished one";
        if (c.code == 4) {
            EXPECT_EQ(FileBytes(out + "\\threeicons_001.ico"), whole["threeicons_001.ico"]);
            EXPECT_EQ(FileBytes(out + "\\threeicons_002.ico"), "old");
        }
        if (c.code == 0 && c.files == three) {
            for (const std::string& name : three) EXPECT_EQ(FileBytes(out + "\\" + name), whole[name]) << name;
        }
    }
    EXPECT_EQ(GetFileAttributesA((out + "\\missing").c_str()), INVALID_FILE_ATTRIBUTES) << "no folder is made";
}

namespace {
std::string IcoTool(const std::string& file) { return RunUnix("icotool -l '" + UnixPath(file) + "'", file + ".txt"); }
}  // namespace

TEST_F(SaveCommand, EveryIconOfEachKindOfFileIsWrittenAsItsGroupAndAsItsLargestPicture) {
    struct Group {
        const char* ico;    // the .ico the file's group was made from
        const char* frame;  // its largest image there
    };
    const Group red{"art\\red.ico", ""}, green{"art\\green.ico", ""}, blue{"art\\blue.ico", ""},
        multi{"multi.ico", "[2]"};
    const struct {
        const char* file;
        const char* name;
        std::vector<Group> groups;
    } cases[] = {
        {"threeicons.dll", "threeicons", {red, green, blue}},  // PE32
        {"threegroups64.dll", "threegroups64", {red, multi, blue}},  // PE32+
        {"threegroups.icl", "threegroups", {red, multi, blue}},  // NE
        {"multi.ico", "multi", {multi}},
    };
    const std::string scratch = temp + "\\decoded";
    std::map<std::string, std::string> listed, decoded;  // of the sources, read once
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        for (const bool png : {false, true}) {
            EmptyFolder(out);
            ASSERT_EQ(Save("/save " + Quoted(kFixtures + "\\" + c.file) + " " + Quoted(out) + (png ? " /png" : "")), 0);
            std::vector<std::string> expected;
            for (size_t i = 0; i < c.groups.size(); ++i)
                expected.push_back(std::string(c.name) + "_00" + std::to_string(i + 1) + (png ? ".png" : ".ico"));
            ASSERT_EQ(FilesIn(out), expected);
            for (size_t i = 0; i < c.groups.size(); ++i) {
                SCOPED_TRACE(expected[i]);
                const std::string saved = out + "\\" + expected[i];
                const std::string source = kFixtures + "\\" + c.groups[i].ico;
                if (!png) {
                    if (!listed.count(source)) listed[source] = IcoTool(source);
                    ASSERT_NE(listed[source].find("--icon --index=1"), std::string::npos) << listed[source];
                    EXPECT_EQ(IcoTool(saved), listed[source]) << "the same images, sizes and depths";
                    continue;
                }
                const std::string frame = source + c.groups[i].frame;
                if (!decoded.count(frame)) decoded[frame] = DecodedByImageMagick(source, c.groups[i].frame, scratch);
                const std::string pixels = DecodedByImageMagick(saved, "", scratch);
                ASSERT_FALSE(pixels.empty());
                EXPECT_EQ(PixelMismatches(pixels, decoded[frame]), 0);
            }
        }
    }
}

namespace {
// The window's export beside the command line's, of the same file.
struct WindowExport : SaveCommand {
    std::string command;  // where "/save" wrote the file's icons
    void SetUp() override {
        SaveCommand::SetUp();
        command = temp + "\\命令行";
        CreateDirectoryA(command.c_str(), nullptr);
        EmptyFolder(command);
        Pick(kFixtures, "manyicons.dll");
    }
    void TearDown() override {
        form->StopExport();
        EmptyFolder(command);
        RemoveDirectoryA(command.c_str());
        SaveCommand::TearDown();
    }
    void SaveByCommand(bool png) {
        ASSERT_EQ(Save("/save " + Quoted(kFixtures + "\\manyicons.dll") + " " + Quoted(command) + (png ? " /png" : "")), 0);
        ASSERT_EQ(FilesIn(command).size(), 40u);
    }
    static std::string Panel0() {
        char text[256] = {};
        SendMessageA(form->StatusBar1->WindowHandle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }
    // `out` holds the first `count` files the command wrote, each with the
    // same bytes, and besides them only `other`, when named.
    void ExpectFirstOfCommand(size_t count, const std::string& other = "") {
        std::vector<std::string> first = FilesIn(command);
        first.resize(count);
        std::vector<std::string> written = FilesIn(out);
        if (!other.empty()) {
            ASSERT_EQ(std::count(written.begin(), written.end(), other), 1);
            written.erase(std::find(written.begin(), written.end(), other));
        }
        EXPECT_EQ(written, first);
        for (const std::string& name : written)
            EXPECT_EQ(FileBytes(out + "\\" + name), FileBytes(command + "\\" + name)) << name;
    }
};
}  // namespace

TEST_F(WindowExport, TheWindowWritesWhatTheCommandLineWritesAFewFilesAtATime) {
    for (const bool png : {false, true}) {
        SCOPED_TRACE(png ? "PNG" : "ICO");
        EmptyFolder(command);
        EmptyFolder(out);
        SaveByCommand(png);
        form->ExportAllIcons(png ? TExportKind::ekPng : TExportKind::ekIco, out);
        std::vector<std::string> progress{Panel0()};
        // Another file scanned meanwhile changes nothing of the export.
        Application.DoIdleWork();
        progress.push_back(Panel0());
        Press("oneicon.dll");
        while (form->Exporting()) {
            Application.DoIdleWork();
            progress.push_back(Panel0());
        }
        ASSERT_GE(progress.size(), 4u) << "a few files a step";
        EXPECT_EQ(progress.front(), "  已保存 0/40");
        EXPECT_EQ(progress.back(), "  已保存 40 个图标");
        const std::string counted = "  已保存 ";
        int last = 0;
        for (size_t i = 1; i + 1 < progress.size(); ++i) {
            SCOPED_TRACE(progress[i]);
            ASSERT_EQ(progress[i].substr(0, counted.size()), counted);
            const int written = std::atoi(progress[i].c_str() + counted.size());
            EXPECT_EQ(progress[i], counted + std::to_string(written) + "/40");
            EXPECT_GT(written, last);
            last = written;
        }
        ExpectFirstOfCommand(40);
        Pick(kFixtures, "manyicons.dll");
    }
}

TEST_F(WindowExport, EscStopsTheExportHalfWayLeavingOnlyWholeFiles) {
    SaveByCommand(true);
    form->ExportAllIcons(TExportKind::ekPng, out);
    Application.DoIdleWork();
    const size_t written = FilesIn(out).size();
    ASSERT_GT(written, 0u);
    ASSERT_LT(written, 40u);
    // The key goes to the icon list, as it has the focus after a click.
    PostMessageA(form->ListView1->WindowHandle(), WM_KEYDOWN, VK_ESCAPE, 0);
    Application.ProcessMessages();
    EXPECT_FALSE(form->Exporting());
    EXPECT_EQ(Panel0(), "  已停止, 已保存 " + std::to_string(written) + "/40");
    FinishFill();
    ExpectFirstOfCommand(written);
}

TEST_F(WindowExport, TheFirstFailureEndsTheExportWithItsMessageAndTheFilesBeforeItStay) {
    SaveByCommand(false);
    const std::string taken = out + "\\manyicons_005.ico";
    WriteAll(taken, "old");
    SetFileAttributesA(taken.c_str(), FILE_ATTRIBUTE_READONLY);
    form->ExportAllIcons(TExportKind::ekIco, out);
    FinishFill();
    EXPECT_FALSE(form->Exporting());
    EXPECT_EQ(shown, std::vector<std::string>{"不能创建文件 " + taken + "."});
    shown.clear();
    EXPECT_EQ(Panel0(), "  已保存 4/40");
    EXPECT_EQ(FileBytes(taken), "old");
    ExpectFirstOfCommand(4, "manyicons_005.ico");
}
