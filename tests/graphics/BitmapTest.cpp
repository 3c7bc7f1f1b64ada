#include <gtest/gtest.h>

#include "tests/support/ErrorText.h"

#include <functional>
#include <memory>
#include <thread>

#include "base/Exceptions.h"
#include "graphics/Bitmap.h"
#include "graphics/Icon.h"

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kLime = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

void Paint(TBitmap& b, const RECT& r, COLORREF colour) {
    b.Surface().Brush.SetColor(static_cast<TColor>(colour));
    b.Surface().FillRect(r);
}

void MakeBitmap(TBitmap& b, int w, int h, COLORREF colour) {
    b.SetWidth(w);
    b.SetHeight(h);
    Paint(b, {0, 0, w, h}, colour);
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


// A device-dependent bitmap filled with one colour, made without TBitmap.
HBITMAP RawBitmap(int w, int h, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP made = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, made);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, w, h};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    return made;
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
    MakeBitmap(a, 8, 8, kRed);
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
        MakeBitmap(a, 8, 8, kRed);
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
    MakeBitmap(made, 8, 8, kRed);
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
    MakeBitmap(*a, 8, 8, kRed);
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
    MakeBitmap(b, 8, 8, kRed);
    ChangeCount changes(b);
    b.ShareFrom(nullptr);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(changes.count, 1);
}

TEST(BitmapSharing, SharingFromAnIconIsRefusedNamingBothClasses) {
    TBitmap b;
    MakeBitmap(b, 8, 8, kRed);
    TIcon icon;
    EXPECT_EQ(ErrorText<EConvertError>([&] { b.ShareFrom(&icon); }), "不能指派一个 TIcon 给一个 TBitmap");
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
}

TEST(BitmapHandle, AnAdoptedHandleIsDrawnWithoutACopy) {
    HBITMAP handle = RawBitmap(8, 8, kRed);
    TBitmap b;
    b.SetGdiHandle(handle);
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
    b.SetGdiHandle(handle);
    EXPECT_EQ(changes.count, 1);
    TBitmapImage* record = b.Image();
    b.SetGdiHandle(handle);
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(b.Image(), record);
    EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
}

TEST(BitmapHandle, TheAdoptedHandleIsDeletedWithTheBitmap) {
    HBITMAP handle = RawBitmap(8, 8, kRed);
    auto b = std::make_unique<TBitmap>();
    b->SetGdiHandle(handle);
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
    MakeBitmap(red, 4, 4, kRed);
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
    MakeBitmap(b, 4, 4, kRed);
    b.Surface().Brush.SetColor(static_cast<TColor>(kLime));
    b.SetWidth(8);
    b.SetHeight(6);
    EXPECT_EQ(OtherPixels(b, {0, 0, 4, 4}, kRed), 0);
    EXPECT_EQ(OtherPixels(b, {4, 0, 8, 6}, kLime), 0);
    EXPECT_EQ(OtherPixels(b, {0, 4, 4, 6}, kLime), 0);
}

TEST(BitmapSize, ShrinkingCropsToTheTopLeft) {
    TBitmap b;
    MakeBitmap(b, 8, 8, kBlue);
    Paint(b, {0, 0, 4, 4}, kRed);
    b.SetWidth(4);
    b.SetHeight(4);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 4);
    EXPECT_EQ(OtherPixels(b, {0, 0, 4, 4}, kRed), 0);
    EXPECT_EQ(b.Surface().PixelAt(5, 5), CLR_INVALID);
}

TEST(BitmapSize, WritingTheSameSizeDoesNothing) {
    TBitmap b;
    MakeBitmap(b, 8, 8, kRed);
    TBitmapImage* record = b.Image();
    ChangeCount changes(b);
    b.SetWidth(8);
    b.SetHeight(8);
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(b.Image(), record);
}

TEST(BitmapFile, BytesThatAreNotABitmapAreRefusedAndThePictureKept) {
    TBitmap b;
    MakeBitmap(b, 8, 8, kRed);
    EXPECT_EQ(ErrorText<EInvalidGraphic>([&] { b.LoadFromStream("plain text, not a bitmap at all"); }),
              "位图图象无效");
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
}

TEST(BitmapTransparentColor, FollowsTheBottomLeftPixelByDefault) {
    TBitmap b;
    MakeBitmap(b, 8, 8, kWhite);
    Paint(b, {0, 7, 1, 8}, kBlue);
    EXPECT_FALSE(b.TransparentColorFixed());
    EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(kBlue | 0x02000000));
    Paint(b, {0, 7, 1, 8}, kLime);
    EXPECT_EQ(b.TransparentColor(), static_cast<TColor>(kLime | 0x02000000));
}

TEST(BitmapTransparentColor, AFixedColourWinsOverTheBottomLeftPixel) {
    TBitmap b;
    MakeBitmap(b, 8, 8, kWhite);
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
    b.SetGdiHandle(CreateBitmap(8, 8, 1, 1, nullptr));  // all black
    ASSERT_EQ(b.Surface().PixelAt(0, 7), kBlack);
    EXPECT_EQ(b.TransparentColor(), 0x02FFFFFF);
}

TEST(CanvasLock, TryToLockFailsOnlyWhileAnotherThreadHoldsTheLock) {
    TBitmap b;
    MakeBitmap(b, 8, 8, kRed);
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
    MakeBitmap(b, 8, 8, kRed);
    EXPECT_TRUE(b.Surface().HandleAllocated());
    ReleaseMemoryContexts();
    EXPECT_FALSE(b.Surface().HandleAllocated());
    EXPECT_EQ(OtherPixels(b, {0, 0, 8, 8}, kRed), 0);
}

TEST(MemoryContexts, ACanvasLockedByAnotherThreadKeepsItsContext) {
    TBitmap locked, unlocked;
    MakeBitmap(locked, 8, 8, kRed);
    MakeBitmap(unlocked, 8, 8, kBlue);
    LockHolder holder(locked.Surface());
    ReleaseMemoryContexts();
    EXPECT_TRUE(locked.Surface().HandleAllocated());
    EXPECT_FALSE(unlocked.Surface().HandleAllocated());
    holder.Release();
    ReleaseMemoryContexts();
    EXPECT_FALSE(locked.Surface().HandleAllocated());
}
