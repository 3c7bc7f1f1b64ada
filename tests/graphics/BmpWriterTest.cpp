#include <gtest/gtest.h>

#include "tests/support/ErrorText.h"

#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/Exceptions.h"
#include "graphics/Bitmap.h"
#include "graphics/BmpWriter.h"
#include "iconfile/IconFile.h"
#include "tests/support/Pictures.h"
#include "tests/support/FileBytes.h"

namespace {
using L = TPixelLayout;
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0);
constexpr COLORREF kLime = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kGrey = RGB(128, 128, 128);

void Paint(TBitmap& b, const RECT& r, COLORREF colour) {
    b.Surface().Brush.SetColor(static_cast<TColor>(colour));
    b.Surface().FillRect(r);
}

std::string Written(TBitmap& b) {
    std::string out;
    WriteBmpStream(b, out, false);
    return out;
}

template <typename T>
T Field(const std::string& bytes, size_t at) {
    T value{};
    if (at + sizeof value <= bytes.size()) std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

std::string Bgr(COLORREF c) { return {char(GetBValue(c)), char(GetGValue(c)), char(GetRValue(c))}; }

// A BMP file as any reader sees it: the file header, then a 40- or 12-byte header.
struct Bmp {
    const std::string& bytes;
    const bool core = Field<uint32_t>(bytes, 14) == 12;
    const size_t type = Field<uint16_t>(bytes, 0), fileSize = Field<uint32_t>(bytes, 2);
    const size_t offBits = Field<uint32_t>(bytes, 10), headerSize = Field<uint32_t>(bytes, 14);
    const int width = core ? Field<uint16_t>(bytes, 18) : Field<int32_t>(bytes, 18);
    const int height = core ? Field<uint16_t>(bytes, 20) : Field<int32_t>(bytes, 22);
    const size_t planes = Field<uint16_t>(bytes, core ? 22 : 26), bitCount = Field<uint16_t>(bytes, core ? 24 : 28);
    const size_t compression = core ? 0 : Field<uint32_t>(bytes, 30), sizeImage = core ? 0 : Field<uint32_t>(bytes, 34);
    const size_t entrySize = core ? 3 : 4;
    explicit Bmp(const std::string& b) : bytes(b) {}
    size_t Stride() const { return ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4; }
    size_t Masks() const { return compression == BI_BITFIELDS ? 12 : 0; }
    size_t TableEntries() const { return (offBits - 14 - headerSize - Masks()) / entrySize; }
    // Row 0 is the top of the picture.
    COLORREF Pixel(int x, int y) const {
        const size_t row = height > 0 ? height - 1 - y : y, at = offBits + row * Stride();
        auto colour = [this](size_t i) {
            return RGB(Field<uint8_t>(bytes, i + 2), Field<uint8_t>(bytes, i + 1), Field<uint8_t>(bytes, i));
        };
        if (bitCount >= 24) return colour(at + x * bitCount / 8);
        if (bitCount == 16) {
            // 5-5-5 unless the file carries masks of its own; each channel widened to 8 bits.
            const unsigned v = Field<uint16_t>(bytes, at + 2 * x);
            auto channel = [&](size_t mask, uint32_t standard) {
                const uint32_t m = Masks() ? Field<uint32_t>(bytes, 54 + mask * 4) : standard;
                int shift = 0, bits = 0;
                while (m && !(m >> shift & 1)) ++shift;
                while (m >> (shift + bits) & 1) ++bits;
                return bits ? ((v & m) >> shift) * 255 / ((1u << bits) - 1) : 0u;
            };
            return RGB(channel(0, 0x7C00), channel(1, 0x03E0), channel(2, 0x001F));
        }
        const unsigned bit = x * bitCount, byte = Field<uint8_t>(bytes, at + bit / 8);
        const unsigned index = (byte >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
        return colour(14 + headerSize + index * entrySize);
    }
};


void WriteRaw(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A folder of its own in the temporary folder, emptied and removed at the end.
struct TestFolder {
    std::string path;
    explicit TestFolder(const char* tag) {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "tulvar-bmp-" + std::to_string(GetCurrentProcessId()) + "-" + tag + "\\";
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~TestFolder() {
        for (const std::string& name : Names()) {
            SetFileAttributesA((path + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA((path + name).c_str())) RemoveDirectoryA((path + name).c_str());
        }
        RemoveDirectoryA(path.c_str());
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((path + "*").c_str(), &found);
        for (bool more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &found))
            if (found.cFileName[0] != '.') names.insert(found.cFileName);
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
        return names;
    }
};
}  // namespace

TEST(BmpLayouts, EachPixelLayoutWritesItsDepthSizesTableAndPixelsBottomUp) {
    const struct { L layout; size_t bits, compression, stride, image, entries, offBits, fileSize; } rows[] = {{L::pl32Bit, 32, BI_RGB, 128, 4096, 0, 54, 4150},  {L::pl24Bit, 24, BI_RGB, 96, 3072, 0, 54, 3126},
                {L::pl15Bit, 16, BI_RGB, 64, 2048, 0, 54, 2102},   {L::pl16Bit, 16, BI_BITFIELDS, 64, 2048, 0, 66, 2114},
                {L::pl8Bit, 8, BI_RGB, 32, 1024, 256, 1078, 2102}, {L::pl4Bit, 4, BI_RGB, 16, 512, 16, 118, 630},
                {L::pl1Bit, 1, BI_RGB, 4, 128, 2, 62, 190}};
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.bits << " bits, compression " << r.compression);
        TBitmap b;
        FillBitmap(b, 32, 32, kWhite);
        Paint(b, {0, 0, 16, 8}, kBlack);
        b.SetPixelLayout(r.layout);
        EXPECT_EQ(b.PixelLayout(), r.layout);
        std::string bytes = Written(b);
        Bmp bmp(bytes);
        // "BM", header size, width, height, planes; then as the row says; then the byte count.
        EXPECT_EQ((std::vector<size_t>{bmp.type, bmp.headerSize, size_t(bmp.width), size_t(bmp.height), bmp.planes}),
                  (std::vector<size_t>{0x4D42, 40, 32, 32, 1}));
        EXPECT_EQ((std::vector<size_t>{bmp.bitCount, bmp.compression, bmp.Stride(), bmp.sizeImage, bmp.TableEntries(),
                                       bmp.offBits, bmp.fileSize}),
                  (std::vector<size_t>{r.bits, r.compression, r.stride, r.image, r.entries, r.offBits, r.fileSize}));
        EXPECT_EQ(bytes.size(), bmp.fileSize);
        if (r.compression == BI_BITFIELDS) {
            EXPECT_EQ(bytes.substr(54, 12), std::string("\x00\xF8\0\0\xE0\x07\0\0\x1F\0\0\0", 12));
        }
        int wrong = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (bmp.Pixel(x, y) != (x < 16 && y < 8 ? kBlack : kWhite)) ++wrong;
        EXPECT_EQ(wrong, 0);
    }
}

TEST(BmpLayouts, AScreenCompatibleIconSizedPictureOnA32BitDisplayGivesTheKnownFile) {
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    if (depth != 32) GTEST_SKIP() << "display depth " << depth;
    TBitmap b;
    FillBitmap(b, 32, 32, kWhite);
    Paint(b, {0, 0, 1, 1}, kRed);
    Paint(b, {0, 31, 1, 32}, kBlue);
    Paint(b, {31, 31, 32, 32}, kLime);
    ASSERT_EQ(b.PixelLayout(), L::plDevice);
    const unsigned char head[38] = {0x42, 0x4D, 0x36, 0x10, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x28, 0, 0, 0, 0x20,
                                    0,    0,    0,    0x20, 0, 0, 0, 1, 0, 0x20, 0, 0, 0, 0, 0, 0, 0x10, 0, 0};
    std::string bytes = Written(b);
    ASSERT_EQ(bytes.size(), 4150u);
    EXPECT_EQ(bytes.substr(0, 54), std::string(reinterpret_cast<const char*>(head), 38) + std::string(16, '\0'));
    // The bottom row comes first.
    EXPECT_EQ(bytes.substr(54, 3), Bgr(kBlue));
    EXPECT_EQ(bytes.substr(54 + 31 * 4, 3), Bgr(kLime));
    EXPECT_EQ(bytes.substr(54 + 31 * 128, 3), Bgr(kRed));
    EXPECT_EQ(bytes.substr(54 + 31 * 128 + 4, 3), Bgr(kWhite));
    EXPECT_EQ(b.PixelLayout(), L::plDevice);
}

TEST(BmpLayouts, AnEightBitScreenPictureWithAShortPaletteGetsTheWholeColourTable) {
    // What a 256-colour display makes: converted with colours-used 0, so the
    // file carries all 256 entries, the palette's first.
    TBitmap b;
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[3];
    } palette{{0x300, 4, {{255, 0, 0, 0}}}, {{0, 255, 0, 0}, {0, 0, 255, 0}, {128, 128, 128, 0}}};
    b.SetPalette(GdiPalette(CreatePalette(&palette.head)));
    b.SetGdiHandle(GdiBitmap(CreateBitmap(8, 8, 1, 8, nullptr)));  // keeps the palette
    const std::string bytes = Written(b);
    Bmp bmp(bytes);
    EXPECT_EQ((std::vector<size_t>{bmp.bitCount, bmp.TableEntries(), Field<uint32_t>(bytes, 46), bmp.offBits,
                                   bmp.fileSize}),
              (std::vector<size_t>{8, 256, 256, 1078, 1078 + 64}));
    EXPECT_EQ(bytes.substr(54, 16), std::string("\0\0\xFF\0\0\xFF\0\0\xFF\0\0\0\x80\x80\x80\0", 16));
}

TEST(BmpFiles, SavingTwiceOverALongerFileNamedIcoLeavesExactlyTheSameBmpBytes) {
    TestFolder folder("save");
    const std::string name = folder.path + "picture.ico";
    WriteRaw(name, std::string(10000, 'x'));
    TBitmap b;
    FillBitmap(b, 32, 32, kWhite);
    Paint(b, {4, 4, 20, 12}, kRed);
    WriteBmpFile(b, name);
    const std::string first = FileBytes(name);
    WriteBmpFile(b, name);
    EXPECT_EQ(FileBytes(name), first);
    EXPECT_EQ(first.substr(0, 2), "BM");
    EXPECT_EQ(first.size(), Bmp(first).fileSize);
    EXPECT_EQ(first, Written(b));
    EXPECT_EQ(folder.Names(), std::set<std::string>{"picture.ico"});
}

TEST(BmpFiles, ATargetThatCannotBeReplacedFailsNamingItAndStaysAsItWas) {
    enum class Target { HeldOpen, ReadOnly, Folder };
    for (Target target : {Target::HeldOpen, Target::ReadOnly, Target::Folder}) {
        SCOPED_TRACE(target == Target::HeldOpen ? "held open" : target == Target::ReadOnly ? "read-only" : "folder");
        TestFolder folder("fail");
        const std::string name = folder.path + "target.bmp";
        if (target == Target::Folder) CreateDirectoryA(name.c_str(), nullptr);
        else WriteRaw(name, "old content");
        if (target == Target::ReadOnly) SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (target == Target::HeldOpen)
            held = CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const std::set<std::string> before = folder.Names();
        TBitmap b;
        FillBitmap(b, 4, 4, kRed);
        EXPECT_EQ(ErrorText<EFCreateError>([&] { WriteBmpFile(b, name); }), "不能创建文件 " + name);
        EXPECT_EQ(folder.Names(), before);
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        if (target == Target::Folder) {
            EXPECT_NE(GetFileAttributesA(name.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
        } else {
            EXPECT_EQ(FileBytes(name), "old content");
        }
    }
}

TEST(BmpShortHeader, APictureReadWithA12ByteHeaderIsWrittenBackInThatForm) {
    std::string file = "BM";
    auto put = [&file](uint32_t value, int size) { file.append(reinterpret_cast<const char*>(&value), size); };
    put(82, 4), put(0, 4), put(74, 4);
    put(12, 4), put(8, 2), put(2, 2), put(1, 2), put(4, 2);
    for (int i = 0; i < 16; ++i) file += {char(i * 16), char(255 - i * 16), char(i * 8 + 1)};
    file += "\x01\x23\x45\x67\x89\xAB\xCD\xEF";  // bottom row, then top row
    // Bytes past the pixels show that the kept bytes, not a new encoding, come back.
    const std::string read = file + "zz";
    TBitmap b;
    b.LoadFromStream(read);
    EXPECT_EQ(Written(b), read);

    Paint(b, {1, 0, 2, 1}, RGB(5 * 8 + 1, 255 - 5 * 16, 5 * 16));  // entry 5
    std::string expected = file;
    expected[78] = '\x85';
    const std::string bytes = Written(b);
    EXPECT_EQ(bytes, expected);
    Bmp bmp(bytes);
    EXPECT_EQ((std::vector<size_t>{bmp.headerSize, bmp.TableEntries(), bmp.offBits}), (std::vector<size_t>{12, 16, 74}));
    EXPECT_EQ(bmp.Pixel(1, 0), RGB(41, 175, 80));
}

TEST(BmpStoredForm, AnEmptyBitmapIsFourZeroBytesAndAnotherItsFileAfterItsLength) {
    TBitmap empty, one;
    std::string stored;
    empty.WriteData(stored);
    EXPECT_EQ(stored, std::string(4, '\0'));
    FillBitmap(one, 1, 1, kRed);
    stored.clear();
    one.WriteData(stored);
    const std::string file = stored.substr(4);
    EXPECT_EQ(Field<uint32_t>(stored, 0), Bmp(file).fileSize);
    EXPECT_EQ(file.size(), Bmp(file).fileSize);
    EXPECT_EQ(Bmp(file).Pixel(0, 0), kRed);
}

TEST(BmpRows, RowZeroIsTheTopOfThePictureAndRowsOutsideAreRefused) {
    TBitmap b;
    FillBitmap(b, 5, 4, kWhite);  // rows of 15 bytes, padded to 16
    Paint(b, {0, 0, 5, 1}, kBlue);
    ASSERT_EQ(b.PixelLayout(), L::plDevice);
    EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { b.SetPixelLayout(L::plCustom); }), "无效的像素格式");
    b.SetPixelLayout(L::pl24Bit);
    EXPECT_EQ(b.GdiHandle(), b.Image()->SectionHandle());
    EXPECT_EQ(b.Surface().PixelAt(4, 0), kBlue);
    EXPECT_EQ(b.Surface().PixelAt(4, 1), kWhite);
    for (int row : {-1, b.Height()})
        EXPECT_EQ(ErrorText<EInvalidGraphicOperation>([&] { b.RowAddress(row); }), "扫描线索引超界");
    unsigned char* top = b.RowAddress(0);
    const DIBSECTION& d = b.Image()->SectionDescription();
    ASSERT_GT(d.dsBmih.biHeight, 0);
    EXPECT_EQ(top, static_cast<unsigned char*>(d.dsBm.bmBits) + 3 * 16);
    top[0] = 0, top[1] = 0, top[2] = 255;
    EXPECT_EQ(b.Surface().PixelAt(0, 0), kRed);
    EXPECT_EQ(b.Surface().PixelAt(0, 3), kWhite);
}

TEST(BmpTransparency, AFixedTransparentColourOfNoneLeavesEveryPixelDrawn) {
    const struct { TColor fixed; COLORREF whiteShows; } rows[] = {{clNone, kWhite}, {clDefault, kGrey}};
    for (const auto& r : rows) {
        TBitmap b;
        FillBitmap(b, 8, 8, kWhite);
        Paint(b, {2, 2, 6, 6}, kRed);
        b.SetTransparentColor(r.fixed);
        b.SetTransparent(true);
        TBitmap target;
        FillBitmap(target, 8, 8, kGrey);
        target.Surface().Draw(0, 0, &b);
        EXPECT_EQ(target.Surface().PixelAt(0, 7), r.whiteShows);
        EXPECT_EQ(target.Surface().PixelAt(3, 3), kRed);
    }
    TBitmap b;
    FillBitmap(b, 8, 8, kWhite);
    b.SetTransparentColor(clNone);
    std::string bits(64, '\xAA');
    ASSERT_EQ(GetBitmapBits(b.MaskHandle(), 64, &bits[0]), 16);  // 8 rows of one word
    EXPECT_EQ(bits.substr(0, 16), std::string(16, '\0'));
    b.ConvertToMask(clNone);
    int marked = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) marked += b.Surface().PixelAt(x, y) != kBlack;
    EXPECT_EQ(marked, 0);
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
}

TEST(IconEntries, ALaterEntryWinsOnlyWithAtLeastAsManyColoursAndANoLargerSize) {
    auto entry = [](uint8_t side, uint16_t colours) { return TIconFileEntry{side, side, colours, 1, 4, 0, 0}; };
    const struct { std::vector<TIconFileEntry> entries; uint32_t display; size_t chosen; } rows[] = {{{entry(16, 16), entry(32, 16), entry(32, 256)}, 0x7FFFFFFF, 2},
                {{entry(16, 256), entry(32, 16)}, 0x7FFFFFFF, 0},
                {{entry(16, 16), entry(32, 0)}, 0x7FFFFFFF, 1},
                {{entry(16, 16), entry(32, 0)}, 256, 0},
                {{entry(32, 16), entry(48, 16)}, 0x7FFFFFFF, 0}};
    for (const auto& r : rows) EXPECT_EQ(ChooseIconEntry(r.entries, 32, 32, r.display), r.chosen);
}

TEST(IconEntries, AnImageWhoseMaskRunsPastItsBytesIsNotWhole) {
    // 2 x 2 pixels: header, colour table, colour rows, then the mask's rows of 4 bytes.
    const std::pair<WORD, size_t> rows[] = {{32, 40 + 16 + 8}, {4, 40 + 64 + 8 + 8}};
    for (const auto& [bits, size] : rows) {
        BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 2, 4, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
        std::string image(size, '\0');
        std::memcpy(&image[0], &header, sizeof header);
        const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
        EXPECT_TRUE(IconImageIsWhole(bytes, size)) << bits;
        EXPECT_FALSE(IconImageIsWhole(bytes, size - 1)) << bits;
    }
}
