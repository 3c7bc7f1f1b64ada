#include <gtest/gtest.h>

#include <string>

#include "base/Exceptions.h"
#include "fixtures.h"
#include "iconfile/IconFile.h"
#include "png/PngImage.h"
#include "tests/support/ErrorText.h"
#include "tests/support/FileBytes.h"

namespace {
std::string Fixture(const char* name) { return std::string(TULVAR_FIXTURE_DIR) + "\\" + name; }
}  // namespace

TEST(PngIconImages, AnImageFarTallerOrWiderThanAnyIconIsRefusedBeforeItIsDecoded) {
    // Each file's last image is a whole PNG the library reads; the strips would
    // take 6.4 MB of pixels, which only the size check keeps from being asked for.
    const struct { const char* name; std::string error; int width, height; } rows[] = {
        {"pngdiscs.ico", "(no error)", 256, 256},
        {"tallpng.ico", "图标图象无效", 0, 0},
        {"widepng.ico", "图标图象无效", 0, 0}};
    for (const auto& r : rows) {
        const std::string bytes = FileBytes(Fixture(r.name));
        const TIconFile file = ReadIconFile(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
        ASSERT_EQ(file.groups.size(), 1u) << r.name;
        const TIconImageRef& image = file.groups[0].images.back();
        ASSERT_TRUE(IsPngImage(image.bytes, image.size)) << r.name;
        TRgbaPixels pixels;
        EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { pixels = IconImagePixels(image); }), r.error) << r.name;
        EXPECT_EQ(pixels.width, r.width) << r.name;
        EXPECT_EQ(pixels.height, r.height) << r.name;
    }
}
