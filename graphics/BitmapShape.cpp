// Re-shaping: a new bitmap of a wanted shape that keeps the old pixels top-left.
#include <cstring>
#include <vector>

#include "base/Exceptions.h"
#include "base/PlatformError.h"
#include "base/ResStrings.h"
#include "graphics/Bitmap.h"
#include "resources/StringIds.h"

namespace {
struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// Fills the colour table of a new section of at most 8 bits per pixel.
void FillColorTable(BitmapInfo256& info, HBITMAP oldHandle, HPALETTE newPalette, HDC screen) {
    int bits = info.header.biBitCount;
    DIBSECTION old{};
    bool oldIsSection = oldHandle && GetObjectA(oldHandle, sizeof old, &old) == sizeof(DIBSECTION);
    if (bits == 1 && (!oldHandle || !oldIsSection)) {
        info.colors[0] = {0, 0, 0, 0};
        info.colors[1] = {255, 255, 255, 0};
        info.header.biClrUsed = 2;
        return;
    }
    if (newPalette) {
        // The header's colours-used stays as the target has it (0 for a
        // converted image): the section keeps its whole table, the palette's
        // entries first, however few they are.
        PALETTEENTRY entries[256];
        UINT count = GetPaletteEntries(newPalette, 0, 256, entries);
        for (UINT i = 0; i < count; ++i)
            info.colors[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
        return;
    }
    if (oldIsSection) {
        MemoryDC dc(screen);
        SelectGuard keep(dc.Get(), oldHandle);
        info.header.biClrUsed = GetDIBColorTable(dc.Get(), 0, 256, info.colors);
        return;
    }
    if (oldHandle) {
        BitmapInfo256 probe{};
        probe.header = info.header;
        GetDIBits(screen, oldHandle, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&probe), DIB_RGB_COLORS);
        std::memcpy(info.colors, probe.colors, sizeof info.colors);
    }
}
}  // namespace

void UseCanvasColors(HDC dc, TCanvas& canvas) {
    SetTextColor(dc, ColorToRGB(canvas.Font.Color()));
    SetBkColor(dc, ColorToRGB(canvas.Brush.Color()));
}

bool IsPlainRgb(const DIBSECTION& d) {
    if (d.dsBmih.biCompression == BI_RGB) return true;
    if (d.dsBmih.biCompression != BI_BITFIELDS) return false;
    if (d.dsBmih.biBitCount == 16) return d.dsBitfields[0] == 0x7C00 && d.dsBitfields[1] == 0x03E0 && d.dsBitfields[2] == 0x001F;
    if (d.dsBmih.biBitCount == 32) return d.dsBitfields[0] == 0xFF0000 && d.dsBitfields[1] == 0xFF00 && d.dsBitfields[2] == 0xFF;
    return false;
}

namespace {
bool HasNoPixels(const DIBSECTION& target) {
    return target.dsBmih.biSize != 0 ? (target.dsBmih.biWidth == 0 || target.dsBmih.biHeight == 0)
                                     : (target.dsBm.bmWidth == 0 || target.dsBm.bmHeight == 0);
}

// A handle the platform cannot describe is no bitmap at all.
void CheckReadable(HBITMAP handle) {
    if (!handle) return;
    BITMAP probe{};
    if (GetObjectA(handle, sizeof probe, &probe) < static_cast<int>(sizeof probe))
        throw EInvalidGraphic(LoadStr(SInvalidGraphic));
}

// Bit fields not given are the 5-6-5 or 8-8-8 layout.
void FillBitFields(BitmapInfo256& info, DIBSECTION& target) {
    if (target.dsBitfields[0] == 0 && target.dsBitfields[1] == 0 && target.dsBitfields[2] == 0) {
        bool sixteen = info.header.biBitCount == 16;
        target.dsBitfields[0] = sixteen ? 0xF800 : 0xFF0000;
        target.dsBitfields[1] = sixteen ? 0x07E0 : 0x00FF00;
        target.dsBitfields[2] = sixteen ? 0x001F : 0x0000FF;
    }
    std::memcpy(info.colors, target.dsBitfields, sizeof target.dsBitfields);
}

// The header, colour table or bit fields of the wanted section; the screen's
// depth when none is asked for.
BitmapInfo256 SectionInfo(DIBSECTION& target, HBITMAP oldHandle, HPALETTE newPalette, HDC screen) {
    BitmapInfo256 info{};
    info.header = target.dsBmih;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biPlanes = 1;
    if (info.header.biBitCount == 0)
        info.header.biBitCount = static_cast<WORD>(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES));
    target.dsBm.bmWidth = info.header.biWidth;
    target.dsBm.bmHeight = info.header.biHeight;
    if (info.header.biBitCount <= 8) FillColorTable(info, oldHandle, newPalette, screen);
    if ((info.header.biBitCount == 16 || info.header.biBitCount == 32) && info.header.biCompression == BI_BITFIELDS)
        FillBitFields(info, target);
    return info;
}

// Same size, many colours: the platform copies the pixels across. Not for bit
// fields: some platforms fill 5-6-5 rows in the 5-5-5 layout.
bool CopiedByPlatform(HBITMAP oldHandle, BitmapInfo256& info, void* bits, HDC screen) {
    int width = info.header.biWidth, height = std::abs(info.header.biHeight);
    BITMAP old{};
    if (!oldHandle || !GetObjectA(oldHandle, sizeof old, &old) || old.bmWidth != width ||
        std::abs(old.bmHeight) != height || info.header.biBitCount <= 8 || info.header.biCompression != BI_RGB)
        return false;
    GetDIBits(screen, oldHandle, 0, height, bits, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    return true;
}

GdiBitmap DeviceBitmap(const DIBSECTION& target, HDC screen) {
    int width = target.dsBm.bmWidth, height = std::abs(target.dsBm.bmHeight);
    GdiBitmap made((target.dsBm.bmPlanes | target.dsBm.bmBitsPixel) == 1 ? CreateBitmap(width, height, 1, 1, nullptr)
                                                                         : CreateCompatibleBitmap(screen, width, height));
    if (!made) RaiseLastPlatformError();
    return made;
}

// The whole new bitmap in the canvas's brush, a one-bit section's two colours
// the canvas's; white without a canvas.
void PaintGround(HDC dc, const RECT& all, TCanvas* canvas, bool oneBitSection) {
    if (!canvas) {
        // A white brush rather than WHITENESS: the latter also sets the unused
        // fourth byte of 32-bit pixels on some platforms, and such "white"
        // then fails to match white when a transparency mask is made.
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return;
    }
    FillRect(dc, &all, canvas->Brush.Handle());
    UseCanvasColors(dc, *canvas);
    if (oneBitSection) {
        COLORREF fore = ColorToRGB(canvas->Font.Color()), back = ColorToRGB(canvas->Brush.Color());
        RGBQUAD two[2] = {{GetBValue(fore), GetGValue(fore), GetRValue(fore), 0},
                          {GetBValue(back), GetGValue(back), GetRValue(back), 0}};
        SetDIBColorTable(dc, 0, 2, two);
    }
}

// The old pixels drawn at the top left, through the old palette.
void DrawOldPixels(HDC dc, HBITMAP oldHandle, HPALETTE oldPalette, TCanvas* canvas, int width, int height, HDC screen) {
    MemoryDC source(screen);
    SelectGuard keepOld(source.Get(), oldHandle);
    PaletteGuard keepPalette(source.Get(), oldPalette);
    if (canvas) UseCanvasColors(source.Get(), *canvas);
    BitBlt(dc, 0, 0, width, height, source.Get(), 0, 0, SRCCOPY);
}
}  // namespace

GdiBitmap ReshapeBitmap(HBITMAP oldHandle, HPALETTE oldPalette, HPALETTE newPalette, DIBSECTION& target,
                        TCanvas* canvas) {
    if (HasNoPixels(target)) return GdiBitmap();
    UnselectEverywhere(oldHandle);
    CheckReadable(oldHandle);

    GdiBitmap made;  // outlives the contexts it is selected into
    WindowDC screenDC(nullptr);
    HDC screen = screenDC.Get();
    if (!screen) RaiseLastPlatformError();
    MemoryDC memory(screen);
    if (!memory) RaiseLastPlatformError();

    bool wantSection = target.dsBmih.biSize >= sizeof(BITMAPINFOHEADER);
    if (wantSection) {
        BitmapInfo256 info = SectionInfo(target, oldHandle, newPalette, screen);
        void* bits = nullptr;
        made.Reset(CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!made || !bits) RaiseLastPlatformError();
        if (CopiedByPlatform(oldHandle, info, bits, screen)) {
            GetObjectA(made.Get(), sizeof target, &target);
            return made;
        }
    } else {
        made = DeviceBitmap(target, screen);
    }
    int width = target.dsBm.bmWidth, height = std::abs(target.dsBm.bmHeight);

    {
        SelectGuard keepMade(memory.Get(), made.Get());
        if (!keepMade.Selected()) RaiseLastPlatformError();
        PaletteGuard keepPalette(memory.Get(), newPalette);
        PaintGround(memory.Get(), {0, 0, width, height}, canvas, wantSection && target.dsBmih.biBitCount == 1);
        if (oldHandle) DrawOldPixels(memory.Get(), oldHandle, oldPalette, canvas, width, height, screen);
    }
    DIBSECTION described{};
    GetObjectA(made.Get(), sizeof described, &described);
    target = described;
    return made;
}
