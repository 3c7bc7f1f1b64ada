#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

#include "filectrl/PathHelpers.h"
#include "fixtures.h"
#include "graphics/Bitmap.h"
#include "graphics/Font.h"

namespace {
const std::string kTop = "C:\\tulvar_tests";
const std::string kRoot = kTop + "\\paths";
const std::string kWork = kRoot + "\\Work";
const std::string kWorkFolder = kWork.substr(2);  // without "C:"
const std::string kRootFile = "C:\\tulvar_tests_root.exe";
// One GBK character whose second byte is a backslash.
const std::string kTrail5C = "\x95\x5C";

void MakeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    CloseHandle(file);
}

// C:\tulvar_tests\paths\Work holding Sub and a.exe, current during each test.
struct TypedPaths : ::testing::Test {
    static void SetUpTestSuite() {
        for (const std::string& dir : {kTop, kRoot, kWork, kWork + "\\Sub"}) CreateDirectoryA(dir.c_str(), nullptr);
        MakeFile(kWork + "\\a.exe");
        MakeFile(kRootFile);
    }
    static void TearDownTestSuite() {
        DeleteFileA((kWork + "\\a.exe").c_str());
        DeleteFileA(kRootFile.c_str());
        for (const std::string& dir : {kWork + "\\Sub", kWork, kRoot, kTop}) RemoveDirectoryA(dir.c_str());
    }
    void SetUp() override {
        saved_ = CurrentDirectory();
        ASSERT_TRUE(SetCurrentDirectoryA(kWork.c_str()));
    }
    void TearDown() override { SetCurrentDirectoryA(saved_.c_str()); }

    struct Split {
        char drive;
        std::string folder, tail;
    };
    static Split SplitOf(const std::string& text) {
        Split s{'?', "?", "?"};
        SplitTypedPath(text, s.drive, s.folder, s.tail);
        return s;
    }

private:
    std::string saved_;
};

struct SplitRow {
    std::string text;
    char drive;
    std::string folder, tail;
};

void ExpectSplits(const std::vector<SplitRow>& rows) {
    for (const SplitRow& row : rows) {
        SCOPED_TRACE(row.text);
        TypedPaths::Split s = TypedPaths::SplitOf(row.text);
        EXPECT_EQ(s.drive, row.drive);
        EXPECT_EQ(s.folder, row.folder);
        EXPECT_EQ(s.tail, row.tail);
        EXPECT_EQ(CurrentDirectory(), kWork) << "the call must leave the current directory alone";
    }
}
}  // namespace

TEST_F(TypedPaths, EachTypedFormSplitsIntoDriveFolderAndLastPart) {
    ExpectSplits({
        {kWork + "\\Sub", 'C', kWorkFolder + "\\Sub", ""},
        {kWork + "\\*.exe", 'C', kWorkFolder, "*.exe"},
        {kWork + "\\a.exe", 'C', kWorkFolder, "a.exe"},
        {"[Sub]", 'C', kWorkFolder + "\\Sub", ""},
        {"a.exe", 'C', kWorkFolder, "a.exe"},
        {"Sub", 'C', kWorkFolder + "\\Sub", ""},
        {"C:\\", 'C', "\\", ""},
        {"\\", 'C', "\\", ""},
    });
}

TEST_F(TypedPaths, ALastNameThatIsNeitherFileNorFolderIsTakenForAFolder) {
    ExpectSplits({
        {kWork + "\\Nothing", 'C', kWorkFolder + "\\Nothing", ""},
        {kWork + "\\Nothing\\Deeper", 'C', kWorkFolder + "\\Nothing\\Deeper", ""},
        {"[Nothing]", 'C', kWorkFolder + "\\Nothing", ""},
    });
}

TEST_F(TypedPaths, ANameTypedDirectlyUnderTheDriveRootIsLookedUpThere) {
    // Work holds an a.exe, the root none: the root's own contents must decide.
    ASSERT_EQ(GetFileAttributesA("C:\\a.exe"), INVALID_FILE_ATTRIBUTES);
    const std::string top = kTop.substr(2), rootFile = kRootFile.substr(3);
    ExpectSplits({
        {kTop, 'C', top, ""},
        {kTop + "\\", 'C', top, ""},
        {top, 'C', top, ""},
        {kRootFile, 'C', "\\", rootFile},
        {"C:\\*.exe", 'C', "\\", "*.exe"},
        {"C:\\nosuchfile.exe", 'C', "\\nosuchfile.exe", ""},
        {"C:\\nosuch", 'C', "\\nosuch", ""},
        {"C:\\nosuch\\", 'C', "\\nosuch", ""},
        {"C:\\a.exe", 'C', "\\a.exe", ""},
    });
}

// Wine finds drive letters only through the prefix's dosdevices links, so a
// DefineDosDevice drive cannot be opened there; Z: (the Unix root) is the
// second drive instead, and "=Z:" is where the platform keeps its remembered
// directory.
TEST_F(TypedPaths, ADriveLetterAloneMeansThatDrivesRememberedDirectory) {
    const std::string fixtures = TULVAR_FIXTURE_DIR;
    if (GetDriveTypeA("Z:\\") == DRIVE_NO_ROOT_DIR || (fixtures[0] | 32) != 'z')
        GTEST_SKIP() << "needs Wine's Z: drive";
    char old[MAX_PATH] = {};
    bool hadOld = GetEnvironmentVariableA("=Z:", old, sizeof old) > 0;
    ASSERT_TRUE(SetEnvironmentVariableA("=Z:", fixtures.c_str()));
    ExpectSplits({
        {"z:", 'z', fixtures.substr(2), ""},
        {"Z:\\", 'Z', "\\", ""},
        {"Z:" + fixtures.substr(2) + "\\single.ico", 'Z', fixtures.substr(2), "single.ico"},
    });
    SetEnvironmentVariableA("=Z:", hadOld ? old : nullptr);
}

TEST(JoinPath, AddsABackslashOnlyWhenTheDirectoryDoesNotEndInOne) {
    EXPECT_EQ(JoinPath("C:\\", "x"), "C:\\x");
    EXPECT_EQ(JoinPath("C:\\Work", "a.exe"), "C:\\Work\\a.exe");
    EXPECT_EQ(JoinPath("C:\\Work\\", "a.exe"), "C:\\Work\\a.exe");
    // The 0x5C there belongs to a character, so it is no separator.
    EXPECT_EQ(JoinPath("C:\\" + kTrail5C, "a.exe"), "C:\\" + kTrail5C + "\\a.exe");
}

TEST(PathDepth, CountsBackslashesButNotTrailBytes) {
    EXPECT_EQ(PathDepth("C:\\"), 1);
    EXPECT_EQ(PathDepth("C:\\Work"), 1);
    EXPECT_EQ(PathDepth("C:\\Work\\Sub"), 2);
    EXPECT_EQ(PathDepth("\\\\srv\\share\\a"), 4);
    EXPECT_EQ(PathDepth("C:\\" + kTrail5C), 1);
    EXPECT_EQ(PathDepth("C:\\" + kTrail5C + "\\" + kTrail5C), 2);
}

TEST(PathParts, SplitAtRealSeparatorsOnly) {
    const std::string folder = "C:\\" + kTrail5C + "\\";
    const std::string path = folder + kTrail5C + ".ico";
    EXPECT_EQ(DrivePart(path), "C:");
    EXPECT_EQ(DirectoryPart(path), folder);
    EXPECT_EQ(NamePart(path), kTrail5C + ".ico");
    EXPECT_EQ(ExtensionPart(path), ".ico");
    EXPECT_EQ(NamePart("C:\\Work\\" + kTrail5C), kTrail5C);
    EXPECT_EQ(DirectoryPart("C:\\" + kTrail5C), "C:\\");
}

TEST(PathParts, DrivesFoldersAndExtensionsOfOrdinaryPaths) {
    EXPECT_EQ(DrivePart("\\\\srv\\share\\dir\\a.exe"), "\\\\srv\\share");
    EXPECT_EQ(DrivePart("Work\\a.exe"), "");
    EXPECT_EQ(DirectoryPart("C:a.exe"), "C:");
    EXPECT_EQ(NamePart("C:a.exe"), "a.exe");
    EXPECT_EQ(NamePart("a.exe"), "a.exe");
    EXPECT_EQ(ExtensionPart("C:\\v1.2\\readme"), "");
    EXPECT_EQ(ExtensionPart("C:\\a.tar.gz"), ".gz");
}

TEST(SameFileName, FoldsAsciiLettersOnly) {
    EXPECT_TRUE(SameFileName("ABC.EXE", "abc.exe"));
    EXPECT_TRUE(SameFileName("C:\\Work\\" + kTrail5C + "A", "c:\\WORK\\" + kTrail5C + "a"));
    EXPECT_FALSE(SameFileName("abc.exe", "abd.exe"));
    // Trail bytes in A..Z are part of a character, not letters.
    EXPECT_FALSE(SameFileName("\x81\x41", "\x81\x61"));
    EXPECT_FALSE(SameFileName("x\x81\x41.ico", "X\x81\x61.ICO"));
}

TEST(DropFirstDirectory, EachStepReplacesOneMoreFolderByTheMarker) {
    std::string folder = "\\Work\\Sub\\Deep\\";
    const char* steps[] = {"\\...\\Sub\\Deep\\", "\\...\\Deep\\", "\\...\\", "\\", ""};
    for (const char* step : steps) {
        DropFirstDirectory(folder);
        EXPECT_EQ(folder, step);
    }
    folder = "\\" + kTrail5C + "\\Sub\\";
    DropFirstDirectory(folder);
    EXPECT_EQ(folder, "\\...\\Sub\\");
}

TEST(DropFirstDirectory, AFolderNameStartingWithADotIsNotTakenForTheMarker) {
    for (const char* first : {".a", ".m2", ".config"}) {
        SCOPED_TRACE(first);
        std::string folder = std::string("\\") + first + "\\Sub\\Deep\\";
        DropFirstDirectory(folder);
        EXPECT_EQ(folder, "\\...\\Sub\\Deep\\");
    }
}

namespace {
struct FitPath : ::testing::Test {
    FitPath() {
        bitmap.SetWidth(8);
        bitmap.SetHeight(8);
    }
    int Width(const std::string& text) { return bitmap.Surface().TextWidth(text); }
    std::string Fit(const std::string& path, int width) { return FitPathToWidth(path, bitmap.Surface(), width); }
    TBitmap bitmap;
};
}  // namespace

TEST_F(FitPath, ShrinksStepByStepUntilTheTextFits) {
    const std::string path = "C:\\Program Files\\Tools\\abc.exe";
    const std::vector<std::string> steps{path, "C:\\...\\Tools\\abc.exe", "C:\\...\\abc.exe", "...\\abc.exe",
                                         "abc.exe"};
    for (const std::string& step : steps) EXPECT_EQ(Fit(path, Width(step)), step);
    EXPECT_EQ(Fit(path, Width(steps[1]) - 1), steps[2]);
}

TEST_F(FitPath, APathThatFitsIsUnchangedAndTooLittleRoomLeavesTheName) {
    const std::string path = "C:\\Program Files\\Tools\\abc.exe";
    EXPECT_EQ(Fit(path, Width(path) + 50), path);
    EXPECT_EQ(Fit(path, Width("abc.exe") - 1), "abc.exe");
    EXPECT_EQ(Fit(path, 0), "abc.exe");
}

TEST_F(FitPath, OnlyTheFirstFolderGoesInTheFirstStep) {
    for (const std::string& first : {kTrail5C, std::string(".m2")}) {
        const std::string path = "C:\\" + first + "\\Tools\\abc.exe";
        ASSERT_GT(Width(path), Width("C:\\...\\Tools\\abc.exe"));
        EXPECT_EQ(Fit(path, Width("C:\\...\\Tools\\abc.exe")), "C:\\...\\Tools\\abc.exe") << path;
    }
}

namespace {
std::string LabelOfC() {
    char label[MAX_PATH + 1] = {};
    GetVolumeInformationA("C:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0);
    return label;
}

UINT CurrentErrorMode() {
    UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

char MissingDriveLetter() {
    DWORD drives = GetLogicalDrives();
    for (char letter = 'Y'; letter > 'C'; --letter)
        if (!(drives & (1u << (letter - 'A')))) return letter;
    return 0;
}
}  // namespace

TEST(VolumeLabelText, TheLabelIsBracketedInTheCaseOfTheDriveLetter) {
    std::string lower = LabelOfC(), upper = lower;  // Wine's C: has an empty one
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(VolumeLabelText('c'), "[" + lower + "]");
    EXPECT_EQ(VolumeLabelText('C'), "[" + upper + "]");
}

TEST(VolumeLabelText, AMixedCaseLabelTakesTheCaseOfTheDriveLetter) {
    // The test script maps Y: to a folder labelled "System".
    if (GetDriveTypeA("Y:\\") <= DRIVE_NO_ROOT_DIR) GTEST_SKIP() << "drive Y: is not mapped (run through ctest)";
    EXPECT_EQ(VolumeLabelText('y'), "[system]");
    EXPECT_EQ(VolumeLabelText('Y'), "[SYSTEM]");
    EXPECT_EQ(NetworkDriveText('y'), "[system]");  // not a network drive: its label instead
}

TEST(VolumeLabelText, ADriveWithoutAVolumeGivesEmptyBrackets) {
    char missing = MissingDriveLetter();
    ASSERT_NE(missing, 0);
    EXPECT_EQ(VolumeLabelText(missing), "[]");
    EXPECT_EQ(VolumeLabelText(static_cast<char>(missing | 32)), "[]");
}

TEST(VolumeLabelText, TheCriticalErrorModeIsTheSameAfterwards) {
    const UINT original = CurrentErrorMode();
    SetErrorMode(SEM_NOOPENFILEERRORBOX);
    const UINT before = CurrentErrorMode();  // some bits cannot be cleared
    ASSERT_FALSE(before & SEM_FAILCRITICALERRORS);
    VolumeLabelText('C');
    EXPECT_EQ(CurrentErrorMode(), before);
    VolumeLabelText(MissingDriveLetter());
    EXPECT_EQ(CurrentErrorMode(), before);
    NetworkDriveText('C');
    EXPECT_EQ(CurrentErrorMode(), before);
    SetErrorMode(original);
}

TEST(NetworkDriveText, ALocalDriveShowsItsVolumeLabelText) {
    EXPECT_EQ(NetworkDriveText('c'), VolumeLabelText('c'));
    EXPECT_EQ(NetworkDriveText('C'), VolumeLabelText('C'));
    EXPECT_EQ(NetworkDriveText('C').front(), '[');
}

namespace {
int MetricsHeight(int height, int charset, const char* face) {
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, static_cast<DWORD>(charset), OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return metrics.tmHeight;
}
}  // namespace

TEST(FontLineHeight, IsTheFontsCellHeight) {
    TFont standard;
    EXPECT_EQ(FontLineHeight(standard), MetricsHeight(-11, DEFAULT_CHARSET, "MS Sans Serif"));
    TFont song;
    song.SetName("宋体");
    song.SetCharset(GB2312_CHARSET);
    song.SetHeight(-12);
    const int small = FontLineHeight(song);
    EXPECT_EQ(small, MetricsHeight(-12, GB2312_CHARSET, "宋体"));
    song.SetHeight(-24);
    EXPECT_EQ(FontLineHeight(song), MetricsHeight(-24, GB2312_CHARSET, "宋体"));
    EXPECT_GT(FontLineHeight(song), small);
}
