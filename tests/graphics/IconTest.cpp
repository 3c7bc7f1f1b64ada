#include <gtest/gtest.h>

#include "tests/support/ErrorText.h"

#include <functional>
#include <memory>

#include "fixtures.h"
#include "base/Exceptions.h"
#include "graphics/Bitmap.h"
#include "tests/support/Pictures.h"
#include "graphics/Icon.h"
#include "tests/support/FileBytes.h"

namespace {
constexpr COLORREF kGrey = RGB(128, 128, 128), kRed = RGB(255, 0, 0), kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0), kFuchsia = RGB(255, 0, 255), kYellow = RGB(255, 255, 0);
constexpr COLORREF kOrange = RGB(255, 128, 0);

std::string Fixture(const char* name) { return std::string(TULVAR_FIXTURE_DIR) + "\\" + name; }

HICON Extract(const char* file, UINT index) {
    return ExtractIconA(GetModuleHandleA(nullptr), Fixture(file).c_str(), index);
}


// A bitmap of one colour to draw icons on.
struct Ground {
    TBitmap b;
    Ground(int w, int h, COLORREF colour) {
        b.SetWidth(w);
        b.SetHeight(h);
        b.Surface().Brush.SetColor(static_cast<TColor>(colour));
        b.Surface().FillRect({0, 0, w, h});
    }
    COLORREF At(int x, int y) { return b.Surface().PixelAt(x, y); }
    int Other(COLORREF colour) {
        int other = 0;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                if (At(x, y) != colour) ++other;
        return other;
    }
};

}  // namespace

TEST(IconEmpty, AnIconWithoutAHandleIsEmptyButHasTheStandardSize) {
    TIcon icon;
    icon.SetGdiHandle(nullptr);
    EXPECT_TRUE(icon.Empty());
    EXPECT_EQ(icon.Width(), GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(icon.Height(), GetSystemMetrics(SM_CYICON));
}

TEST(IconEmpty, DrawingAnEmptyIconLeavesTheCanvasAlone) {
    TIcon icon;
    icon.SetGdiHandle(nullptr);
    Ground white(32, 32, kWhite);
    white.b.Surface().Draw(0, 0, &icon);
    EXPECT_EQ(white.Other(kWhite), 0);
}

TEST(IconHandle, ABrokenHandleIsNotEmptyAndDrawsNothing) {
    TIcon icon;
    icon.SetGdiHandle(reinterpret_cast<HICON>(0x1234));
    EXPECT_FALSE(icon.Empty());
    Ground white(32, 32, kWhite);
    EXPECT_NO_THROW(white.b.Surface().Draw(0, 0, &icon));
    EXPECT_EQ(white.Other(kWhite), 0);
}

TEST(IconHandle, AnExtractedIconDrawsItsPixelsAndLeavesItsTransparentPartsAlone) {
    TIcon icon;
    HICON handle = Extract("threeicons.dll", 0);
    ASSERT_NE(handle, nullptr);
    icon.SetGdiHandle(handle);
    EXPECT_EQ(icon.GdiHandle(), handle);
    Ground grey(32, 32, kGrey);
    grey.b.Surface().Draw(0, 0, &icon);
    EXPECT_EQ(grey.At(5, 15), kRed);     // the disc
    EXPECT_EQ(grey.At(15, 15), kWhite);  // the cross
    EXPECT_EQ(grey.At(14, 1), kBlack);   // the rim
    EXPECT_EQ(grey.At(0, 31), kGrey);    // transparent corners
    EXPECT_EQ(grey.At(0, 0), kGrey);
    EXPECT_EQ(grey.At(31, 0), kGrey);
    EXPECT_EQ(grey.At(31, 31), kGrey);
}

TEST(IconHandle, ANewHandleDestroysThePreviousOneWhenNoOtherIconSharesIt) {
    HICON first = Extract("threeicons.dll", 0), second = Extract("threeicons.dll", 1);
    ASSERT_TRUE(IconAlive(first));
    TIcon icon;
    icon.SetGdiHandle(first);
    icon.SetGdiHandle(second);
    EXPECT_FALSE(IconAlive(first));
    EXPECT_TRUE(IconAlive(second));
}

TEST(IconHandle, ANewHandleKeepsThePreviousOneWhileAnotherIconSharesIt) {
    HICON first = Extract("threeicons.dll", 0), second = Extract("threeicons.dll", 1);
    auto sharer = std::make_unique<TIcon>();
    TIcon icon;
    icon.SetGdiHandle(first);
    sharer->ShareFrom(&icon);
    EXPECT_EQ(sharer->Image(), icon.Image());
    icon.SetGdiHandle(second);
    EXPECT_TRUE(IconAlive(first));
    EXPECT_EQ(sharer->GdiHandle(), first);
    Ground grey(32, 32, kGrey);
    grey.b.Surface().Draw(0, 0, sharer.get());
    EXPECT_EQ(grey.At(5, 15), kRed);
    sharer.reset();
    EXPECT_FALSE(IconAlive(first));
}

TEST(IconHandle, AdoptingTheHandleItAlreadyHoldsKeepsItUsable) {
    HICON handle = Extract("threeicons.dll", 0);
    TIcon icon;
    icon.SetGdiHandle(handle);
    icon.SetGdiHandle(handle);
    EXPECT_TRUE(IconAlive(handle));
    Ground grey(32, 32, kGrey);
    grey.b.Surface().Draw(0, 0, &icon);
    EXPECT_EQ(grey.At(5, 15), kRed);
}

TEST(IconSize, TheSizeCannotBeChangedOnceAHandleExists) {
    TIcon icon;
    icon.SetGdiHandle(Extract("oneicon.dll", 0));
    EXPECT_EQ(ErrorText<EInvalidGraphicOperation>([&] { icon.SetWidth(16); }), "无法改变图标大小");
    EXPECT_EQ(ErrorText<EInvalidGraphicOperation>([&] { icon.SetHeight(16); }), "无法改变图标大小");
    TIcon empty;
    EXPECT_NO_THROW(empty.SetWidth(16));
}

TEST(IconSharing, SharingFromABitmapIsRefusedNamingBothClasses) {
    TIcon icon;
    TBitmap bitmap;
    EXPECT_EQ(ErrorText<EConvertError>([&] { icon.ShareFrom(&bitmap); }), "不能指派一个 TBitmap 给一个 TIcon");
}

TEST(IconFile, AnIconFileGivesAnIconThatDrawsTheImageOfTheStandardSize) {
    TIcon icon;
    icon.LoadFromFile(Fixture("multi.ico"));
    EXPECT_FALSE(icon.Empty());
    ASSERT_NE(icon.GdiHandle(), nullptr);
    EXPECT_EQ(icon.Width(), 32);
    Ground grey(48, 48, kGrey);
    grey.b.Surface().Draw(0, 0, &icon);
    EXPECT_EQ(grey.At(0, 0), kFuchsia);  // the 32 x 32 cross
    EXPECT_EQ(grey.At(15, 15), kFuchsia);
    EXPECT_EQ(grey.At(16, 2), kGrey);
    EXPECT_EQ(grey.At(40, 40), kGrey);
}

TEST(IconFile, ASizeAskedBeforeTheHandleIsMadePicksTheNearestImage) {
    struct Case {
        int side;
        POINT inside;
        COLORREF colour;
    } cases[] = {{16, {5, 5}, kYellow}, {48, {24, 24}, kOrange}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.side);
        TIcon icon;
        icon.LoadFromFile(Fixture("multi.ico"));
        icon.SetWidth(c.side);
        icon.SetHeight(c.side);
        ASSERT_NE(icon.GdiHandle(), nullptr);
        EXPECT_EQ(icon.Width(), c.side);
        EXPECT_EQ(icon.Height(), c.side);
        Ground grey(64, 64, kGrey);
        grey.b.Surface().Draw(0, 0, &icon);
        EXPECT_EQ(grey.At(c.inside.x, c.inside.y), c.colour);
        EXPECT_EQ(grey.At(0, 0), kGrey);
        EXPECT_EQ(grey.At(c.side + 2, c.side / 2), kGrey);
    }
}

TEST(IconFile, BytesWithABadHeaderAreRefusedAndThePictureKept) {
    TIcon icon;
    icon.LoadFromFile(Fixture("single.ico"));
    TIconImage* record = icon.Image();
    // Type 2 is a cursor file.
    EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { icon.LoadFromStream(std::string("\0\0\2\0\1\0", 6)); }),
              "图标图象无效");
    EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { icon.LoadFromFile(Fixture("empty.dat")); }), "图标图象无效");
    EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { icon.LoadFromFile(Fixture("text.txt")); }), "图标图象无效");
    EXPECT_EQ(icon.Image(), record);
    EXPECT_FALSE(icon.Empty());
}

TEST(IconFile, AnIconFromAFileWritesTheSameBytesBack) {
    TIcon icon;
    icon.LoadFromFile(Fixture("multi.ico"));
    icon.GdiHandle();
    EXPECT_EQ(icon.SaveToStream(), FileBytes(Fixture("multi.ico")));
}

TEST(IconFile, AnIconMadeFromAHandleAloneCannotBeWritten) {
    TIcon icon;
    icon.SetGdiHandle(Extract("oneicon.dll", 0));
    EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { icon.SaveToStream(); }), "图标图象无效");
}
