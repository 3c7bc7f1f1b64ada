#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "fixtures.h"
#include "iconfile/IconImages.h"
#include "graphics/IconSource.h"
#include "tests/support/UnixReaders.h"
#include "tests/support/FileBytes.h"

namespace {
void DeleteIcon(HICON icon) { DestroyIcon(icon); }
using OwnedIcon = UniqueHandle<HICON, DeleteIcon>;
void DeleteBitmap(HBITMAP bitmap) { DeleteObject(bitmap); }
using OwnedBitmap = UniqueHandle<HBITMAP, DeleteBitmap>;
void DeleteDc(HDC dc) { DeleteDC(dc); }
using OwnedDc = UniqueHandle<HDC, DeleteDc>;

std::string Fixture(const char* name) { return std::string(TULVAR_FIXTURE_DIR) + "\\" + name; }

int PlatformCount(const std::string& path) {
    return static_cast<int>(reinterpret_cast<UINT_PTR>(ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), UINT(-1))));
}

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {0, 0};
    OwnedBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP b{};
    GetObjectA(colour ? colour.Get() : mask.Get(), sizeof b, &b);
    return {b.bmWidth, colour ? b.bmHeight : b.bmHeight / 2};
}

// The icon drawn at its own size over white (or what `background`, a raster
// operation, leaves), as rows of 0x00RRGGBB.
std::vector<DWORD> Drawn(HICON icon, DWORD background = WHITENESS) {
    const SIZE size = IconSize(icon);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    OwnedDc dc(CreateCompatibleDC(nullptr));
    OwnedBitmap surface(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!surface || size.cx <= 0) return {};
    HGDIOBJ old = SelectObject(dc.Get(), surface.Get());
    PatBlt(dc.Get(), 0, 0, size.cx, size.cy, background);
    DrawIconEx(dc.Get(), 0, 0, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + size.cx * size.cy);
    for (DWORD& p : pixels) p &= 0xFFFFFF;
    SelectObject(dc.Get(), old);
    return pixels;
}

// The icon's mask, top row first: 0xFFFFFF where it leaves the background, 0 where it covers it.
std::vector<DWORD> Mask(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return {};
    OwnedBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP b{};
    GetObjectA(mask.Get(), sizeof b, &b);
    const int height = colour ? b.bmHeight : b.bmHeight / 2;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), b.bmWidth, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> rows(static_cast<size_t>(b.bmWidth) * static_cast<size_t>(height > 0 ? height : 0));
    OwnedDc dc(CreateCompatibleDC(nullptr));
    if (rows.empty() || GetDIBits(dc.Get(), mask.Get(), 0, static_cast<UINT>(height), rows.data(), &format,
                                  DIB_RGB_COLORS) != height)
        return {};
    for (DWORD& p : rows) p &= 0xFFFFFF;
    return rows;
}

// Every icon of the file the source counted last as the platform makes it,
// pixel for pixel and in the same order.
void ExpectSameIconsAsThePlatform(const TIconSource& source, const std::string& path, int count) {
    for (int i = 0; i < count; ++i) {
        const GdiIcon own = source.Icon(i);
        OwnedIcon platform(ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), static_cast<UINT>(i)));
        ASSERT_TRUE(own) << path << " icon " << i;
        ASSERT_TRUE(platform) << path << " icon " << i;
        const SIZE ownSize = IconSize(own.Get()), platformSize = IconSize(platform.Get());
        EXPECT_EQ(ownSize.cx, platformSize.cx) << path << " icon " << i;
        EXPECT_EQ(ownSize.cy, platformSize.cy) << path << " icon " << i;
        EXPECT_EQ(Drawn(own.Get()), Drawn(platform.Get())) << path << " icon " << i;
    }
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
}  // namespace

TEST(OwnIconSource, WellFormedFilesGiveThePlatformsCountAndPixels) {
    const struct { const char* name; int groups; bool platformMayNotRead; } rows[] = {
        {"threeicons.dll", 3, false}, {"manyicons.dll", 40, false}, {"oneicon.dll", 1, false},
        {"noicons.dll", 0, false},    {"single.ico", 1, false},     {"multi.ico", 1, false},
        {"art\\red.ico", 1, false},   {"threegroups64.dll", 3, true}, {"threegroups.icl", 3, true},
        {"namedicons.dll", 4, false}};
    for (const auto& r : rows) {
        const std::string path = Fixture(r.name);
        const int platform = PlatformCount(path);
        TIconSource source;
        EXPECT_EQ(source.Count(path), r.groups) << r.name;
        if (r.platformMayNotRead && platform == 0) continue;
        EXPECT_EQ(platform, r.groups) << r.name;
        ExpectSameIconsAsThePlatform(source, path, r.groups);
        EXPECT_FALSE(source.Icon(r.groups)) << r.name << ": one past the last";
    }
}

TEST(OwnIconSource, ABitmapGivesOneIconAtTheIconSizeShowingItsPixels) {
    const std::string path = Fixture("art\\bitmap.bmp");
    TIconSource source;
    ASSERT_EQ(source.Count(path), 1);
    const GdiIcon icon = source.Icon(0);
    ASSERT_TRUE(icon);
    OwnedBitmap picture(static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    ASSERT_TRUE(picture);
    BITMAP b{};
    GetObjectA(picture.Get(), sizeof b, &b);
    // Like every icon of the scan, at the system's icon size: the 16 x 16 bitmap doubled.
    const SIZE size = IconSize(icon.Get());
    ASSERT_EQ(size.cx, GetSystemMetrics(SM_CXICON));
    ASSERT_EQ(size.cy, GetSystemMetrics(SM_CYICON));
    ASSERT_EQ(size.cx, 2 * b.bmWidth);
    const std::vector<DWORD> drawn = Drawn(icon.Get());
    OwnedDc dc(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(dc.Get(), picture.Get());
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const COLORREF c = GetPixel(dc.Get(), x / 2, y / 2);
            const DWORD expected = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            ASSERT_EQ(drawn[static_cast<size_t>(y * size.cx + x)], expected) << x << "," << y;
        }
    SelectObject(dc.Get(), old);
}

TEST(OwnIconSource, ABitmapTallerThanWideKeepsItsProportionsAtTheIconSize) {
    // 164 x 314: in the icon it spans the middle 134 of 256 columns, all rows;
    // at 32 x 32 that is columns 7.6 to 24.4.
    TIconSource source;
    ASSERT_EQ(source.Count(Fixture("bitmaps\\wizard.bmp")), 1);
    const GdiIcon icon = source.Icon(0);
    ASSERT_TRUE(icon);
    const SIZE size = IconSize(icon.Get());
    ASSERT_EQ(size.cx, 32);
    ASSERT_EQ(size.cy, 32);
    const std::vector<DWORD> onWhite = Drawn(icon.Get()), onBlack = Drawn(icon.Get(), BLACKNESS),
                             mask = Mask(icon.Get());
    ASSERT_EQ(mask.size(), 32u * 32u);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const size_t at = static_cast<size_t>(y * 32 + x);
            const std::string where = std::to_string(x) + "," + std::to_string(y);
            if (x < 7 || x > 24) {
                EXPECT_EQ(onWhite[at], 0xFFFFFFu) << where << " shows the background";
                EXPECT_EQ(onBlack[at], 0u) << where << " shows the background";
                EXPECT_EQ(mask[at], 0xFFFFFFu) << where << " is clear in the mask";
            } else if (x > 7 && x < 24) {
                EXPECT_EQ(onWhite[at], onBlack[at]) << where << " shows the picture";
                EXPECT_EQ(mask[at], 0u) << where << " is covered in the mask";
            }
        }
}

TEST(OwnIconSource, FilesWithoutIconsAndMissingPathsGiveNothing) {
    for (const std::string& path : {Fixture("text.txt"), Fixture("empty.dat"), Fixture("no such file.ico"),
                                    std::string(TULVAR_FIXTURE_DIR), std::string()}) {
        TIconSource source;
        EXPECT_EQ(source.Count(path), 0) << path;
        EXPECT_FALSE(source.Icon(0)) << path;
        EXPECT_FALSE(source.Group(0).has_value()) << path;
    }
}

TEST(OwnIconSource, AFileRewrittenInPlaceIsReadAgain) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string path = std::string(base) + "tulvar_source_" + std::to_string(GetCurrentProcessId()) + ".ico";
    // Same size with a new write time, then a new size, then no icons at all.
    const struct { const char* from; int count; bool sameSize; } steps[] = {
        {"art\\red.ico", 1, false}, {"art\\blue.ico", 1, true}, {"multi.ico", 1, false},
        {"text.txt", 0, false}, {"threeicons.dll", 3, false}};
    TIconSource source;
    FILETIME written{};
    for (const auto& s : steps) {
        Write(path, FileBytes(Fixture(s.from)));
        if (s.sameSize) {
            // Written within the same tick as the last one would not tell them apart.
            ULARGE_INTEGER later{{written.dwLowDateTime, written.dwHighDateTime}};
            later.QuadPart += 10000000;
            const FILETIME next{later.LowPart, later.HighPart};
            HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            SetFileTime(file, nullptr, nullptr, &next);
            CloseHandle(file);
        }
        WIN32_FILE_ATTRIBUTE_DATA now{};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &now);
        written = now.ftLastWriteTime;
        EXPECT_EQ(source.Count(path), s.count) << s.from;
        EXPECT_EQ(PlatformCount(path), s.count) << s.from;
        ExpectSameIconsAsThePlatform(source, path, s.count);
    }
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(OwnIconSource, IconsComeFromWhatTheLastCountReadSoTheyMatchTheListShown) {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string path = std::string(base) + "tulvar_snapshot_" + std::to_string(GetCurrentProcessId()) + ".ico";
    TIconSource source;
    auto firstIcon = [&] { return Drawn(source.Icon(0).Get()); };
    Write(path, FileBytes(Fixture("art\\red.ico")));
    ASSERT_EQ(source.Count(path), 1);
    const std::vector<DWORD> red = firstIcon();
    Write(path, FileBytes(Fixture("multi.ico")));
    EXPECT_EQ(firstIcon(), red) << "the file changed after its scan began";
    EXPECT_EQ(source.Count(path), 1);
    EXPECT_NE(firstIcon(), red) << "the next scan reads it afresh";
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

namespace {
std::string Pixels(const TIconImageRef& image) {
    TRgbaPixels pixels;
    EXPECT_TRUE(BitmapIconPixels(image.bytes, image.size, pixels));
    return std::string(pixels.rgba.begin(), pixels.rgba.end());
}

std::string Scratch() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "tulvar_pixels_" + std::to_string(GetCurrentProcessId());
}
}  // namespace

TEST(IconImages, BitmapImagesOfEveryDepthHaveThePixelsImageMagickReads) {
    // 1, 8 and 24 bits with masks; 4, 4 and 32 bits with alpha.
    for (const char* name : {"depths.ico", "multi.ico"}) {
        const std::string path = Fixture(name), bytes = FileBytes(path);
        const TIconFile file = ReadIconFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        ASSERT_EQ(file.groups.size(), 1u) << name;
        ASSERT_EQ(file.groups[0].images.size(), 3u) << name;
        for (size_t i = 0; i < 3; ++i) {
            const std::string frame = "[" + std::to_string(i) + "]";
            EXPECT_EQ(PixelMismatches(Pixels(file.groups[0].images[i]), DecodedByImageMagick(path, frame, Scratch())), 0)
                << name << frame;
        }
    }
}

TEST(IconImages, SixteenBitImagesHaveThePixelsThePlatformShows) {
    // No independent reader knows 16-bit icons; the platform draws them.
    const std::string bytes = FileBytes(Fixture("depth16.ico"));
    const TIconFile file = ReadIconFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    ASSERT_EQ(file.groups.size(), 1u);
    const TIconImageRef& image = file.groups[0].images.at(0);
    const std::string rgba = Pixels(image);
    std::vector<DWORD> onWhite;
    for (size_t i = 0; i + 3 < rgba.size(); i += 4) {
        auto byte = [&](size_t k) { return static_cast<DWORD>(static_cast<unsigned char>(rgba[i + k])); };
        onWhite.push_back(byte(3) ? byte(0) << 16 | byte(1) << 8 | byte(2) : 0xFFFFFF);
    }
    const OwnedIcon icon(CreateIconFromResourceEx(const_cast<PBYTE>(image.bytes), static_cast<DWORD>(image.size),
                                                  TRUE, 0x00030000, 16, 16, 0));
    EXPECT_EQ(Drawn(icon.Get()), onWhite);
}

TEST(IconImages, AColourTableAnnouncedForADeepImageLiesBeforeItsRows) {
    const std::string bytes = FileBytes(Fixture("depths.ico"));
    const TIconFile file = ReadIconFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    ASSERT_EQ(file.groups.size(), 1u);
    const TIconImageRef& plain = file.groups[0].images[2];  // 24 bits
    // The same image with two colours announced, as some painting programs write it.
    std::vector<unsigned char> tabled(plain.bytes, plain.bytes + 40);
    tabled[32] = 2;
    tabled.insert(tabled.end(), 8, 0x55);
    tabled.insert(tabled.end(), plain.bytes + 40, plain.bytes + plain.size);
    EXPECT_EQ(IconImageLength(tabled.data(), tabled.size()), tabled.size());
    EXPECT_EQ(IconImageLength(tabled.data(), tabled.size() - 1), 0u) << "the mask one byte short";
    TIconImageRef withTable = plain;
    withTable.bytes = tabled.data();
    withTable.size = tabled.size();
    EXPECT_EQ(Pixels(withTable), Pixels(plain));
    auto made = [](const TIconImageRef& image) {
        return OwnedIcon(CreateIconFromResourceEx(const_cast<PBYTE>(image.bytes), static_cast<DWORD>(image.size), TRUE,
                                                  0x00030000, 16, 16, 0));
    };
    EXPECT_EQ(Drawn(made(withTable).Get()), Drawn(made(plain).Get())) << "as the platform reads it";
}

TEST(OwnIconSource, AnIconOfThePlatformBecomesOneImageWithItsPixels) {
    const std::string bytes = FileBytes(Fixture("multi.ico"));
    const TIconFile file = ReadIconFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    ASSERT_EQ(file.groups.size(), 1u);
    for (size_t i : {1, 2}) {  // 32 x 32 in 16 colours, 48 x 48 with alpha
        const TIconImageRef& image = file.groups[0].images[i];
        const int side = image.width;
        const OwnedIcon icon(CreateIconFromResourceEx(
            const_cast<PBYTE>(image.bytes), static_cast<DWORD>(image.size), TRUE, 0x00030000, side, side, 0));
        const std::optional<TIconGroup> group = IconGroupFromHandle(icon.Get());
        ASSERT_TRUE(group.has_value());
        ASSERT_EQ(group->images.size(), 1u);
        EXPECT_EQ(group->images[0].width, side);
        EXPECT_EQ(PixelMismatches(Pixels(group->images[0]), Pixels(image)), 0) << side;
    }
    EXPECT_FALSE(IconGroupFromHandle(nullptr).has_value());
}
