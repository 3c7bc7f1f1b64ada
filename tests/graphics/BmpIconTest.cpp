#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

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

// Pixels that differ in any of red, green, blue and alpha; -1 for pictures of
// different sizes.
int PixelsDiffering(const std::string& ours, const std::string& expected) {
    if (ours.size() != expected.size() || ours.empty()) return -1;
    int differ = 0;
    for (size_t i = 0; i + 3 < ours.size(); i += 4) differ += ours.compare(i, 4, expected, i, 4) != 0;
    return differ;
}

// `picture` (w x h, opaque) at (left, top) on a side x side square whose other
// pixels are fully clear: no colour, no alpha.
std::string Centred(const std::string& picture, int w, int h, int side, int left, int top) {
    std::string out(static_cast<size_t>(side) * side * 4, '\0');
    for (int y = 0; y < h; ++y)
        out.replace(static_cast<size_t>(((top + y) * side + left) * 4), static_cast<size_t>(w) * 4, picture,
                    static_cast<size_t>(y * w * 4), static_cast<size_t>(w) * 4);
    return out;
}

// The image's alpha as a reader that knows only the mask sees it: the same
// bytes with no alpha take theirs from the mask.
std::string MaskOnly(const TIconImageRef& image) {
    std::vector<unsigned char> bytes(image.bytes, image.bytes + image.size);
    const size_t pixels = static_cast<size_t>(image.width ? image.width : 256) * (image.height ? image.height : 256);
    for (size_t i = 0; i < pixels; ++i) bytes[40 + i * 4 + 3] = 0;
    TRgbaPixels seen;
    if (!BitmapIconPixels(bytes.data(), bytes.size(), seen)) return {};
    std::string alpha;
    for (size_t i = 3; i < seen.rgba.size(); i += 4) alpha += static_cast<char>(seen.rgba[i]);
    return alpha;
}
}  // namespace

TEST(BitmapIcons, EveryKindOfBitmapShowsThePixelsImageMagickReadsShrunkToFitAndCentredOnASquareIcon) {
    // Each picture's size, and the size and place of its pixels in the icon:
    // the larger ones shrunk to 256 on their longer side, the other in
    // proportion, then centred on a square of the longer side, an odd
    // margin's extra pixel at the right or the bottom.
    const struct { const char* name; int width, height, shownWidth, shownHeight, left, top; } rows[] = {
        {"depth1.bmp", 21, 9, 21, 9, 0, 6},        {"depth4.bmp", 19, 11, 19, 11, 0, 4},
        {"depth8.bmp", 37, 13, 37, 13, 0, 12},     {"depth16.bmp", 23, 9, 23, 9, 0, 7},
        {"depth16-565.bmp", 33, 10, 33, 10, 0, 11}, {"depth24.bmp", 15, 7, 15, 7, 0, 4},
        {"depth32.bmp", 11, 6, 11, 6, 0, 2},       {"rle4.bmp", 18, 8, 18, 8, 0, 5},
        {"rle8.bmp", 19, 9, 19, 9, 0, 5},          {"core.bmp", 17, 6, 17, 6, 0, 5},
        {"topdown.bmp", 13, 5, 13, 5, 0, 4},       {"wizard.bmp", 164, 314, 134, 256, 61, 0},
        {"banner.bmp", 497, 58, 256, 30, 0, 113}};
    for (const auto& r : rows) {
        const std::string path = Fixture(r.name), bytes = FileBytes(path);
        const TIconFile file = ReadIconFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        EXPECT_EQ(file.kind, TIconFileKind::Bmp) << r.name;
        EXPECT_FALSE(file.damaged) << r.name;
        ASSERT_EQ(file.groups.size(), 1u) << r.name;
        ASSERT_EQ(file.groups[0].images.size(), 1u) << r.name;
        const TIconImageRef& image = file.groups[0].images[0];
        TRgbaPixels icon;
        ASSERT_TRUE(BitmapIconPixels(image.bytes, image.size, icon)) << r.name;
        const int side = std::max(r.shownWidth, r.shownHeight);
        EXPECT_EQ(icon.width, side) << r.name;
        EXPECT_EQ(icon.height, side) << r.name;
        const std::string theirs = DecodedByImageMagick(path, "", Scratch());
        ASSERT_EQ(theirs.size(), static_cast<size_t>(r.width) * r.height * 4) << r.name;
        // Only the colours are ImageMagick's: every pixel of the picture is opaque in its icon.
        std::string shown = r.width == r.shownWidth && r.height == r.shownHeight
                                ? theirs
                                : BoxShrunk(theirs, r.width, r.height, r.shownWidth, r.shownHeight);
        for (size_t i = 3; i < shown.size(); i += 4) shown[i] = '\xFF';
        const std::string ours(icon.rgba.begin(), icon.rgba.end());
        EXPECT_EQ(PixelsDiffering(ours, Centred(shown, r.shownWidth, r.shownHeight, side, r.left, r.top)), 0)
            << r.name;
        std::string alpha;
        for (size_t i = 3; i < ours.size(); i += 4) alpha += ours[i];
        EXPECT_EQ(MaskOnly(image), alpha) << r.name << ": the mask clears what the alpha clears";
    }
}
