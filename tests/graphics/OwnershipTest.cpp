#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fixtures.h"
#include "base/Exceptions.h"
#include "graphics/Bitmap.h"
#include "graphics/Icon.h"
#include "tests/support/Pictures.h"

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGrey = RGB(128, 128, 128);


COLORREF RawPixel(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixel;
}

bool Alive(HGDIOBJ object) { return GetObjectType(object) != 0; }


HICON ExtractRedDisc() {
    std::string path = std::string(TULVAR_FIXTURE_DIR) + "\\threeicons.dll";
    return ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), 0);
}

COLORREF IconPixel(TIcon& icon, int x, int y) {
    TBitmap ground;
    ground.SetWidth(32);
    ground.SetHeight(32);
    ground.Surface().Brush.SetColor(static_cast<TColor>(kGrey));
    ground.Surface().FillRect({0, 0, 32, 32});
    ground.Surface().Draw(0, 0, &icon);
    return ground.Surface().PixelAt(x, y);
}

// A 2 x 2 BMP file of 8 bits per pixel with a two-colour table, red and blue.
std::string EightBitBmp() {
    return BmpFile(2, 2, 8, {{0, 0, 255, 0}, {255, 0, 0, 0}}, std::string("\0\1\0\0\1\0\0\0", 8));
}
}  // namespace

TEST(HandedOverHandles, ABitmapHandleLivesUntilTheLastPictureHoldingItGoes) {
    HBITMAP handle = RawBitmap(8, 8, kRed);
    TBitmap first;
    first.SetGdiHandle(GdiBitmap(handle));
    TBitmap second;
    auto third = std::make_unique<TBitmap>();
    second.ShareFrom(&first);
    third->ShareFrom(&first);
    // Drawing gives the first its own copy; the others still show the handle.
    first.Surface().Brush.SetColor(static_cast<TColor>(kBlue));
    first.Surface().FillRect({0, 0, 8, 8});
    EXPECT_TRUE(Alive(handle));
    second.ShareFrom(nullptr);
    EXPECT_TRUE(Alive(handle));
    EXPECT_EQ(third->Surface().PixelAt(4, 4), kRed);
    third.reset();
    EXPECT_FALSE(Alive(handle));
    EXPECT_EQ(first.Surface().PixelAt(4, 4), kBlue);
}

TEST(HandedOverHandles, APalettePrivateToABitmapMovesToItsNewHandleAndASharedOneIsCopied) {
    for (bool shared : {false, true}) {
        SCOPED_TRACE(shared ? "shared" : "private");
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->LoadFromStream(EightBitBmp());
        HPALETTE palette = bitmap->Palette();
        ASSERT_TRUE(Alive(palette));
        auto sharer = std::make_unique<TBitmap>();
        if (shared) sharer->ShareFrom(bitmap.get());
        bitmap->SetGdiHandle(GdiBitmap(RawBitmap(4, 4, kRed)));
        EXPECT_EQ(bitmap->Palette() == palette, !shared);
        EXPECT_TRUE(Alive(bitmap->Palette()));
        EXPECT_TRUE(Alive(palette));
        HPALETTE copy = bitmap->Palette();
        sharer.reset();
        EXPECT_EQ(Alive(palette), !shared);
        bitmap.reset();
        EXPECT_FALSE(Alive(copy));
        EXPECT_FALSE(Alive(palette));
    }
}

TEST(LentHandles, ABitmapDrawsOnALentHandleAndLeavesItToTheLender) {
    HBITMAP lent = RawBitmap(8, 8, kRed);
    {
        TBitmap shown, sharer;
        shown.SetGdiHandle(lent, THandleUse::Borrowed);
        sharer.ShareFrom(&shown);
        EXPECT_EQ(sharer.Surface().PixelAt(4, 4), kRed);
        sharer.SetGdiHandle(GdiBitmap(RawBitmap(8, 8, kBlue)));
        // The only user of the lent handle draws straight on it.
        shown.Surface().Brush.SetColor(static_cast<TColor>(kBlue));
        shown.Surface().FillRect({0, 0, 2, 2});
        shown.SetGdiHandle(GdiBitmap());
        EXPECT_TRUE(Alive(lent));
    }
    EXPECT_TRUE(Alive(lent));
    EXPECT_EQ(RawPixel(lent, 1, 1), kBlue);
    EXPECT_EQ(RawPixel(lent, 4, 4), kRed);
    DeleteObject(lent);
}

TEST(LentHandles, AnIconShowsALentHandleAndLeavesItToTheLender) {
    HICON lent = ExtractRedDisc();
    ASSERT_TRUE(IconAlive(lent));
    {
        TIcon shown, sharer;
        shown.SetGdiHandle(lent, THandleUse::Borrowed);
        sharer.ShareFrom(&shown);
        shown.SetGdiHandle(nullptr);
        EXPECT_EQ(IconPixel(sharer, 5, 15), kRed);
    }
    EXPECT_TRUE(IconAlive(lent));
    DestroyIcon(lent);
}

TEST(FailedChanges, ASizeThePlatformCannotMakeIsRefusedAndThePictureKept) {
    TBitmap bitmap;
    bitmap.SetWidth(8);
    bitmap.SetHeight(8);
    bitmap.Surface().Brush.SetColor(static_cast<TColor>(kRed));
    bitmap.Surface().FillRect({0, 0, 8, 8});
    TBitmapImage* record = bitmap.Image();
    HBITMAP handle = record->GdiHandle;
    EXPECT_THROW(bitmap.SetHeight(0x10000000), EOutOfResources);
    EXPECT_EQ(bitmap.Image(), record);
    EXPECT_TRUE(Alive(handle));
    EXPECT_EQ(bitmap.Height(), 8);
    EXPECT_EQ(bitmap.Surface().PixelAt(4, 4), kRed);
}
