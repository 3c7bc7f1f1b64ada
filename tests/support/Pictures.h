#pragma once
// Pictures made for the tests, and the platform's own view of handles.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "graphics/Bitmap.h"

// Every pixel of a device context's top-left `width` x `height`, row by row.
inline std::vector<COLORREF> Pixels(HDC dc, int width, int height) {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(dc, x, y));
    return pixels;
}

// Every pixel of the picture at `index` of an image list, drawn on white in `style`.
inline std::vector<COLORREF> CellPixels(HIMAGELIST list, int index, UINT style) {
    int width = 0, height = 0;
    ImageList_GetIconSize(list, &width, &height);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP cell = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(dc, cell);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(list, index, dc, 0, 0, style);
    std::vector<COLORREF> pixels = Pixels(dc, width, height);
    SelectObject(dc, old);
    DeleteObject(cell);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Fills a bitmap of that size with one colour.
inline void FillBitmap(TBitmap& b, int w, int h, COLORREF colour) {
    b.SetWidth(w);
    b.SetHeight(h);
    b.Surface().Brush.SetColor(static_cast<TColor>(colour));
    b.Surface().FillRect({0, 0, w, h});
}

// A device-dependent bitmap of one colour, made without TBitmap.
inline HBITMAP RawBitmap(int w, int h, COLORREF colour) {
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

// Whether the platform still knows the icon handle.
inline bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

// A BMP file: the headers, the colour table and the rows (bottom row first,
// each padded to 4 bytes by the caller) as given.
inline std::string BmpFile(int w, int h, int bitCount, const std::vector<RGBQUAD>& table, const std::string& rows) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    size_t tableBytes = table.size() * sizeof(RGBQUAD);
    file.bfType = 0x4D42;
    file.bfOffBits = static_cast<DWORD>(sizeof file + sizeof info + tableBytes);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + rows.size());
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bitCount);
    info.biCompression = BI_RGB;
    info.biClrUsed = static_cast<DWORD>(table.size());
    std::string out(reinterpret_cast<const char*>(&file), sizeof file);
    out.append(reinterpret_cast<const char*>(&info), sizeof info);
    out.append(reinterpret_cast<const char*>(table.data()), tableBytes);
    return out + rows;
}
