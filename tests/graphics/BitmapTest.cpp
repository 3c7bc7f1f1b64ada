#include <gtest/gtest.h>

#include "tests/support/ErrorText.h"

#include <functional>
#include <memory>
#include <thread>

#include "base/ByteReader.h"
#include "base/Exceptions.h"
#include "graphics/Bitmap.h"
#include "tests/support/Pictures.h"
#include "graphics/Icon.h"

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kLime = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

void Paint(TBitmap& b, const RECT& r, COLORREF colour) {
    b.Surface().Brush.SetColor(static_cast<TColor>(colour));
    b.Surface().FillRect(r);
}

// How many pixels of `r` are not `colour`.
int OtherPixels(TBitmap& b, const RECT& r, COLORREF colour) {
    int other = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (b.Surface().PixelAt(x, y) != colour) ++other;
    return other;
}

struct ChangeCount {
    int count = 0;
    explicit ChangeCount(TGraphic& g) {
        g.OnChange = [this](TObject*) { ++count; };
    }
};



// Quadrants of 2x2 pixels, top row first, so that a flip or a shift shows.
constexpr COLORREF kQuadrants[2][2] = {{kRed, kBlue}, {kLime, kBlack}};

// A 4x4 BMP file of those quadrants, 24 bits, bottom-up as files usually are.
std::string QuadrantFile() {
    std::string pixels;
    for (int y = 3; y >= 0; --y)
        for (int x = 0; x < 4; ++x) {
            COLORREF c = kQuadrants[y / 2][x / 2];
            for (BYTE part : {GetBValue(c), GetGValue(c), GetRValue(c)}) pixels += static_cast<char>(part);
        }
    return BmpFile(4, 4, 24, {}, pixels);
}

// How many pixels of a `width` x `height` bitmap differ from the quadrants at
// the top left and white elsewhere.
int OffQuadrantPixels(TBitmap& b, int width, int height) {
    int other = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (b.Surface().PixelAt(x, y) != (x < 4 && y < 4 ? kQuadrants[y / 2][x / 2] : kWhite)) ++other;
    return other;
}

// Holds a canvas's lock on another thread until released.
class LockHolder {
public:
    explicit LockHolder(TCanvas& canvas)
        : locked_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          thread_([this, &canvas] {
              canvas.Lock();
              SetEvent(locked_);
              WaitForSingleObject(release_, INFINITE);
              canvas.Unlock();
          }) {
        WaitForSingleObject(locked_, 5000);
    }
    ~LockHolder() {
        Release();
        CloseHandle(locked_);
        CloseHandle(release_);
    }
    void Release() {
        if (!thread_.joinable()) return;
        SetEvent(release_);
        thread_.join();
    }

private:
    HANDLE locked_, release_;
    std::thread thread_;
};
}  // namespace

TEST(BitmapSharing, BothBitmapsNameOneRecordAfterSharing) {
    TBitmap a, b;
    FillBitmap(a, 8, 8, kRed);
    b.ShareFrom(&a);
    EXPECT_EQ(a.Image(), b.Image());
    EXPECT_EQ(a.Image()->UseCount(), 2);
    EXPECT_EQ(b.Width(), 8);
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
}

TEST(BitmapSharing, DrawingOnASharedBitmapChangesOnlyThatOne) {
    for (bool drawOnSource : {true, false}) {
        SCOPED_TRACE(drawOnSource ? "drawing on the source" : "drawing on the receiver");
        TBitmap a, b;
        FillBitmap(a, 8, 8, kRed);
        b.ShareFrom(&a);
        TBitmap& drawn = drawOnSource ? a : b;
        TBitmap& kept = drawOnSource ? b : a;
        Paint(drawn, {0, 0, 4, 4}, kBlue);
        EXPECT_NE(a.Image(), b.Image());
        EXPECT_EQ(a.Image()->UseCount(), 1);
        EXPECT_EQ(b.Image()->UseCount(), 1);
        EXPECT_EQ(drawn.Surface().PixelAt(1, 1), kBlue);
        EXPECT_EQ(drawn.Surface().PixelAt(6, 6), kRed);
        EXPECT_EQ(OtherPixels(kept, {0, 0, 8, 8}, kRed), 0);
    }
}

TEST(BitmapSharing, ABitmapReadFromBytesIsCopiedBeforeItIsDrawnOn) {
    TBitmap made;
    FillBitmap(made, 8, 8, kRed);
    const std::string bytes = made.SaveToStream();
    TBitmap a, b;
    a.LoadFromStream(bytes);
    b.ShareFrom(&a);
    Paint(b, {0, 0, 4, 4}, kBlue);
    EXPECT_EQ(b.Surface().PixelAt(1, 1), kBlue);
    EXPECT_EQ(b.Surface().PixelAt(6, 6), kRed);
    EXPECT_EQ(OtherPixels(a, {0, 0, 8, 8}, kRed), 0);
    EXPECT_EQ(a.SaveToStream(), bytes);
}

TEST(BitmapSharing, TheSharedPixelsLiveUntilTheirLastUserLetsGo) {
    auto a = std::make_unique<TBitmap>();
    FillBitmap(*a, 8, 8, kRed);
    TBitmap b;
    b.ShareFrom(a.get());
    HBITMAP handle = b.Image()->GdiHandle;
    a.reset();
    EXPECT_EQ(b.Image()->UseCount(), 1);
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
    b.ShareFrom(nullptr);
    EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST(BitmapSharing, SharingFromNothingEmptiesTheBitmap) {
    TBitmap b;
    FillBitmap(b, 8, 8, kRed);
    ChangeCount changes(b);
    b.ShareFrom(nullptr);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(changes.count, 1);
}

TEST(BitmapSharing, SharingFromAnIconIsRefusedNamingBothClasses) {
    TBitmap b;
    FillBitmap(b, 8, 8, kRed);
    TIcon icon;
    EXPECT_EQ(ErrorText<EConvertError>([&] { b.ShareFrom(&icon); }), "不能指派一个 TIcon 给一个 TBitmap");
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
}

TEST(BitmapHandle, AnAdoptedHandleIsDrawnWithoutACopy) {
    HBITMAP handle = RawBitmap(8, 8, kRed);
    TBitmap b;
    b.SetGdiHandle(GdiBitmap(handle));
    EXPECT_EQ(b.Width(), 8);
    EXPECT_EQ(b.Height(), 8);
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
    EXPECT_EQ(b.GdiHandle(), handle);

    // Drawing straight on the handle shows through b: nothing was copied.
    UnselectEverywhere(handle);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle);
    HBRUSH blue = CreateSolidBrush(kBlue);
    RECT corner{0, 0, 4, 4};
    FillRect(dc, &corner, blue);
    DeleteObject(blue);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_EQ(b.Surface().PixelAt(1, 1), kBlue);
    EXPECT_EQ(b.Surface().PixelAt(6, 6), kRed);
}

TEST(BitmapHandle, AdoptingTheHandleAlreadyHeldChangesNothing) {
    HBITMAP handle = RawBitmap(8, 8, kRed);
    TBitmap b;
    ChangeCount changes(b);
    b.SetGdiHandle(GdiBitmap(handle));
    EXPECT_EQ(changes.count, 1);
    TBitmapImage* record = b.Image();
    b.SetGdiHandle(GdiBitmap(handle));
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(b.Image(), record);
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
}

TEST(BitmapHandle, TheAdoptedHandleIsDeletedWithTheBitmap) {
    HBITMAP handle = RawBitmap(8, 8, kRed);
    auto b = std::make_unique<TBitmap>();
    b->SetGdiHandle(GdiBitmap(handle));
    b.reset();
    EXPECT_EQ(GetObjectType(handle), 0u);
}

TEST(BitmapSize, AWidthAloneGivesAnEmptyBitmap) {
    TBitmap b;
    b.SetWidth(32);
    EXPECT_EQ(b.Width(), 32);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_TRUE(b.Empty());
}

TEST(BitmapSize, WidthAndHeightGiveAWhiteBitmap) {
    TBitmap b;
    b.SetWidth(32);
    b.SetHeight(32);
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(b.Height(), 32);
    EXPECT_EQ(OtherPixels(b, {0, 0, 32, 32}, kWhite), 0);
}

TEST(BitmapSize, EnlargingKeepsThePixelsTopLeftAndPaintsTheNewAreaWhite) {
    TBitmap red;
    FillBitmap(red, 4, 4, kRed);
    TBitmap b;  // no canvas yet
    b.ShareFrom(&red);
    b.SetWidth(8);
    b.SetHeight(6);
    EXPECT_EQ(OtherPixels(b, {0, 0, 4, 4}, kRed), 0);
    EXPECT_EQ(OtherPixels(b, {4, 0, 8, 6}, kWhite), 0);
    EXPECT_EQ(OtherPixels(b, {0, 4, 4, 6}, kWhite), 0);
    EXPECT_EQ(red.Width(), 4);
    EXPECT_EQ(OtherPixels(red, {0, 0, 4, 4}, kRed), 0);
}

TEST(BitmapSize, EnlargingAfterTheCanvasExistsPaintsTheNewAreaWithItsBrush) {
    TBitmap b;
    FillBitmap(b, 4, 4, kRed);
    b.Surface().Brush.SetColor(static_cast<TColor>(kLime));
    b.SetWidth(8);
    b.SetHeight(6);
    EXPECT_EQ(OtherPixels(b, {0, 0, 4, 4}, kRed), 0);
    EXPECT_EQ(OtherPixels(b, {4, 0, 8, 6}, kLime), 0);
    EXPECT_EQ(OtherPixels(b, {0, 4, 4, 6}, kLime), 0);
}

TEST(BitmapSize, ShrinkingCropsToTheTopLeft) {
    TBitmap b;
    FillBitmap(b, 8, 8, kBlue);
    Paint(b, {0, 0, 4, 4}, kRed);
    b.SetWidth(4);
    b.SetHeight(4);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 4);
    EXPECT_EQ(OtherPixels(b, {0, 0, 4, 4}, kRed), 0);
    EXPECT_EQ(b.Surface().PixelAt(5, 5), CLR_INVALID);
}

TEST(BitmapSize, ABitmapReadFromBytesKeepsItsPixelsTopLeftAndSavesItsNewSize) {
    const std::string file = QuadrantFile();
    std::string stored;
    AppendInt32(stored, static_cast<int32_t>(file.size()));
    stored += file;
    const SIZE sizes[] = {{8, 4}, {4, 7}, {8, 6}, {3, 2}, {2, 3}, {3, 6}};
    for (bool storedForm : {false, true}) {
        for (const SIZE& size : sizes) {
            SCOPED_TRACE(std::string(storedForm ? "stored form " : "BMP file ") + std::to_string(size.cx) + "x" +
                         std::to_string(size.cy));
            TBitmap b;
            if (storedForm) {
                TByteReader reader(stored);
                b.ReadData(reader);
            } else {
                b.LoadFromStream(file);
            }
            b.SetWidth(size.cx);
            b.SetHeight(size.cy);
            EXPECT_EQ(b.Width(), size.cx);
            EXPECT_EQ(b.Height(), size.cy);
            EXPECT_EQ(OffQuadrantPixels(b, size.cx, size.cy), 0);
            EXPECT_EQ(b.Surface().PixelAt(size.cx, 0), CLR_INVALID);
            // What is saved is the resized picture, not the bytes it came from.
            TBitmap reread;
            reread.LoadFromStream(b.SaveToStream());
            EXPECT_EQ(reread.Width(), size.cx);
            EXPECT_EQ(reread.Height(), size.cy);
            EXPECT_EQ(OffQuadrantPixels(reread, size.cx, size.cy), 0);
        }
    }
}

TEST(BitmapSize, WritingTheSameSizeDoesNothing) {
    TBitmap b;
    FillBitmap(b, 8, 8, kRed);
    TBitmapImage* record = b.Image();
    ChangeCount changes(b);
    b.SetWidth(8);
    b.SetHeight(8);
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(b.Image(), record);
}

TEST(BitmapFile, BytesThatAreNotABitmapAreRefusedAndThePictureKept) {
    TBitmap b;
    FillBitmap(b, 8, 8, kRed);
    EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { b.LoadFromStream("plain text, not a bitmap at all"); }),
              "位图图象无效");
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
}

TEST(BitmapTransparentColor, FollowsTheBottomLeftPixelByDefault) {
    TBitmap b;
    FillBitmap(b, 8, 8, kWhite);
    Paint(b, {0, 7, 1, 8}, kBlue);
    EXPECT_FALSE(b.TransparentColorFixed());
    EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(kBlue | 0x02000000));
    Paint(b, {0, 7, 1, 8}, kLime);
    EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(kLime | 0x02000000));
}

TEST(BitmapTransparentColor, AFixedColourWinsOverTheBottomLeftPixel) {
    TBitmap b;
    FillBitmap(b, 8, 8, kWhite);
    b.SetTransparentColor(static_cast<TColor>(kRed));
    EXPECT_TRUE(b.TransparentColorFixed());
    EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(kRed | 0x02000000));
    b.SetTransparentColor(clBtnFace);
    EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(GetSysColor(COLOR_BTNFACE) | 0x02000000));
    b.SetTransparentColor(clDefault);
    EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(kWhite | 0x02000000));
}

TEST(BitmapTransparentColor, AMonochromeBitmapTakesWhite) {
    TBitmap b;
    b.SetGdiHandle(GdiBitmap(CreateBitmap(8, 8, 1, 1, nullptr)));  // all black
    ASSERT_EQ(b.Surface().PixelAt(0, 7), kBlack);
    EXPECT_EQ(b.TransparentColor(), 0x02FFFFFF);
}

TEST(CanvasLock, TryToLockFailsOnlyWhileAnotherThreadHoldsTheLock) {
    TBitmap b;
    FillBitmap(b, 8, 8, kRed);
    TCanvas& canvas = b.Surface();
    {
        LockHolder holder(canvas);
        EXPECT_FALSE(canvas.TryToLock());
    }
    ASSERT_TRUE(canvas.TryToLock());
    canvas.Unlock();
}

TEST(MemoryContexts, DrawingTakesAContextThatReleasingGivesBack) {
    TBitmap b;
    FillBitmap(b, 8, 8, kRed);
    EXPECT_TRUE(b.Surface().HandleAllocated());
    ReleaseMemoryContexts();
    EXPECT_FALSE(b.Surface().HandleAllocated());
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
}

TEST(MemoryContexts, ACanvasLockedByAnotherThreadKeepsItsContext) {
    TBitmap locked, unlocked;
    FillBitmap(locked, 8, 8, kRed);
    FillBitmap(unlocked, 8, 8, kBlue);
    LockHolder holder(locked.Surface());
    ReleaseMemoryContexts();
    EXPECT_TRUE(locked.Surface().HandleAllocated());
    EXPECT_FALSE(unlocked.Surface().HandleAllocated());
    holder.Release();
    ReleaseMemoryContexts();
    EXPECT_FALSE(locked.Surface().HandleAllocated());
}
