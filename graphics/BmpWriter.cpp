#include "graphics/BmpWriter.h"

#include <cstdlib>
#include <cstring>

#include "base/ByteReader.h"
#include "base/WholeFile.h"
#include "graphics/Bitmap.h"
#include "graphics/BitmapCanvas.h"

namespace {
template <typename T>
void Append(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// The colour table of a section of 8 bits or fewer, as the platform reports it.
UINT SectionColorTable(HBITMAP section, RGBQUAD (&table)[256]) {
    UnselectEverywhere(section);
    MemoryDC dc;
    if (!dc) return 0;
    SelectGuard keep(dc.Get(), section);
    return GetDIBColorTable(dc.Get(), 0, 256, table);
}
}  // namespace

void MakeDeviceIndependent(TBitmap& bitmap) { bitmap.DIBNeeded(); }

void WriteBmpStream(TBitmap& bitmap, std::string& out, bool withCount) {
    TBitmapImage* image = bitmap.Image();
    if (!image->StoredBmp.empty()) {
        if (withCount) AppendInt32(out, static_cast<int32_t>(image->StoredBmp.size()));
        out += image->StoredBmp;
        return;
    }
    MakeDeviceIndependent(bitmap);
    image = bitmap.Image();
    HBITMAP section = image->SectionHandle();
    if (!section) {
        if (withCount) AppendInt32(out, 0);
        return;
    }
    DIBSECTION d = image->SectionDescription();
    BITMAPINFOHEADER& header = d.dsBmih;
    // The uncompressed layout is written as such, whatever masks the platform reports for it.
    if (header.biCompression == BI_BITFIELDS && IsPlainRgb(d)) header.biCompression = BI_RGB;
    const bool shortForm = image->ShortHeader;
    const int bits = header.biBitCount;
    const size_t stride = ((static_cast<size_t>(header.biWidth) * bits + 31) / 32) * 4;
    const size_t imageSize = header.biSizeImage ? header.biSizeImage : stride * std::abs(header.biHeight);
    const bool masks = !shortForm && bits > 8 && (header.biCompression & 3) != 0;

    size_t tableEntries = 0;  // the entries the header size counts
    if (shortForm) tableEntries = bits <= 8 ? (1u << bits) : 0;
    else if (bits <= 8) tableEntries = header.biClrUsed ? header.biClrUsed : (1u << bits);

    RGBQUAD table[256] = {};
    UINT count = bits <= 8 ? SectionColorTable(section, table) : 0;
    if (header.biClrUsed > 0 && header.biClrUsed < count) count = header.biClrUsed;
    HPALETTE palette = image->Palette;
    if (count == 0 && !shortForm && palette && !image->HalftoneMade) {
        // A true-colour bitmap with a palette of its own carries it as a table.
        PALETTEENTRY entries[256];
        count = GetPaletteEntries(palette, 0, 256, entries);
        for (UINT i = 0; i < count; ++i) table[i] = {entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
        if (bits > 8) tableEntries = count;
    }
    if (tableEntries > 256) tableEntries = 256;
    const size_t headerSize = (shortForm ? 12 + 3 * tableEntries : 40 + 4 * tableEntries) + (masks ? 12 : 0);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfSize = static_cast<DWORD>(sizeof file + headerSize + imageSize);
    file.bfOffBits = static_cast<DWORD>(sizeof file + headerSize);
    if (withCount) AppendInt32(out, static_cast<int32_t>(file.bfSize));

    if (masks && d.dsBitfields[0] == 0) {
        const bool sixteen = bits == 16;
        d.dsBitfields[0] = sixteen ? 0xF800 : 0xFF0000;
        d.dsBitfields[1] = sixteen ? 0x07E0 : 0x00FF00;
        d.dsBitfields[2] = sixteen ? 0x001F : 0x0000FF;
    }
    if (count != 0) header.biClrUsed = count;

    Append(out, file);
    if (shortForm) {
        BITMAPCOREHEADER core{sizeof(BITMAPCOREHEADER), static_cast<WORD>(header.biWidth),
                              static_cast<WORD>(header.biHeight), 1, static_cast<WORD>(bits)};
        Append(out, core);
        // Entries the section lacks are written black.
        for (size_t i = 0; i < tableEntries; ++i) {
            const RGBQUAD& e = table[i];
            out += static_cast<char>(i < count ? e.rgbBlue : 0);
            out += static_cast<char>(i < count ? e.rgbGreen : 0);
            out += static_cast<char>(i < count ? e.rgbRed : 0);
        }
    } else {
        Append(out, header);
        if (masks) out.append(reinterpret_cast<const char*>(d.dsBitfields), sizeof d.dsBitfields);
        // The table fills the room the header size gives it.
        out.append(reinterpret_cast<const char*>(table), 4 * tableEntries);
    }
    GdiFlush();
    out.append(static_cast<const char*>(d.dsBm.bmBits), imageSize);
}

void WriteBmpFile(TBitmap& bitmap, const std::string& fileName) {
    std::string bytes;
    WriteBmpStream(bitmap, bytes, false);
    WriteWholeFile(fileName, bytes);
}
