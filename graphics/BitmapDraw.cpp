// Drawing a bitmap into a rectangle, plain or transparent through its cached mask.
#include "base/PlatformError.h"
#include "graphics/Bitmap.h"

namespace {
int ColourDepth(HDC dc) { return GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES); }
}  // namespace

GdiBitmap TBitmap::MakeMask(HBITMAP handle, HPALETTE palette, TColor color) {
    if (!handle) return GdiBitmap();
    DIBSECTION d{};
    int described = GetObjectA(handle, sizeof d, &d);
    if (!described) return GdiBitmap();
    UnselectEverywhere(handle);
    int width = d.dsBm.bmWidth, height = std::abs(d.dsBm.bmHeight);
    GdiBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));  // outlives the context it is selected into
    if (!mask) RaiseLastPlatformError();
    WindowDC screen(nullptr);
    MemoryDC maskDC(screen.Get());
    if (!maskDC) RaiseLastPlatformError();
    SelectGuard keepMask(maskDC.Get(), mask.Get());
    if (color == clNone) {
        PatBlt(maskDC.Get(), 0, 0, width, height, BLACKNESS);  // nothing is transparent
        return mask;
    }
    MemoryDC sourceDC(screen.Get());
    GdiBitmap copy;
    HBITMAP source = handle;
    if (described == sizeof(DIBSECTION)) {
        // Colour-to-mono conversion wants a device-dependent source.
        copy.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
        MemoryDC section(screen.Get());
        SelectGuard a(section.Get(), handle);
        SelectGuard b(sourceDC.Get(), copy.Get());
        BitBlt(sourceDC.Get(), 0, 0, width, height, section.Get(), 0, 0, SRCCOPY);
        source = copy.Get();
    }
    SelectGuard keepSource(sourceDC.Get(), source);
    PaletteGuard sourcePalette(sourceDC.Get(), palette);
    PaletteGuard maskPalette(maskDC.Get(), palette);
    COLORREF oldBack = SetBkColor(sourceDC.Get(), ColorToRGB(color & 0x00FFFFFF));
    BitBlt(maskDC.Get(), 0, 0, width, height, sourceDC.Get(), 0, 0, SRCCOPY);
    SetBkColor(sourceDC.Get(), oldBack);
    return mask;
}

HBITMAP TBitmap::MaskHandle() {
    if (maskCurrent_ && maskPixelsCurrent_ && image_->MaskGdiHandle) return image_->MaskGdiHandle;
    image_->ReplaceMask(GdiBitmap());
    FreeContext();
    TColor color = TransparentColor();
    FreeContext();  // reading the corner pixel took the context
    image_->ReplaceMask(MakeMask(image_->GdiHandle, Palette(), color));
    maskCurrent_ = true;
    maskPixelsCurrent_ = true;
    return image_->MaskGdiHandle;
}

void MaskedStretchCopy(HDC target, const RECT& to, HDC source, const RECT& from, HDC mask, POINT maskOrigin) {
    int dw = to.right - to.left, dh = to.bottom - to.top;
    int sw = from.right - from.left, sh = from.bottom - from.top;
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT && dw == sw && dh == sh) {
        // Hand the mask over to MaskBlt by parking a 1 x 1 bitmap in its context.
        GdiBitmap parking(CreateCompatibleBitmap(source, 1, 1));
        auto maskBitmap = static_cast<HBITMAP>(GetCurrentObject(mask, OBJ_BITMAP));
        SelectGuard park(mask, parking.Get());
        MaskBlt(target, to.left, to.top, dw, dh, source, from.left, from.top, maskBitmap, maskOrigin.x,
                maskOrigin.y, MAKEROP4(0x00AA0029, SRCCOPY));
        return;
    }
    MemoryDC memory(source);
    if (!memory) RaiseLastPlatformError();
    GdiBitmap work(CreateCompatibleBitmap(source, sw, sh));
    if (!work) RaiseLastPlatformError();
    SelectGuard keepWork(memory.Get(), work.Get());
    auto sourcePalette = static_cast<HPALETTE>(GetCurrentObject(source, OBJ_PAL));
    PaletteGuard keepPalette(memory.Get(), sourcePalette ? sourcePalette : SystemPalette16());
    StretchBlt(memory.Get(), 0, 0, sw, sh, mask, maskOrigin.x, maskOrigin.y, sw, sh, SRCCOPY);
    StretchBlt(memory.Get(), 0, 0, sw, sh, source, from.left, from.top, sw, sh, SRCERASE);
    COLORREF oldText = SetTextColor(target, 0x000000), oldBack = SetBkColor(target, 0xFFFFFF);
    StretchBlt(target, to.left, to.top, dw, dh, mask, maskOrigin.x, maskOrigin.y, sw, sh, SRCAND);
    StretchBlt(target, to.left, to.top, dw, dh, memory.Get(), 0, 0, sw, sh, SRCINVERT);
    SetTextColor(target, oldText);
    SetBkColor(target, oldBack);
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
    HDC target = canvas.GdiHandle();
    int width = Width(), height = Height();
    PaletteGuard keepPalette(target, Palette());

    const BITMAP& bm = image_->Description.dsBm;
    int sourceDepth = bm.bmBitsPixel * bm.bmPlanes;
    int targetDepth = ColourDepth(target);
    if (targetDepth <= 8 && targetDepth < sourceDepth) {
        POINT origin;
        GetBrushOrgEx(target, &origin);
        SetStretchBltMode(target, HALFTONE);
        SetBrushOrgEx(target, origin.x, origin.y, nullptr);
    } else if (!(bm.bmBitsPixel == 1 && bm.bmPlanes == 1)) {
        SetStretchBltMode(target, COLORONCOLOR);
    }
    HBITMAP mask = Transparent() ? MaskHandle() : nullptr;
    if (Empty()) return;
    HDC source = Surface().ReadHandle();
    RECT from{0, 0, width, height};
    if (!Transparent()) {
        StretchBlt(target, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source, 0, 0,
                   width, height, canvas.CopyMode);
        return;
    }
    MemoryDC maskDC(nullptr);
    if (!maskDC) RaiseLastPlatformError();
    SelectGuard keepMask(maskDC.Get(), mask);
    MaskedStretchCopy(target, rect, source, from, maskDC.Get(), {0, 0});
}

void TBitmap::ConvertToMask(TColor color) {
    FreeContext();
    TColor rgb = static_cast<TColor>(ColorToRGB(color));
    GdiBitmap mask = MakeMask(image_->GdiHandle, Palette(), rgb);
    DIBSECTION d{};
    GetObjectA(mask.Get(), sizeof d, &d);
    GdiPalette palette = CopyPalette(image_->Palette);
    NewImage(std::move(mask), std::move(palette), d);
    Changed();
}
