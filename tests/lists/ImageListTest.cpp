#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/Exceptions.h"
#include "fixtures.h"
#include "graphics/Icon.h"
#include "graphics/IconSource.h"
#include "lists/ImageList.h"
#include "tests/support/ErrorText.h"
#include "tests/support/Pictures.h"

namespace {
// threeicons.dll holds a red disc, a lime triangle and a blue diamond, 32 x 32.
std::unique_ptr<TIcon> FixtureIcon(int index) {
    std::string path = std::string(TULVAR_FIXTURE_DIR) + "\\threeicons.dll";
    auto icon = std::make_unique<TIcon>();
    icon->SetGdiHandle(ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), index));
    return icon;
}

// The picture at `index`, named by its main colour: 'r', 'g', 'b', 'k' (black),
// or '?' when no colour stands out.
char PictureKind(TCustomImageList& list, int index) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP cell = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, cell);
    RECT all{0, 0, 16, 16};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(list.PlatformHandle(), index, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    int red = 0, green = 0, blue = 0, black = 0;
    for (int i = 0; i < 256; ++i) {
        const auto* p = static_cast<const unsigned char*>(bits) + i * 4;  // B G R x
        if (p[2] > 200 && p[1] < 60 && p[0] < 60) ++red;
        if (p[1] > 200 && p[2] < 60 && p[0] < 60) ++green;
        if (p[0] > 200 && p[2] < 60 && p[1] < 60) ++blue;
        if (p[0] < 30 && p[1] < 30 && p[2] < 30) ++black;
    }
    SelectObject(dc, old);
    DeleteObject(cell);
    DeleteDC(dc);
    if (black == 256) return 'k';
    if (red > 20 && red > green && red > blue) return 'r';
    if (green > 20 && green > blue) return 'g';
    if (blue > 20) return 'b';
    return '?';
}

std::vector<COLORREF> Cell(TCustomImageList& list, int index, UINT style) {
    return CellPixels(list.PlatformHandle(), index, style);
}

std::string Kinds(TCustomImageList& list) {
    std::string kinds;
    for (int i = 0; i < list.ImageCount(); ++i) kinds += PictureKind(list, i);
    return kinds;
}

// Fills the list with the fixture icons in the given order, each inserted last.
void Fill(TCustomImageList& list, std::initializer_list<int> icons) {
    for (int index : icons) list.InsertIconAt(list.ImageCount(), FixtureIcon(index).get());
}

struct Listener {
    TChangeLink link;
    std::vector<TCustomImageList*> told;
    explicit Listener(TCustomImageList& list) {
        link.OnChange = [this](TCustomImageList* sender) { told.push_back(sender); };
        list.AttachListener(&link);
    }
};
}  // namespace

TEST(ImageList, AFreshListHasSixteenPixelCellsNoPicturesAndEmptiesQuietly) {
    TImageList list(nullptr);
    EXPECT_EQ(list.Width(), 16);
    EXPECT_EQ(list.Height(), 16);
    EXPECT_EQ(list.ImageCount(), 0);
    EXPECT_FALSE(list.HandleAllocated());
    list.EmptyImages();
    EXPECT_FALSE(list.HandleAllocated());
    EXPECT_EQ(list.BkColor(), clNone);
    EXPECT_TRUE(list.Masked());
}

TEST(ImageList, ACellSizeOutOfRangeIsRefused) {
    const struct {
        int width, height;
        bool refused;
    } rows[] = {{0, 16, true}, {16, 0, true}, {16, 32769, true}, {-1, 16, true}, {1, 1, false}, {16, 32768, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + " x " + std::to_string(row.height));
        EXPECT_EQ(ErrorText<EInvalidOperation>([&] { TCustomImageList(row.width, row.height); }),
                  row.refused ? "无效的图象大小" : "(no error)");
    }
}

TEST(ImageList, IconsInsertedInTurnAreScaledIntoTheCellsInTheirOrder) {
    TImageList list(nullptr);
    Fill(list, {0, 1, 2});
    EXPECT_EQ(list.ImageCount(), 3);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list.PlatformHandle(), &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);
    EXPECT_EQ(Kinds(list), "rgb");
}

TEST(ImageList, IconsAppendedTogetherGetThePixelsOfIconsAppendedOneByOne) {
    // Plain icons and icons whose pixels carry alpha, in runs and alone.
    std::vector<std::unique_ptr<TIcon>> icons;
    const std::string system = [] {
        char folder[MAX_PATH] = {};
        GetSystemDirectoryA(folder, MAX_PATH);
        return std::string(folder) + "\\shell32.dll";
    }();
    const std::string discs = std::string(TULVAR_FIXTURE_DIR) + "\\pngdiscs.ico";
    for (const auto& [path, index] : std::vector<std::pair<std::string, int>>{
             {"", 0}, {system, 3}, {"", 1}, {"", 2}, {system, 15}, {discs, 0}, {"", 2}}) {
        if (path.empty()) {
            icons.push_back(FixtureIcon(index));
            continue;
        }
        icons.push_back(std::make_unique<TIcon>());
        icons.back()->SetGdiHandle(ExtractIconA(GetModuleHandleA(nullptr), path.c_str(), index));
        ASSERT_NE(icons.back()->GdiHandle(), nullptr) << path;
    }
    TImageList one(nullptr), together(nullptr);
    std::vector<TIconToAppend> handles;
    for (const auto& icon : icons) {
        one.AppendIcon(icon.get());
        handles.push_back({icon->GdiHandle(), nullptr, 0});
    }
    Listener told(together);
    together.AppendIcons(handles);
    EXPECT_EQ(told.told.size(), 1u);
    ASSERT_EQ(together.ImageCount(), one.ImageCount());
    EXPECT_EQ(Kinds(together), "r?gb??b");
    for (int i = 0; i < one.ImageCount(); ++i)
        for (UINT style : {ILD_NORMAL, ILD_MASK}) EXPECT_EQ(Cell(together, i, style), Cell(one, i, style)) << i;
}

TEST(ImageList, ImagesAppendedFromTheirBytesGetThePixelsOfTheirIcons) {
    // The disc at 1, 4, 8, 16, 24 and 32 bits without alpha, then with it.
    TIconSource source;
    const int count = source.Count(std::string(TULVAR_FIXTURE_DIR) + "\\depthgroups.icl");
    ASSERT_EQ(count, 7);
    std::vector<GdiIcon> icons;
    std::vector<TIconToAppend> entries;
    for (int i = 0; i < count; ++i) {
        icons.push_back(source.Icon(i));
        const TIconImageRef* image = source.PlainImage(i);
        ASSERT_NE(image, nullptr) << i;
        entries.push_back({nullptr, image->bytes, image->size});
    }
    // A list without masks takes them one by one.
    for (bool masked : {true, false}) {
        TImageList one(nullptr), together(nullptr);
        for (TImageList* list : {&one, &together}) list->SetMasked(masked);
        for (const GdiIcon& icon : icons) {
            TIcon lent;
            lent.SetGdiHandle(icon.Get(), THandleUse::Borrowed);
            one.AppendIcon(&lent);
        }
        together.AppendIcons(entries);
        ASSERT_EQ(together.ImageCount(), count);
        for (int i = 0; i < count; ++i)
            for (UINT style : {ILD_NORMAL, ILD_MASK})
                EXPECT_EQ(Cell(together, i, style), Cell(one, i, style)) << masked << " " << i;
    }
    // An icon the platform scales from its image is no image of its own.
    ASSERT_EQ(source.Count(std::string(TULVAR_FIXTURE_DIR) + "\\depths.ico"), 1);
    EXPECT_EQ(source.PlainImage(0), nullptr);
}

TEST(ImageList, InsertingAtAnyPositionMovesTheLaterPicturesOn) {
    const struct {
        int position;
        const char* kinds;
    } rows[] = {{0, "brg"}, {1, "rbg"}, {2, "rgb"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.position);
        TImageList list(nullptr);
        Fill(list, {0, 1});
        list.InsertIconAt(row.position, FixtureIcon(2).get());
        EXPECT_EQ(Kinds(list), row.kinds);
    }
}

TEST(ImageList, APositionBeyondTheCountIsRefusedAndLeavesTheListEmpty) {
    TImageList list(nullptr);
    Fill(list, {0, 1});
    Listener listener(list);
    EXPECT_EQ(ErrorText<EInvalidOperation>([&] { list.InsertIconAt(5, FixtureIcon(2).get()); }),
              "无效的图象列表索引");
    EXPECT_EQ(list.ImageCount(), 0);
    EXPECT_EQ(listener.told.size(), 1u);  // the batch still ends
    EXPECT_EQ(ErrorText<EInvalidOperation>([&] { list.RemoveImageAt(0); }), "无效的图象列表索引");
}

TEST(ImageList, WhatTheListRefusesAddsNothing) {
    TImageList list(nullptr);
    TIcon withoutHandle;
    withoutHandle.SetGdiHandle(nullptr);
    EXPECT_EQ(list.AppendIcon(&withoutHandle), -1);
    EXPECT_EQ(list.ImageCount(), 0);
    TCustomImageList large(48, 48);
    EXPECT_EQ(ErrorText<EInvalidOperation>([&] { large.AppendIcon(FixtureIcon(0).get()); }), "无效的图象大小");
    EXPECT_EQ(large.ImageCount(), 0);
    // No icon at all stands the black scratch picture in.
    EXPECT_EQ(list.AppendIcon(nullptr), 0);
    EXPECT_EQ(Kinds(list), "k");
}

TEST(ImageListNotices, EachListenerIsToldOncePerChangeInTheOrderTheyCame) {
    TImageList list(nullptr);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    Listener first(list), second(list);
    std::vector<std::string> order;
    first.link.OnChange = [&](TCustomImageList* sender) {
        EXPECT_EQ(sender, &list);
        order.push_back("first " + std::to_string(list.ImageCount()));
    };
    second.link.OnChange = [&](TCustomImageList*) { order.push_back("second " + std::to_string(list.ImageCount())); };
    list.EmptyImages();
    Fill(list, {0, 1, 2});
    list.InsertIconAt(1, FixtureIcon(0).get());
    // Told after all pictures are in place: the count is already the new one.
    EXPECT_EQ(order, (std::vector<std::string>{"first 0", "second 0", "first 1", "second 1", "first 2", "second 2",
                                               "first 3", "second 3", "first 4", "second 4"}));
    EXPECT_EQ(changes, 5);
}

TEST(ImageListNotices, OnlyTheOutermostBatchTellsAndADetachedListenerHearsNothing) {
    TImageList list(nullptr);
    Listener kept(list), dropped(list);
    list.DetachListener(&dropped.link);
    EXPECT_EQ(dropped.link.Sender(), nullptr);
    list.BeginBatch();
    list.BeginBatch();
    list.AppendIcon(FixtureIcon(0).get());
    list.AppendIcon(FixtureIcon(1).get());
    list.EndBatch();
    EXPECT_TRUE(kept.told.empty());
    list.EndBatch();
    EXPECT_EQ(kept.told.size(), 1u);
    list.EndBatch();  // one too many: the count stays at 0 and the list, once changed, tells again
    EXPECT_EQ(kept.told.size(), 2u);
    EXPECT_TRUE(dropped.told.empty());
}

TEST(ImageListNotices, ListenersAndListsMayGoInEitherOrder) {
    auto list = std::make_unique<TImageList>(nullptr);
    auto early = std::make_unique<Listener>(*list);
    Listener late(*list);
    early.reset();  // detaches itself
    list->EmptyImages();
    EXPECT_EQ(late.told.size(), 1u);
    list.reset();  // detaches the rest
    EXPECT_EQ(late.link.Sender(), nullptr);
}

TEST(ImageList, CopyingAListTakesItsSettingsCellsAndPictures) {
    TImageList source(nullptr);
    source.SetDrawingStyle(TDrawingStyle::dsTransparent);
    source.SetBkColor(static_cast<TColor>(RGB(1, 2, 3)));
    Fill(source, {2, 0});
    TCustomImageList copy(5, 5);
    copy.CopyListFrom(&source);
    EXPECT_EQ(copy.Width(), 16);
    EXPECT_EQ(copy.Height(), 16);
    EXPECT_EQ(copy.DrawingStyle(), TDrawingStyle::dsTransparent);
    EXPECT_EQ(copy.BkColor(), static_cast<TColor>(RGB(1, 2, 3)));
    ASSERT_EQ(copy.ImageCount(), 2);
    // A background colour shows through the masks: compare against the source's own drawing.
    EXPECT_EQ(Kinds(copy), Kinds(source));
}

TEST(ImageList, CopyingAPictureOutGivesAnIconOfTheCell) {
    TImageList list(nullptr);
    Fill(list, {1});
    TIcon out;
    list.CopyIconOut(0, &out);
    ASSERT_NE(out.GdiHandle(), nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(out.GdiHandle(), &info));
    BITMAP mask{};
    GetObjectA(info.hbmMask, sizeof mask, &mask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(mask.bmWidth, 16);
    TImageList again(nullptr);
    again.AppendIcon(&out);
    EXPECT_EQ(Kinds(again), "g");
}
