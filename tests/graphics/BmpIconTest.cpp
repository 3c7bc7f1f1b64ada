#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "fixtures.h"
#include "iconfile/IconImages.h"
#include "tests/support/FileBytes.h"
#include "tests/support/UnixReaders.h"

namespace {
std::string Fixture(const std::string& name) { return std::string(TULVAR_FIXTURE_DIR) + "\\bitmaps\\" + name; }

std::string Scratch() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "tulvar_bmp_" + std::to_string(GetCurrentProcessId());
}

// Red, green and blue of `rgba` (w x h, top row first) averaged over the
// pixels each of to_w x to_h boxes covers, each weighted by the area of it
// inside the box, rounded to nearest: the shrinking an icon made from a
// large picture is defined by. Alpha comes out opaque.
std::string BoxShrunk(const std::string& rgba, long long w, long long h, long long toW, long long toH) {
    std::string out(static_cast<size_t>(toW * toH * 4), '\xFF');
    // In units where a picture pixel is toW (toH) long and a box w (h).
    auto overlap = [](long long pixel, long long box, long long pixelLength, long long boxLength) {
        return std::max(0LL, std::min((pixel + 1) * pixelLength, (box + 1) * boxLength) -
                                 std::max(pixel * pixelLength, box * boxLength));
    };
    for (long long by = 0; by < toH; ++by)
        for (long long bx = 0; bx < toW; ++bx)
            for (int c = 0; c < 3; ++c) {
                unsigned long long sum = 0;
                // Past these the overlaps are 0.
                for (long long y = by * h / toH; y <= std::min(h - 1, (by + 1) * h / toH); ++y)
                    for (long long x = bx * w / toW; x <= std::min(w - 1, (bx + 1) * w / toW); ++x)
                        sum += static_cast<unsigned long long>(overlap(x, bx, toW, w) * overlap(y, by, toH, h)) *
                               static_cast<unsigned char>(rgba[static_cast<size_t>((y * w + x) * 4 + c)]);
                out[static_cast<size_t>((by * toW + bx) * 4 + c)] =
                    static_cast<char>((sum + static_cast<unsigned long long>(w * h / 2)) / static_cast<unsigned long long>(w * h));
            }
    return out;
}

// Pixels whose colour differs, or that are not opaque in `ours`; -1 for
// pictures of different sizes.
int ColourMismatches(const std::string& ours, const std::string& theirs) {
    if (ours.size() != theirs.size() || ours.empty()) return -1;
    int differ = 0;
    for (size_t i = 0; i + 3 < ours.size(); i += 4)
        differ += ours.compare(i, 3, theirs, i, 3) != 0 || ours[i + 3] != '\xFF';
    return differ;
}
}  // namespace

TEST(BitmapIcons, EveryKindOfBitmapShowsThePixelsImageMagickReadsShrunkToFitAnIcon) {
    // Each picture's size, and its icon's: the larger ones shrunk to 256 on
    // their longer side, the other in proportion.
    const struct { const char* name; int width, height, iconWidth, iconHeight; } rows[] = {
        {"depth1.bmp", 21, 9, 21, 9},       {"depth4.bmp", 19, 11, 19, 11},   {"depth8.bmp", 37, 13, 37, 13},
        {"depth16.bmp", 23, 9, 23, 9},      {"depth16-565.bmp", 33, 10, 33, 10}, {"depth24.bmp", 15, 7, 15, 7},
        {"depth32.bmp", 11, 6, 11, 6},      {"rle4.bmp", 18, 8, 18, 8},       {"rle8.bmp", 19, 9, 19, 9},
        {"core.bmp", 17, 6, 17, 6},         {"topdown.bmp", 13, 5, 13, 5},    {"wizard.bmp", 164, 314, 134, 256},
        {"banner.bmp", 497, 58, 256, 30}};
    for (const auto& r : rows) {
        const std::string path = Fixture(r.name), bytes = FileBytes(path);
        const TIconFile file = ReadIconFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        EXPECT_EQ(file.kind, TIconFileKind::Bmp) << r.name;
        EXPECT_FALSE(file.damaged) << r.name;
        ASSERT_EQ(file.groups.size(), 1u) << r.name;
        ASSERT_EQ(file.groups[0].images.size(), 1u) << r.name;
        TRgbaPixels icon;
        ASSERT_TRUE(BitmapIconPixels(file.groups[0].images[0].bytes, file.groups[0].images[0].size, icon)) << r.name;
        EXPECT_EQ(icon.width, r.iconWidth) << r.name;
        EXPECT_EQ(icon.height, r.iconHeight) << r.name;
        const std::string theirs = DecodedByImageMagick(path, "", Scratch());
        ASSERT_EQ(theirs.size(), static_cast<size_t>(r.width) * r.height * 4) << r.name;
        const std::string expected = r.width == r.iconWidth && r.height == r.iconHeight
                                         ? theirs
                                         : BoxShrunk(theirs, r.width, r.height, r.iconWidth, r.iconHeight);
        EXPECT_EQ(ColourMismatches(std::string(icon.rgba.begin(), icon.rgba.end()), expected), 0) << r.name;
    }
}
