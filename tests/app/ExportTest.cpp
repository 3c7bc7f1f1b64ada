#include <fstream>
#include <iterator>

#include "tests/app/WindowFixture.h"
#include "tests/support/ClipboardPeekProcess.h"
#include "tests/support/SaveDialogDriver.h"
#include "tests/support/UnixReaders.h"

namespace {
void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
           static_cast<unsigned char>(b[at + 2]) << 16 | static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

// Width and height from a BMP's header, or a JPEG's frame header.
SIZE PictureSize(const std::string& b) {
    if (b.compare(0, 2, "BM") == 0 && b.size() >= 26)
        return {static_cast<LONG>(Le32(b, 18)), static_cast<LONG>(Le32(b, 22))};
    for (size_t i = 2; i + 9 < b.size(); ++i)
        if (static_cast<unsigned char>(b[i]) == 0xFF && static_cast<unsigned char>(b[i + 1]) == 0xC0) {
            auto byte = [&](size_t k) { return static_cast<unsigned char>(b[i + k]); };
            return {byte(7) << 8 | byte(8), byte(5) << 8 | byte(6)};
        }
    return {0, 0};
}

int LeftoverFiles(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

// The window after a scan of threeicons.dll at the largest zoom, its first
// status panel marked so that a change shows.
struct Export : WindowFixture {
    std::string out;
    void SetUp() override {
        WindowFixture::SetUp();
        Pick(kFixtures, "threeicons.dll");
        form->ZoomLevel = 4;
        ClickButton(form->SpeedButton1);
        form->StatusBar1->SetPanelText(0, "before");
        out = temp + "\\icon";
    }
    void TearDown() override {
        for (const char* ext : {".bmp", ".ico", ".jpg", ".png"}) {
            SetFileAttributesA((out + ext).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((out + ext).c_str());
        }
        WindowFixture::TearDown();
    }
    static std::string Panel0() {
        char text[256] = {};
        SendMessageA(form->StatusBar1->WindowHandle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        return text;
    }
    static bool Save(const TDialogAnswer& answer) {
        return AnswerSaveDialog([] { ClickButton(form->SpeedButton4); }, answer);
    }
};
}  // namespace

TEST_F(Export, EachFileTypeWritesTheIconAtItsOwnSizeWithItsExtensionAdded) {
    const struct {
        int type;
        const char* ext;
        const char* magic;
    } types[] = {{1, ".bmp", "BM"}, {2, ".ico", "BM"}, {3, ".jpg", "\xFF\xD8"}};
    EXPECT_EQ(form->Image2->Width(), 96);
    for (const auto& t : types) {
        SCOPED_TRACE(t.ext);
        form->StatusBar1->SetPanelText(0, "before");
        ASSERT_TRUE(Save({out, t.type}));
        std::string bytes = FileBytes(out + t.ext);
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(0, 2), t.magic);
        SIZE size = PictureSize(bytes);
        EXPECT_EQ(size.cx, 32) << "the icon's own size, not the zoomed view";
        EXPECT_EQ(size.cy, 32);
        EXPECT_EQ(Panel0(), "  文件保存成功!");
    }
    EXPECT_EQ(FileBytes(out + ".bmp"), FileBytes(out + ".ico")) << "the same BMP bytes under both names";
}

TEST_F(Export, SavingOverALongerFileLeavesExactlyTheNewBytes) {
    WriteAll(out + ".bmp", std::string(20000, 'x'));
    ASSERT_TRUE(Save({out, 1}));
    std::string bytes = FileBytes(out + ".bmp");
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(Le32(bytes, 2), bytes.size());
}

TEST_F(Export, AFailedSaveLeavesTheOldFileAndThePanelAsTheyWere) {
    struct Case {
        const char* name;
        int type;
        const char* ext;
        std::function<void(const std::string& path)> arrange;
        std::string message;
    } cases[] = {
        {"a read-only target", 1, ".bmp", [](const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); },
         "不能创建文件 " + out + ".bmp."},
        // Too wide for the JPEG format: the compression fails half-way.
        {"a failure while compressing", 3, ".jpg", [](const std::string&) { form->Image2->Picture().Bitmap()->SetWidth(70000); },
         "JPEG error #"},
        {"a read-only icon file", 4, ".ico", [](const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); },
         "不能创建文件 " + out + ".ico."},
        // Last: the folder listed afresh leaves no file, so no icon, to save.
        {"no file scanned", 5, ".png", [](const std::string&) { List(kFixtures); }, "图标图象无效"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = out + c.ext;
        WriteAll(path, "old content");
        c.arrange(path);
        ASSERT_TRUE(Save({out, c.type}));
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].substr(0, c.message.size()), c.message);
        shown.clear();
        EXPECT_EQ(FileBytes(path), "old content");
        EXPECT_EQ(Panel0(), "before");
        EXPECT_EQ(LeftoverFiles(temp), 0) << "no half-written file stays behind";
    }
}

TEST_F(Export, CancellingWritesNothingAndLeavesThePanel) {
    ASSERT_TRUE(Save({out, 1, false}));
    EXPECT_EQ(GetFileAttributesA((out + ".bmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Panel0(), "before");
}

TEST_F(Export, CopyPutsTheIconOnWhiteAtItsOwnSizeOnTheClipboard) {
    ClickButton(form->SpeedButton3);
    EXPECT_EQ(Panel0(), "  成功复制到剪切板!");
    auto fields = Peek("read").Finish();
    EXPECT_EQ(fields["bitmap"], "32x32");
    EXPECT_EQ(fields["pixels"].substr(0, 6), "ffffff") << "the transparent corner stands on white";
    EXPECT_NE(fields["pixels"].find("ff0000"), std::string::npos) << "the red disc";
}

namespace {
std::string Decoded(const std::string& file, const std::string& frame = "") {
    return DecodedByImageMagick(file, frame, WindowFixture::temp + "\\decoded");
}

std::string IcoTool(const std::string& file) { return RunUnix("icotool -l '" + UnixPath(file) + "'", file + ".txt"); }
}  // namespace

TEST_F(Export, TheIconFileHoldsEveryImageOfTheSelectedGroupAsItWas) {
    const struct {
        const char* file;
        const char* source;  // the .ico the library's group was made from
        bool sameBytes;
    } cases[] = {{"threegroups64.dll", "multi.ico", false},
                 {"threegroups.icl", "multi.ico", false},
                 {"pnggroup64.dll", "pngdiscs.ico", true}};  // PNG images kept as they are
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Pick(kFixtures, c.file);
        ClickIcons(IconCentre(1));
        form->StatusBar1->SetPanelText(0, "before");
        ASSERT_TRUE(Save({out, 4}));
        EXPECT_EQ(Panel0(), "  文件保存成功!");
        const std::string saved = out + ".ico", source = kFixtures + "\\" + c.source;
        const std::string listed = IcoTool(saved);
        EXPECT_NE(listed.find("--index=3"), std::string::npos) << listed;
        EXPECT_EQ(listed, IcoTool(source)) << "the same sizes and depths";
        for (const char* frame : {"[0]", "[1]", "[2]"})
            EXPECT_EQ(PixelMismatches(Decoded(saved, frame), Decoded(source, frame)), 0) << frame;
        if (c.sameBytes) {
            EXPECT_EQ(FileBytes(saved), FileBytes(source));
        }
    }
}

TEST_F(Export, ThePngIsTheGroupsLargestImageWithItsTransparency) {
    const struct {
        const char* file;
        int position;
        const char* source;  // the file the group's largest image came from, and its place there
        const char* frame;
        const char* size;
    } cases[] = {{"threegroups64.dll", 1, "multi.ico", "[2]", "48 48"},  // 32 bits with alpha
                 {"pnggroup64.dll", 1, "pngdiscs.ico", "[2]", "256 256"},
                 {"threegroups.icl", 0, "art\\red.ico", "", "32 32"}};  // 16 colours: alpha from the mask
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Pick(kFixtures, c.file);
        ClickIcons(IconCentre(c.position));
        form->StatusBar1->SetPanelText(0, "before");
        ASSERT_TRUE(Save({out, 5}));
        EXPECT_EQ(Panel0(), "  文件保存成功!");
        const std::string saved = out + ".png";
        EXPECT_EQ(RunUnix("identify -format '%w %h %[png:IHDR.color-type-orig] %[png:IHDR.bit-depth-orig]' '" +
                              UnixPath(saved) + "'",
                          saved + ".txt"),
                  std::string(c.size) + " 6 8")
            << "eight bits each of colour and alpha";
        const std::string pixels = Decoded(saved);
        ASSERT_FALSE(pixels.empty());
        EXPECT_EQ(pixels[3], 0) << "a transparent corner";
        EXPECT_EQ(pixels.back(), 0) << "a transparent corner";
        EXPECT_EQ(PixelMismatches(pixels, Decoded(kFixtures + "\\" + c.source, c.frame)), 0);
    }
}

TEST_F(Export, APngOfADamagedLargestImageIsMadeFromTheNextSizeDown) {
    std::string bytes = FileBytes(kFixtures + "\\pngdiscs.ico");
    ASSERT_GT(bytes.size(), 6u + 16 * 3);
    const uint32_t size = Le32(bytes, 6 + 16 * 2 + 8), at = Le32(bytes, 6 + 16 * 2 + 12);  // the 256 x 256 image
    ASSERT_LE(at + size, bytes.size());
    bytes[at + size / 2] = static_cast<char>(bytes[at + size / 2] ^ 0xFF);
    WriteAll(temp + "\\damaged256.ico", bytes);
    Pick(temp, "damaged256.ico");
    ASSERT_TRUE(Save({out, 5}));
    EXPECT_EQ(Panel0(), "  文件保存成功!");
    EXPECT_EQ(RunUnix("identify -format '%w %h' '" + UnixPath(out + ".png") + "'", out + ".txt"), "32 32");
}
