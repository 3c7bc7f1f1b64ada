#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "iconfile/IconFile.h"
#include "tests/support/FileBytes.h"

namespace {
// Run on the host: the folder the cross build wrote the fixtures into, as a host path.
std::string Fixture(const char* name) { return std::string(TULVAR_FIXTURE_DIR) + "/" + name; }

std::string FileBytes(const char* name) { return ::FileBytes(Fixture(name)); }

const unsigned char* Data(const std::string& bytes) { return reinterpret_cast<const unsigned char*>(bytes.data()); }
TIconFile Read(const std::string& bytes) { return ReadIconFile(Data(bytes), bytes.size()); }

uint32_t Long(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}
void PutLong(std::string& bytes, size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); }

// Each group as "side/bits side/bits ...", one string per group.
std::vector<std::string> Describe(const TIconFile& file) {
    std::vector<std::string> groups;
    for (const TIconGroup& group : file.groups) {
        std::string text;
        for (const TIconImageRef& image : group.images)
            text += (text.empty() ? "" : " ") + std::to_string(image.width) + "/" + std::to_string(image.bitCount);
        groups.push_back(text);
    }
    return groups;
}

size_t ImageCount(const TIconFile& file) {
    size_t count = 0;
    for (const TIconGroup& group : file.groups) count += group.images.size();
    return count;
}

// Every image handed out lies within the file's bytes or its group's own,
// and holds what its header claims.
void ExpectImagesWhole(const TIconFile& file, const std::string& bytes, const std::string& what) {
    for (const TIconGroup& group : file.groups)
        for (const TIconImageRef& image : group.images) {
            const auto at = reinterpret_cast<uintptr_t>(image.bytes);
            const auto inFile = reinterpret_cast<uintptr_t>(bytes.data());
            const auto inGroup = reinterpret_cast<uintptr_t>(group.storage.data());
            const bool inside = (at >= inFile && at - inFile <= bytes.size() && image.size <= bytes.size() - (at - inFile)) ||
                                (!group.storage.empty() && at >= inGroup && at - inGroup <= group.storage.size() &&
                                 image.size <= group.storage.size() - (at - inGroup));
            ASSERT_TRUE(inside) << what;
            ASSERT_TRUE(IconImageIsWhole(image.bytes, image.size)) << what;
        }
}

// Where the resources of a PE file start and how long they are.
std::pair<size_t, size_t> ResourceSection(const std::string& bytes) {
    const size_t name = bytes.find(std::string(".rsrc\0\0\0", 8));
    if (name == std::string::npos) return {0, 0};
    return {Long(bytes, name + 20), Long(bytes, name + 8)};
}

const char* const kLibraries[] = {"threeicons.dll", "threegroups64.dll"};
}  // namespace

TEST(IconFileReading, EachKindGivesItsGroupsInOrderWithTheirSizesAndDepths) {
    using G = std::vector<std::string>;
    const struct { const char* name; TIconFileKind kind; G groups; } rows[] = {
        {"threeicons.dll", TIconFileKind::Pe, {"32/4", "32/4", "32/4"}},
        {"threegroups64.dll", TIconFileKind::Pe, {"32/4", "16/4 32/4 48/32", "32/4"}},
        {"threegroups.icl", TIconFileKind::Ne, {"32/4", "16/4 32/4 48/32", "32/4"}},
        {"multi.ico", TIconFileKind::Ico, {"16/4 32/4 48/32"}},
        {"art/bitmap.bmp", TIconFileKind::Bmp, {"16/32"}},
        {"namedicons.dll", TIconFileKind::Pe, {"32/4", "32/4", "32/4", "32/4"}},
        {"noicons.dll", TIconFileKind::Pe, {}},
        {"text.txt", TIconFileKind::Unknown, {}},
        {"empty.dat", TIconFileKind::Unknown, {}}};
    for (const auto& r : rows) {
        const std::string bytes = FileBytes(r.name);
        const TIconFile file = Read(bytes);
        EXPECT_EQ(file.kind, r.kind) << r.name;
        EXPECT_FALSE(file.damaged) << r.name;
        EXPECT_EQ(Describe(file), r.groups) << r.name;
        ExpectImagesWhole(file, bytes, r.name);
    }
    // The first of three groups holds red.ico's one image, byte for byte (an
    // NE file pads it to its alignment).
    const std::string red = FileBytes("art/red.ico");
    const std::string redImage = red.substr(Long(red, 18), Long(red, 14));
    for (const char* name : {"threeicons.dll", "threegroups64.dll", "threegroups.icl"}) {
        const std::string bytes = FileBytes(name);
        const TIconImageRef image = Read(bytes).groups.at(0).images.at(0);
        ASSERT_GE(image.size, redImage.size()) << name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bytes), redImage.size()), redImage) << name;
    }
    // Named groups first, by name, then the numbered ones: the directory's
    // order, which is the platform's.
    const std::string named = FileBytes("namedicons.dll");
    const TIconFile namedFile = Read(named);
    const char* const parts[] = {"art/one.ico", "art/red.ico", "art/green.ico", "art/blue.ico"};
    ASSERT_EQ(namedFile.groups.size(), std::size(parts));
    for (size_t i = 0; i < std::size(parts); ++i) {
        const std::string part = FileBytes(parts[i]);
        const TIconImageRef& image = namedFile.groups[i].images.at(0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bytes), image.size),
                  part.substr(Long(part, 18), Long(part, 14)))
            << "group " << i << " should be " << parts[i];
    }
}

TEST(IconFileReading, ABitmapBecomesAnOpaque32BitImageOfItsOwnPixelsBottomUp) {
    // 2 x 2, 24 bits: rows of 6 bytes padded to 8, blue-green-red.
    auto bitmap = [](int32_t height, uint16_t bits, uint32_t compression) {
        std::string b(54 + 16, '\0');
        b[0] = 'B', b[1] = 'M';
        PutLong(b, 2, static_cast<uint32_t>(b.size()));
        PutLong(b, 10, 54);
        PutLong(b, 14, 40);
        PutLong(b, 18, 2);
        PutLong(b, 22, static_cast<uint32_t>(height));
        b[26] = 1, b[28] = static_cast<char>(bits);
        PutLong(b, 30, compression);
        const char rows[16] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
        std::memcpy(&b[54], rows, 16);
        return b;
    };
    const struct { int32_t height; uint32_t firstPixel; } rows[] = {{2, 0xFF030201}, {-2, 0xFF090807}};
    for (const auto& r : rows) {
        const std::string bytes = bitmap(r.height, 24, 0);
        TIconFile file = Read(bytes);
        const TIconFile copy = file;  // a copy's image must point into its own storage
        file.groups.clear();
        ASSERT_EQ(copy.groups.size(), 1u);
        const TIconImageRef& image = copy.groups[0].images.at(0);
        ASSERT_EQ(image.size, 40u + 2 * 2 * 4 + 2 * 4);
        const std::string made(reinterpret_cast<const char*>(image.bytes), image.size);
        EXPECT_EQ(Long(made, 8), 4u);  // colour rows and mask rows
        EXPECT_EQ(Long(made, 40), r.firstPixel) << r.height;
        EXPECT_EQ(made.substr(56), std::string(8, '\0'));  // the mask shows every pixel
    }
    // Kinds of bitmap this reader has no icon for: rows compressed as JPEG or
    // PNG, run lengths or bit fields at 24 bits, and another system's headers.
    std::string otherHeader = bitmap(2, 16, 3), shortHeader = bitmap(2, 24, 0);
    PutLong(otherHeader, 14, 64);
    PutLong(shortHeader, 14, 20);
    for (const std::string& none : {bitmap(2, 24, 4), bitmap(2, 24, 5), bitmap(2, 24, 1), bitmap(2, 24, 3),
                                    otherHeader, shortHeader}) {
        const TIconFile file = Read(none);
        EXPECT_EQ(file.kind, TIconFileKind::Bmp);
        EXPECT_TRUE(file.groups.empty());
        EXPECT_FALSE(file.damaged);
    }
    std::string cut = bitmap(2, 24, 0);
    cut.resize(cut.size() - 1);
    EXPECT_TRUE(Read(cut).damaged);
    EXPECT_TRUE(Read(cut).groups.empty());
}

TEST(IconFileReading, ABitmapThatIsNotSquareIsCentredOnASquareBetweenClearMargins) {
    // 24 bits, bottom-up; pixel (x, y) from the top is (red x + 1, green y + 1, blue 9).
    auto bitmap = [](uint32_t width, uint32_t height) {
        const size_t stride = (width * 3 + 3) / 4 * 4;
        std::string b(54 + stride * height, '\0');
        b[0] = 'B', b[1] = 'M';
        PutLong(b, 2, static_cast<uint32_t>(b.size()));
        PutLong(b, 10, 54);
        PutLong(b, 14, 40);
        PutLong(b, 18, width);
        PutLong(b, 22, height);
        b[26] = 1, b[28] = 24;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) {
                const size_t at = 54 + (height - 1 - y) * stride + x * 3;
                b[at] = 9, b[at + 1] = static_cast<char>(y + 1), b[at + 2] = static_cast<char>(x + 1);
            }
        return b;
    };
    // The icon top row first: '#' shows the picture's pixel, '.' a margin. The
    // odd margin's extra pixel lies at the right or the bottom.
    const struct { uint32_t width, height; std::vector<std::string> shape; } rows[] = {
        {2, 5, {".##..", ".##..", ".##..", ".##..", ".##.."}},
        {5, 2, {".....", "#####", "#####", ".....", "....."}},
        {3, 1, {"...", "###", "..."}},
        {1, 3, {".#.", ".#.", ".#."}}};
    for (const auto& r : rows) {
        const std::string what = std::to_string(r.width) + " x " + std::to_string(r.height);
        const TIconFile file = Read(bitmap(r.width, r.height));
        ASSERT_EQ(Describe(file), std::vector<std::string>{std::to_string(r.shape.size()) + "/32"}) << what;
        const TIconImageRef& image = file.groups[0].images[0];
        const std::string made(reinterpret_cast<const char*>(image.bytes), image.size);
        const size_t side = r.shape.size(), maskStride = (side + 31) / 32 * 4;
        ASSERT_EQ(made.size(), 40 + side * side * 4 + maskStride * side) << what;
        EXPECT_EQ(Long(made, 4), side) << what;
        EXPECT_EQ(Long(made, 8), 2 * side) << what;
        EXPECT_EQ(image.height, image.width) << what;
        // The picture's first pixel is where the shape's first '#' is.
        size_t left = side, top = side;
        for (size_t y = 0; y < side && top == side; ++y)
            if (r.shape[y].find('#') != std::string::npos) top = y, left = r.shape[y].find('#');
        for (size_t y = 0; y < side; ++y)
            for (size_t x = 0; x < side; ++x) {
                const size_t fromBottom = side - 1 - y;
                const uint32_t pixel = Long(made, 40 + (fromBottom * side + x) * 4);
                const bool clear = (made[40 + side * side * 4 + fromBottom * maskStride + x / 8] >> (7 - x % 8)) & 1;
                const std::string at = what + " at " + std::to_string(x) + "," + std::to_string(y);
                if (r.shape[y][x] == '.') {
                    EXPECT_EQ(pixel, 0u) << at << ": no colour and no alpha";
                    EXPECT_TRUE(clear) << at;
                } else {
                    EXPECT_EQ(pixel, 0xFF000009u | static_cast<uint32_t>((x - left + 1) << 16 | (y - top + 1) << 8)) << at;
                    EXPECT_FALSE(clear) << at;
                }
            }
    }
}

TEST(IconFileReading, ADamagedBitmapGivesNoIconAndSaysSo) {
    const std::string plain = FileBytes("bitmaps/depth24.bmp"), runs = FileBytes("bitmaps/rle8.bmp"),
                      runs4 = FileBytes("bitmaps/rle4.bmp"), core = FileBytes("bitmaps/core.bmp"),
                      longHeader = FileBytes("bitmaps/depth8.bmp"), fields = FileBytes("bitmaps/depth16-565.bmp");
    ASSERT_FALSE(plain.empty() || runs.empty() || runs4.empty() || core.empty() || longHeader.empty() || fields.empty());
    auto with = [](std::string bytes, size_t at, uint32_t value) {
        return bytes.replace(at, 4, reinterpret_cast<const char*>(&value), 4);
    };
    auto sides = [&](const std::string& bytes, uint32_t width, uint32_t height) {
        return with(with(bytes, 18, width), 22, height);
    };
    const size_t runsAt = Long(runs, 10), runs4At = Long(runs4, 10);
    const uint32_t size = static_cast<uint32_t>(runs.size());
    // rle8.bmp is 19 x 9; its first row holds 19 pixels, its third jumps two rows up.
    const struct { const char* what; std::string bytes; } rows[] = {
        {"rows cut short", plain.substr(0, plain.size() - 1)},
        {"rows placed past the end", with(plain, 10, static_cast<uint32_t>(plain.size()))},
        {"the header cut short", longHeader.substr(0, 14 + 100)},
        {"the three-byte colour table cut short", core.substr(0, 26 + 3 * 200)},
        {"the bit-field masks cut short", fields.substr(0, 14 + 40 + 8)},
        {"no width", with(plain, 18, 0)},
        {"a negative width", with(plain, 18, 0xFFFFFFF0u)},
        {"no height", with(plain, 22, 0)},
        {"more pixels than any picture has", sides(runs, 16384, 16385)},
        {"sides whose product wraps around 32 bits", sides(runs, 65536, 65536)},
        {"run-length rows top-down", with(runs, 22, static_cast<uint32_t>(-9))},
        {"run-length data placed past the end", with(runs, 10, size + 1)},
        {"run-length data cut short", runs.substr(0, runsAt + 20)},
        {"a literal block cut short", runs4.substr(0, runs4At + 5)},
        {"a run past its row's end", with(runs, 18, 18)},
        {"a jump past the last row", with(runs, 22, 4)},
        {"rows after the last", with(runs, 22, 2)}};
    for (const auto& r : rows) {
        const TIconFile file = Read(r.bytes);
        EXPECT_EQ(file.kind, TIconFileKind::Bmp) << r.what;
        EXPECT_TRUE(file.damaged) << r.what;
        EXPECT_TRUE(file.groups.empty()) << r.what;
    }
    // As many pixels as a picture may have: shrunk to 256 x 256, the data's
    // skipped pixels and all.
    const TIconFile largest = Read(sides(runs, 16384, 16384));
    EXPECT_FALSE(largest.damaged);
    EXPECT_EQ(Describe(largest), std::vector<std::string>{"0/32"});
}

TEST(IconFileReading, ADamagedIconFileGivesFewerImagesAndSaysSo) {
    const std::string multi = FileBytes("multi.ico");
    std::string tooMany = multi, pastEnd = multi;
    tooMany[4] = '\xE8', tooMany[5] = '\x03';  // 1000 entries
    for (size_t i = 0; i < 3; ++i) PutLong(pastEnd, 6 + i * 16 + 12, static_cast<uint32_t>(multi.size()));
    const struct { const char* what; std::string bytes; size_t most; } rows[] = {
        {"count past the end", tooMany, 3}, {"offsets past the end", pastEnd, 0}, {"cut in half", multi.substr(0, multi.size() / 2), 2}};
    for (const auto& r : rows) {
        const TIconFile file = Read(r.bytes);
        EXPECT_EQ(file.kind, TIconFileKind::Ico) << r.what;
        EXPECT_TRUE(file.damaged) << r.what;
        EXPECT_LE(ImageCount(file), r.most) << r.what;
        ExpectImagesWhole(file, r.bytes, r.what);
    }
}

TEST(IconFileReading, ALibraryWithADamagedResourceSectionGivesFewerGroupsAndSaysSo) {
    for (const char* name : kLibraries) {
        const std::string bytes = FileBytes(name);
        const auto [start, length] = ResourceSection(bytes);
        ASSERT_GT(length, 64u) << name;
        std::string scrambled = bytes;
        std::mt19937 random(1);
        for (size_t i = 0; i < 64; ++i) scrambled[start + i] = static_cast<char>(random());
        const struct { const char* what; std::string bytes; size_t most; } rows[] = {
            {"random directory bytes", scrambled, 3},
            {"cut before the resources", bytes.substr(0, start), 0},
            {"cut inside the directory tree", bytes.substr(0, start + 24), 0},
            {"cut mid-resources", bytes.substr(0, start + length / 2), 2}};
        for (const auto& r : rows) {
            const TIconFile file = Read(r.bytes);
            EXPECT_EQ(file.kind, TIconFileKind::Pe) << name << ": " << r.what;
            EXPECT_TRUE(file.damaged) << name << ": " << r.what;
            EXPECT_LE(file.groups.size(), r.most) << name << ": " << r.what;
            ExpectImagesWhole(file, r.bytes, std::string(name) + ": " + r.what);
        }
    }
}

TEST(IconFileReading, RandomFlipsAndCutsNeverReadOutsideTheFile) {
    std::mt19937 random(20261208);
    for (const char* name : {"threeicons.dll", "threegroups64.dll", "threegroups.icl", "multi.ico", "art/bitmap.bmp",
                             "bitmaps/rle8.bmp", "bitmaps/rle4.bmp", "bitmaps/core.bmp", "bitmaps/depth16-565.bmp",
                             "bitmaps/wizard.bmp"}) {
        const std::string original = FileBytes(name);
        ASSERT_FALSE(original.empty()) << name;
        for (int round = 0; round < 300; ++round) {
            std::string bytes = original;
            for (unsigned flips = 1 + random() % 8; flips > 0; --flips)
                bytes[random() % bytes.size()] = static_cast<char>(random());
            if (round % 3 == 0) bytes.resize(random() % bytes.size());
            ExpectImagesWhole(Read(bytes), bytes, std::string(name) + " round " + std::to_string(round));
        }
    }
}
