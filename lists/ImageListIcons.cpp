// Many icons into the list at once. The platform scales an icon into its cell
// with one stretch of the colour bitmap and one of the mask, except where
// the colour bitmap carries alpha: those pixels it blends itself while it
// scales. So runs of icons without alpha are stretched here the same way,
// side by side in one strip that enters the list with one call, and each
// icon with alpha goes through the platform's own call. A plain bitmap image
// gives its colour and mask bitmaps straight from its bytes: making an icon
// object of it and reading that back would cost a hundred times more.
#include "lists/ImageList.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "base/ScopeGuard.h"
#include "graphics/GdiObject.h"
#include "graphics/Icon.h"
#include "graphics/IconSource.h"
#include "iconfile/IconImages.h"
#include "resources/StringIds.h"

namespace {
// One icon to append: the platform's bitmaps of an icon, or an image whose
// bytes are drawn here.
struct IconParts {
    HICON icon = nullptr;
    GdiIcon made;  // an icon made here of an image the bytes alone cannot draw
    GdiBitmap colour, mask;
    const unsigned char* image = nullptr;
    size_t imageSize = 0;
    TBitmapImageLayout layout;
    int width = 0, height = 0;
    bool ownScaling = true;  // only the platform's call draws it right
};

bool CarriesAlpha(HBITMAP colour, const BITMAP& shape) {
    if (shape.bmBitsPixel != 32) return false;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), shape.bmWidth, -shape.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(static_cast<size_t>(shape.bmWidth) * static_cast<size_t>(shape.bmHeight));
    WindowDC screen(nullptr);
    if (GetDIBits(screen.Get(), colour, 0, static_cast<UINT>(shape.bmHeight), pixels.data(), &format,
                  DIB_RGB_COLORS) != shape.bmHeight)
        return true;  // unread: left to the platform
    return std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return (p >> 24) != 0; });
}

void ReadIcon(IconParts& parts, HICON icon) {
    parts.icon = icon;
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return;
    parts.colour.Reset(info.hbmColor);
    parts.mask.Reset(info.hbmMask);
    BITMAP shape{};
    // Two-colour icons keep both halves in the mask: left to the platform.
    if (!parts.colour || !GetObjectA(parts.colour.Get(), sizeof shape, &shape)) return;
    parts.width = shape.bmWidth;
    parts.height = shape.bmHeight;
    parts.ownScaling = CarriesAlpha(parts.colour.Get(), shape);
}

// The icon the platform makes of the image at the image's own size.
HICON MakeIcon(IconParts& parts) {
    parts.made = IconFromImage(parts.image, parts.imageSize, static_cast<int>(parts.layout.width),
                               static_cast<int>(parts.layout.height));
    parts.image = nullptr;
    return parts.icon = parts.made.Get();
}

IconParts PartsOf(const TIconToAppend& entry) {
    IconParts parts;
    if (!entry.image) {
        ReadIcon(parts, entry.icon);
        return parts;
    }
    if (!BitmapImageLayout(entry.image, entry.imageSize, parts.layout)) return parts;
    parts.image = entry.image;
    parts.imageSize = entry.imageSize;
    // Alpha goes to the platform's own call anyway: that icon need not be read back.
    if (parts.layout.alpha) {
        MakeIcon(parts);
        return parts;
    }
    if (parts.layout.bits == 1) {
        ReadIcon(parts, MakeIcon(parts));
        return parts;
    }
    parts.width = static_cast<int>(parts.layout.width);
    parts.height = static_cast<int>(parts.layout.height);
    parts.ownScaling = false;
    return parts;
}

// Draws the image's colour rows at `x` of a bitmap of the screen's kind and
// its mask rows at `x` of a two-colour one, as the platform draws them into
// the bitmaps of the icon it would make of the image.
void DrawImage(const IconParts& parts, HDC colour, HDC mask, int x) {
    const TBitmapImageLayout& layout = parts.layout;
    // A plain header of the colour rows alone with the table as read: the
    // platform then reads nothing the image's own header may point past.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD table[256];
    } format{};
    const auto entries = static_cast<DWORD>(layout.entries);
    format.header = {sizeof(BITMAPINFOHEADER), parts.width, parts.height, 1, static_cast<WORD>(layout.bits), BI_RGB,
                     0, 0, 0, entries, 0};
    std::memcpy(format.table, parts.image + layout.tableAt, layout.entries * sizeof(RGBQUAD));
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } maskFormat{{sizeof(BITMAPINFOHEADER), parts.width, parts.height, 1, 1, BI_RGB, 0, 0, 0, 0, 0},
                 {{0, 0, 0, 0}, {255, 255, 255, 0}}};
    const auto lines = static_cast<UINT>(parts.height);
    if (!SetDIBitsToDevice(colour, x, 0, parts.width, parts.height, 0, 0, 0, lines, parts.image + layout.rowsAt,
                           reinterpret_cast<BITMAPINFO*>(&format), DIB_RGB_COLORS) ||
        !SetDIBitsToDevice(mask, x, 0, parts.width, parts.height, 0, 0, 0, lines, parts.image + layout.maskAt,
                           reinterpret_cast<BITMAPINFO*>(&maskFormat), DIB_RGB_COLORS))
        throw EInvalidOperation(LoadStr(SInvalidImageList));
}

// Stretches parts [first, end) into cells of `width` x `height` side by side,
// each with the stretch the platform gives an icon's bitmaps, and appends the
// strip as that many pictures.
void AppendRun(HIMAGELIST list, int width, int height, const std::vector<IconParts>& parts, size_t first,
               size_t end) {
    const int cells = static_cast<int>(end - first);
    GdiBitmap colour = ScreenBitmap(width * cells, height);
    GdiBitmap mask(CreateBitmap(width * cells, height, 1, 1, nullptr));
    // The run's images, drawn from their bytes at their own size, side by side.
    int imagesWidth = 0, imagesHeight = 0;
    for (size_t i = first; i < end; ++i)
        if (parts[i].image) {
            imagesWidth += parts[i].width;
            imagesHeight = std::max(imagesHeight, parts[i].height);
        }
    GdiBitmap imageColour = imagesWidth ? ScreenBitmap(imagesWidth, imagesHeight) : GdiBitmap();
    GdiBitmap imageMask(imagesWidth ? CreateBitmap(imagesWidth, imagesHeight, 1, 1, nullptr) : nullptr);
    if (!colour || !mask || (imagesWidth && (!imageColour || !imageMask)))
        throw EInvalidOperation(LoadStr(SInvalidImageList));
    {
        MemoryDC colourDC, maskDC, source, imageColourDC, imageMaskDC;
        SelectGuard toColour(colourDC.Get(), colour.Get());
        SelectGuard toMask(maskDC.Get(), mask.Get());
        SelectGuard toImageColour(imageColourDC.Get(), imageColour.Get());
        SelectGuard toImageMask(imageMaskDC.Get(), imageMask.Get());
        SetTextColor(colourDC.Get(), RGB(0, 0, 0));
        ::SetBkColor(colourDC.Get(), RGB(255, 255, 255));
        int imageX = 0;
        for (int cell = 0; cell < cells; ++cell) {
            const IconParts& icon = parts[first + static_cast<size_t>(cell)];
            const int x = cell * width, w = icon.width, h = icon.height;
            if (icon.image) {
                DrawImage(icon, imageColourDC.Get(), imageMaskDC.Get(), imageX);
                StretchBlt(colourDC.Get(), x, 0, width, height, imageColourDC.Get(), imageX, 0, w, h, SRCCOPY);
                StretchBlt(maskDC.Get(), x, 0, width, height, imageMaskDC.Get(), imageX, 0, w, h, SRCCOPY);
                imageX += w;
                continue;
            }
            {
                SelectGuard from(source.Get(), icon.colour.Get());
                StretchBlt(colourDC.Get(), x, 0, width, height, source.Get(), 0, 0, w, h, SRCCOPY);
            }
            SelectGuard from(source.Get(), icon.mask.Get());
            StretchBlt(maskDC.Get(), x, 0, width, height, source.Get(), 0, 0, w, h, SRCCOPY);
        }
    }
    if (ImageList_Add(list, colour.Get(), mask.Get()) < 0) throw EInvalidOperation(LoadStr(SInvalidImageList));
}
}  // namespace

void TCustomImageList::AppendIcons(const std::vector<TIconToAppend>& icons) {
    auto batch = BeginEnd(*this, &TCustomImageList::BeginBatch, &TCustomImageList::EndBatch);
    HIMAGELIST list = PlatformHandle();
    std::vector<IconParts> parts;
    parts.reserve(icons.size());
    for (const TIconToAppend& icon : icons) parts.push_back(PartsOf(icon));
    const auto joins = [this](const IconParts& p) {
        return masked_ && !p.ownScaling && p.width >= width_ && p.height >= height_;
    };
    for (size_t first = 0; first < parts.size();) {
        if (!joins(parts[first])) {
            TIcon lent;
            lent.SetGdiHandle(parts[first].image ? MakeIcon(parts[first]) : parts[first].icon, THandleUse::Borrowed);
            AppendIcon(&lent);
            ++first;
            continue;
        }
        size_t end = first + 1;
        while (end < parts.size() && joins(parts[end])) ++end;
        AppendRun(list, width_, height_, parts, first, end);
        NotifyChange();
        first = end;
    }
}
