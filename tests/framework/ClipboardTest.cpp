#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <typeinfo>
#include <vector>

#include "base/Exceptions.h"
#include "base/UniqueHandle.h"
#include "framework/Application.h"
#include "framework/Clipboard.h"
#include "graphics/Picture.h"
#include "tests/support/ClipboardPeekProcess.h"
#include "tests/support/GuiTest.h"
#include "tests/support/Pictures.h"

namespace {
// Colours as the helper prints them: "rrggbb rrggbb ...".
void AddHex(std::string& text, BYTE r, BYTE g, BYTE b) {
    char hex[8];
    snprintf(hex, sizeof hex, "%02x%02x%02x", r, g, b);
    text += (text.empty() ? "" : " ") + std::string(hex);
}

std::string Pixels(TBitmap& b) {
    std::string text;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            COLORREF c = b.Surface().PixelAt(x, y);
            AddHex(text, GetRValue(c), GetGValue(c), GetBValue(c));
        }
    return text;
}

std::string PaletteColours(HPALETTE palette) {
    PALETTEENTRY entries[256];
    std::string text;
    for (UINT i = 0, count = GetPaletteEntries(palette, 0, 256, entries); i < count; ++i)
        AddHex(text, entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
    return text;
}

struct Pictures {
    TBitmap pattern, eightBit;
    TPicture preview;  // shows `pattern`
    Pictures() {
        // Like the preview: a 32 x 32 image drawn on white, every inner pixel its own colour.
        FillBitmap(pattern, 32, 32, RGB(255, 255, 255));
        for (int y = 2; y < 30; ++y)
            for (int x = 2; x < 30; ++x)
                SetPixelV(pattern.Surface().GdiHandle(), x, y, RGB(x * 8, y * 8, 255 - x * 4));
        preview.SetContent(&pattern);
        // 2 x 2, 8 bits per pixel, a colour table of red and blue: a bitmap with a palette.
        eightBit.LoadFromStream(
            BmpFile(2, 2, 8, {{0, 0, 255, 0}, {255, 0, 0, 0}}, std::string("\0\1\0\0\1\0\0\0", 8)));
    }
};

// Takes every free GDI handle of the process but `leaveFree`, until the result goes.
std::vector<GdiPen> TakeGdiHandles(size_t leaveFree = 0) {
    std::vector<GdiPen> taken;
    taken.reserve(70000);
    for (GdiPen pen(CreatePen(PS_SOLID, 1, 0)); pen; pen.Reset(CreatePen(PS_SOLID, 1, 0)))
        taken.push_back(std::move(pen));
    taken.resize(taken.size() > leaveFree ? taken.size() - leaveFree : 0);
    return taken;
}

// The process's GDI objects. Wine does not count them: there the free room of
// the handle table stands in, so only differences mean anything.
long GdiObjectsInUse() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(count);
    return -static_cast<long>(TakeGdiHandles().size());
}

void ExpectClosed() {
    EXPECT_EQ(Clipboard().OpenCount(), 0);
    EXPECT_EQ(Clipboard().OwnerWindow(), nullptr);
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}
}  // namespace

TEST(ClipboardCopy, EachCopyReplacesAllElseWithTheImageAndAPaletteOnlyWhenThePictureHasOne) {
    Pictures p;
    TPicture noImage;
    TBitmap emptyBitmap;
    std::string patternPixels = Pixels(p.pattern), eightBitPixels = Pixels(p.eightBit);
    std::string eightBitPalette = PaletteColours(p.eightBit.Palette());
    ASSERT_EQ(eightBitPalette.substr(0, 13), "ff0000 0000ff");
    struct {
        std::function<void()> copy;
        const char* size;
        std::string pixels, palette;
    } copies[] = {{[&] { Clipboard().PutPicture(&p.preview); }, "32x32", patternPixels, "none"},
                  {[&] { Clipboard().PutPicture(&p.eightBit); }, "2x2", eightBitPixels, eightBitPalette},
                  {[&] { Clipboard().PutPicture(&p.preview); }, "32x32", patternPixels, "none"},
                  {[&] { Clipboard().PutPicture(&noImage); }, "none", "none", "none"},
                  {[&] { Clipboard().PutPicture(&emptyBitmap); }, "none", "none", "none"}};
    for (auto& row : copies) {
        Peek("text old").Finish();
        row.copy();
        ExpectClosed();
        auto seen = Peek("read").Finish();
        EXPECT_EQ(seen["bitmap"], row.size);
        EXPECT_EQ(seen["pixels"], row.pixels);
        EXPECT_EQ(seen["palette"], row.palette);
        EXPECT_EQ(seen["text"], "none");
    }
    // The pictures keep their own images.
    EXPECT_EQ(Pixels(*p.preview.Bitmap()), patternPixels);
    EXPECT_EQ(Pixels(p.eightBit), eightBitPixels);
}

TEST(ClipboardCopy, FailsAtOnceWhileAnotherProgramHoldsTheClipboardAndLeavesItsContent) {
    Pictures p;
    Clipboard().PutPicture(&p.preview);
    Peek holder("hold");
    ASSERT_EQ(holder.ReadLine(), "held");
    DWORD started = GetTickCount();
    try {
        Clipboard().PutPicture(&p.eightBit);
        ADD_FAILURE() << "the copy went through";
    } catch (const Exception& e) {
        EXPECT_EQ(typeid(e), typeid(Exception));
        EXPECT_EQ(e.Message, "无法打开剪贴板");
    }
    EXPECT_LT(GetTickCount() - started, 1000u);
    EXPECT_EQ(Clipboard().OpenCount(), 0);
    EXPECT_EQ(Clipboard().OwnerWindow(), nullptr);
    holder.Finish();
    auto seen = Peek("read").Finish();
    EXPECT_EQ(seen["bitmap"], "32x32");
    EXPECT_EQ(seen["pixels"], Pixels(p.pattern));
}

TEST(ClipboardNestedUse, EmptiesOnceAndOnlyTheOutermostCloseLetsTheClipboardGo) {
    ASSERT_EQ(&Clipboard(), &Clipboard());
    TForm* mainForm = Application.MainForm();
    for (bool withForm : {false, true}) {
        SCOPED_TRACE(withForm ? "owned by the main form" : "owned by a hidden window");
        TTestForm form;
        form.HandleNeeded();
        if (withForm) Application.SetMainForm(&form);
        TClipboard& clipboard = Clipboard();
        clipboard.BeginClipboardUse();
        clipboard.BeginClipboardUse();
        HWND owner = clipboard.OwnerWindow();
        EXPECT_EQ(GetOpenClipboardWindow(), owner);
        EXPECT_EQ(owner == form.Handle(), withForm);
        clipboard.EmptyClipboardOnce();
        HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 7);
        lstrcpyA(static_cast<char*>(GlobalLock(text)), "nested");
        GlobalUnlock(text);
        ASSERT_TRUE(SetClipboardData(CF_TEXT, text));
        clipboard.EmptyClipboardOnce();
        EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
        clipboard.EndClipboardUse();
        EXPECT_EQ(GetOpenClipboardWindow(), owner);
        EXPECT_EQ(Peek("read").ReadLine(), "busy");
        clipboard.EndClipboardUse();
        ExpectClosed();
        EXPECT_EQ(IsWindow(owner) != FALSE, withForm);
        clipboard.EndClipboardUse();  // one close too many changes nothing
        EXPECT_EQ(clipboard.OpenCount(), 0);
        EXPECT_EQ(Peek("read").Finish()["text"], "nested");
        Application.SetMainForm(mainForm);
    }
}

TEST(ClipboardCopy, CopiesKeepNoGdiObjectsAlsoWhenTheyFail) {
    Pictures p;
    int ranOut = 0;
    auto copies = [&] {
        Clipboard().PutPicture(&p.preview);
        {
            Peek holder("hold");
            ASSERT_EQ(holder.ReadLine(), "held");
            EXPECT_THROW(Clipboard().PutPicture(&p.eightBit), Exception);
        }
        // Each step that makes a handle finds none left, in turn.
        for (size_t free = 0; free < 8; ++free) {
            std::vector<GdiPen> taken = TakeGdiHandles(free);
            try {
                Clipboard().PutPicture(&p.eightBit);
            } catch (const EOutOfResources&) {
                ++ranOut;
            }
            taken.clear();
            ExpectClosed();
        }
        Clipboard().PutPicture(&p.eightBit);
    };
    copies();
    long before = GdiObjectsInUse();
    for (int round = 0; round < 3; ++round) copies();
    EXPECT_GT(ranOut, 0);
    EXPECT_EQ(GdiObjectsInUse(), before);
}
