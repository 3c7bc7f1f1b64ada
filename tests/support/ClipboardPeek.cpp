// A second process for the clipboard tests, which must see the system
// clipboard as another program does.
//   ClipboardPeek read        prints what the clipboard holds
//   ClipboardPeek text WORD   empties the clipboard and places WORD as text
//   ClipboardPeek hold        keeps the clipboard open until its input ends
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
std::string Hex(COLORREF c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

void PrintBitmap() {
    auto* bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) {
        std::printf("bitmap none\npixels none\n");
        return;
    }
    std::printf("bitmap %ldx%ld\npixels", bm.bmWidth, bm.bmHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x) std::printf(" %s", Hex(GetPixel(dc, x, y)).c_str());
    SelectObject(dc, old);
    DeleteDC(dc);
    std::printf("\n");
}

void PrintPalette() {
    auto* palette = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE));
    WORD count = 0;
    if (!palette || !GetObjectA(palette, sizeof count, &count)) {
        std::printf("palette none\n");
        return;
    }
    PALETTEENTRY entries[256];
    UINT got = GetPaletteEntries(palette, 0, count < 256 ? count : 256, entries);
    std::printf("palette");
    for (UINT i = 0; i < got; ++i)
        std::printf(" %s", Hex(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue)).c_str());
    std::printf("\n");
}

void PrintText() {
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    std::printf("text %s\n", text ? text : "none");
    if (text) GlobalUnlock(data);
}
}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    _setmode(_fileno(stdout), _O_BINARY);  // plain "\n" line ends
    if (!OpenClipboard(nullptr)) {
        std::printf("busy\n");
        return 1;
    }
    if (mode == "read") {
        PrintBitmap();
        PrintPalette();
        PrintText();
    } else if (mode == "text" && argc > 2) {
        EmptyClipboard();
        size_t size = std::strlen(argv[2]) + 1;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(block), argv[2], size);
        GlobalUnlock(block);
        if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
    } else if (mode == "hold") {
        std::printf("held\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
    }
    CloseClipboard();
    std::fflush(stdout);
    return 0;
}
