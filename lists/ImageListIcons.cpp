// Many icons into the list at once. The platform scales an icon into its cell
// with one stretch of the colour bitmap and one of the mask, except where
// the colour bitmap carries alpha: those pixels it blends itself while it
// scales. So runs of icons without alpha are stretched here the same way,
// side by side in one strip that enters the list with one call, and each
// icon with alpha goes through the platform's own call.
#include "lists/ImageList.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "base/ScopeGuard.h"
#include "graphics/GdiObject.h"
#include "graphics/Icon.h"
#include "resources/StringIds.h"

namespace {
struct IconParts {
    HICON icon;
    GdiBitmap colour, mask;
    BITMAP shape{};
    bool ownScaling = false;  // only the platform's call draws it right
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

IconParts PartsOf(HICON icon) {
    IconParts parts{icon, {}, {}, {}, true};
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return parts;
    parts.colour.Reset(info.hbmColor);
    parts.mask.Reset(info.hbmMask);
    // Two-colour icons keep both halves in the mask: left to the platform.
    if (!parts.colour || !GetObjectA(parts.colour.Get(), sizeof parts.shape, &parts.shape)) return parts;
    parts.ownScaling = CarriesAlpha(parts.colour.Get(), parts.shape);
    return parts;
}
}  // namespace

void TCustomImageList::AppendIcons(const std::vector<HICON>& icons) {
    auto batch = BeginEnd(*this, &TCustomImageList::BeginBatch, &TCustomImageList::EndBatch);
    HIMAGELIST list = PlatformHandle();
    std::vector<IconParts> parts;
    parts.reserve(icons.size());
    for (HICON icon : icons) parts.push_back(PartsOf(icon));
    for (size_t first = 0; first < parts.size();) {
        const IconParts& at = parts[first];
        if (!masked_ || at.ownScaling || at.shape.bmWidth < width_ || at.shape.bmHeight < height_) {
            TIcon lent;
            lent.SetGdiHandle(at.icon, THandleUse::Borrowed);
            AppendIcon(&lent);
            ++first;
            continue;
        }
        size_t end = first + 1;
        while (end < parts.size() && !parts[end].ownScaling && parts[end].shape.bmWidth >= width_ &&
               parts[end].shape.bmHeight >= height_)
            ++end;
        const int cells = static_cast<int>(end - first);
        GdiBitmap colour = ScreenBitmap(width_ * cells, height_);
        GdiBitmap mask(CreateBitmap(width_ * cells, height_, 1, 1, nullptr));
        if (!colour || !mask) throw EInvalidOperation(LoadStr(SInvalidImageList));
        {
            MemoryDC colourDC, maskDC, source;
            SelectGuard toColour(colourDC.Get(), colour.Get());
            SelectGuard toMask(maskDC.Get(), mask.Get());
            SetTextColor(colourDC.Get(), RGB(0, 0, 0));
            ::SetBkColor(colourDC.Get(), RGB(255, 255, 255));
            for (int cell = 0; cell < cells; ++cell) {
                const IconParts& icon = parts[first + static_cast<size_t>(cell)];
                const int x = cell * width_, w = icon.shape.bmWidth, h = icon.shape.bmHeight;
                {
                    SelectGuard from(source.Get(), icon.colour.Get());
                    StretchBlt(colourDC.Get(), x, 0, width_, height_, source.Get(), 0, 0, w, h, SRCCOPY);
                }
                SelectGuard from(source.Get(), icon.mask.Get());
                StretchBlt(maskDC.Get(), x, 0, width_, height_, source.Get(), 0, 0, w, h, SRCCOPY);
            }
        }
        if (ImageList_Add(list, colour.Get(), mask.Get()) < 0) throw EInvalidOperation(LoadStr(SInvalidImageList));
        NotifyChange();
        first = end;
    }
}
