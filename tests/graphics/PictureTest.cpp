#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>

#include "fixtures.h"
#include "base/Exceptions.h"
#include "graphics/Bitmap.h"
#include "tests/support/Pictures.h"
#include "graphics/Icon.h"
#include "graphics/Picture.h"
#include "tests/support/ErrorText.h"

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0), kLime = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kYellow = RGB(255, 255, 0);

std::string Fixture(const char* name) { return std::string(TULVAR_FIXTURE_DIR) + "\\" + name; }



// A file in the temporary folder, deleted again at the end.
struct TempFile {
    std::string path;
    TempFile(const std::string& name, const std::string& bytes) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        path = std::string(folder) + "tulvar-" + std::to_string(GetCurrentProcessId()) + "-" + name;
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() { DeleteFileA(path.c_str()); }
};

// A 3 x 2 24-bit BMP file: red, lime, blue over white, black, yellow.
std::string SmallBmp() {
    const unsigned char rows[] = {
        0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0, 0, 0,  // bottom row, B G R
        0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0, 0, 0,  // top row
    };
    return BmpFile(3, 2, 24, {}, std::string(reinterpret_cast<const char*>(rows), sizeof rows));
}


}  // namespace

TEST(PictureContainer, BitmapOnAnEmptyContainerInstallsOneEmptyBitmap) {
    TPicture picture;
    TBitmap* bitmap = picture.Bitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(picture.Content(), bitmap);
    EXPECT_TRUE(bitmap->Empty());
    EXPECT_EQ(picture.Bitmap(), bitmap);
}

TEST(PictureContainer, BitmapReplacesAnotherKindOfPicture) {
    TPicture picture;
    picture.LoadFromFile(Fixture("multi.ico"));
    TBitmap* bitmap = picture.Bitmap();
    EXPECT_EQ(picture.Content(), bitmap);
    EXPECT_TRUE(bitmap->Empty());
}

TEST(PictureContainer, SetContentInstallsItsOwnPictureSharingThePixels) {
    TBitmap mine;
    FillBitmap(mine, 8, 8, kRed);
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.SetContent(&mine);
    EXPECT_EQ(changes, 1);
    auto* installed = dynamic_cast<TBitmap*>(picture.Content());
    ASSERT_NE(installed, nullptr);
    EXPECT_NE(installed, &mine);
    EXPECT_EQ(installed->Image(), mine.Image());
    // Drawing on the caller's bitmap leaves the container's copy alone.
    mine.Surface().Brush.SetColor(static_cast<TColor>(kBlue));
    mine.Surface().FillRect({0, 0, 8, 8});
    EXPECT_EQ(installed->Surface().PixelAt(3, 3), kRed);
    EXPECT_EQ(changes, 1);
    picture.SetContent(nullptr);
    EXPECT_EQ(picture.Content(), nullptr);
}

TEST(PictureContainer, AnUnknownExtensionIsRefusedAndThePictureKept) {
    TPicture picture;
    TBitmap* before = picture.Bitmap();
    EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { picture.LoadFromFile("C:\\some.folder\\x.xyz"); }),
              "未知的图象文件扩展名 (.xyz)");
    EXPECT_EQ(picture.Content(), before);
}

TEST(PictureContainer, LoadsABitmapFileByItsExtensionInAnyCase) {
    TempFile file("small.BMP", SmallBmp());
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    picture.LoadFromFile(file.path);
    EXPECT_EQ(changes, 1);
    auto* bitmap = dynamic_cast<TBitmap*>(picture.Content());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(picture.Width(), 3);
    EXPECT_EQ(picture.Height(), 2);
    const COLORREF expected[2][3] = {{kRed, kLime, kBlue}, {kWhite, kBlack, kYellow}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(bitmap->Surface().PixelAt(x, y), expected[y][x]) << x << "," << y;
}

TEST(PictureContainer, LoadsAnIconFileByItsExtension) {
    TPicture picture;
    picture.LoadFromFile(Fixture("multi.ico"));
    auto* icon = dynamic_cast<TIcon*>(picture.Content());
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->Empty());
    EXPECT_NE(icon->GdiHandle(), nullptr);
    EXPECT_EQ(picture.Width(), 32);
}

TEST(PictureContainer, ABrokenFileOfAKnownKindIsRefusedAndThePictureKept) {
    TempFile file("broken.ico", "plain text");
    TPicture picture;
    TBitmap* before = picture.Bitmap();
    EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { picture.LoadFromFile(file.path); }), "图标图象无效");
    EXPECT_EQ(picture.Content(), before);
}

TEST(PictureData, ABitmapIsStoredAsClassNameThenLengthThenFileBytes) {
    TPicture picture;
    FillBitmap(*picture.Bitmap(), 8, 4, kRed);
    std::string data = picture.WriteData();
    ASSERT_GT(data.size(), 14u);
    EXPECT_EQ(data.substr(0, 8), "\x07TBitmap");
    int32_t length = 0;
    std::memcpy(&length, data.data() + 8, 4);
    EXPECT_EQ(static_cast<size_t>(length), data.size() - 12);
    EXPECT_EQ(data.substr(12, 2), "BM");
}

TEST(PictureData, AStoredBitmapReadsBackWithTheSamePixels) {
    TPicture source;
    TBitmap* drawn = source.Bitmap();
    FillBitmap(*drawn, 8, 4, kRed);
    drawn->Surface().Brush.SetColor(static_cast<TColor>(kBlue));
    drawn->Surface().FillRect({0, 0, 3, 2});
    TPicture copy;
    copy.ReadData(source.WriteData());
    auto* read = dynamic_cast<TBitmap*>(copy.Content());
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Width(), 8);
    ASSERT_EQ(read->Height(), 4);
    int differing = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            if (read->Surface().PixelAt(x, y) != drawn->Surface().PixelAt(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(read->Surface().PixelAt(0, 0), kBlue);
}

TEST(PictureData, AStoredIconReadsBackAsAnIcon) {
    TPicture source;
    source.LoadFromFile(Fixture("multi.ico"));
    std::string data = source.WriteData();
    EXPECT_EQ(data.substr(0, 6), "\x05TIcon");
    TPicture copy;
    copy.ReadData(data);
    auto* icon = dynamic_cast<TIcon*>(copy.Content());
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(icon->GdiHandle(), nullptr);
}

TEST(PictureData, AnUnknownClassNameInstallsNoPicture) {
    TPicture picture;
    picture.Bitmap();
    picture.ReadData(std::string("\x08TUnknown\x02\0\0\0ab", 15));
    EXPECT_EQ(picture.Content(), nullptr);
}

TEST(PictureData, AContainerWithoutAPictureStoresOneZeroByte) {
    TPicture picture;
    EXPECT_EQ(picture.WriteData(), std::string(1, '\0'));
}

TEST(PictureFilter, ListsEveryKindNewestFirstAfterAnAllRow) {
    EXPECT_EQ(TPicture::FilterText<TGraphic>(), "全部 (*.bmp;*.ico)|*.bmp;*.ico|位图 (*.bmp)|*.bmp|图标 (*.ico)|*.ico");
}

TEST(PictureFilter, AClassFilterListsOnlyItsOwnKindWithoutAnAllRow) {
    EXPECT_EQ(TPicture::FilterText<TBitmap>(), "位图 (*.bmp)|*.bmp");
    EXPECT_EQ(TPicture::FilterText<TIcon>(), "图标 (*.ico)|*.ico");
}
