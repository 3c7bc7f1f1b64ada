// The BMP-file form of a bitmap and its stored form (the same bytes after their length).
#include <cstring>
#include <vector>

#include "base/Exceptions.h"
#include "base/PlatformError.h"
#include "base/ResStrings.h"
#include "graphics/Bitmap.h"
#include "graphics/BmpWriter.h"
#include "resources/StringIds.h"

namespace {
[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(LoadStr(SInvalidGraphic)); }

struct BitmapInfo256 {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

size_t RowBytes(int width, int bits) { return ((static_cast<size_t>(width) * bits + 31) / 32) * 4; }
}  // namespace

void TBitmap::LoadFromStream(const std::string& bytes) {
    BITMAPFILEHEADER file;
    if (bytes.size() < sizeof file + sizeof(BITMAPCOREHEADER)) InvalidBitmap();
    std::memcpy(&file, bytes.data(), sizeof file);
    if (file.bfType != 0x4D42) InvalidBitmap();
    DWORD headerSize;
    std::memcpy(&headerSize, bytes.data() + sizeof file, 4);
    BitmapInfo256 info{};
    bool shortHeader = headerSize == sizeof(BITMAPCOREHEADER);
    size_t tableAt = sizeof file + headerSize;
    int entrySize = shortHeader ? 3 : 4;
    if (shortHeader) {
        BITMAPCOREHEADER core;
        std::memcpy(&core, bytes.data() + sizeof file, sizeof core);
        info.header.biWidth = core.bcWidth;
        info.header.biHeight = core.bcHeight;
        info.header.biPlanes = 1;
        info.header.biBitCount = core.bcBitCount;
    } else {
        if (headerSize < sizeof(BITMAPINFOHEADER) || bytes.size() < sizeof file + sizeof(BITMAPINFOHEADER))
            InvalidBitmap();
        std::memcpy(&info.header, bytes.data() + sizeof file, sizeof(BITMAPINFOHEADER));
    }
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    int bits = info.header.biBitCount;
    if (info.header.biWidth <= 0 || info.header.biHeight == 0 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        InvalidBitmap();
    if (info.header.biCompression != BI_RGB && info.header.biCompression != BI_BITFIELDS) InvalidBitmap();
    size_t colors = 0;
    if (bits <= 8) colors = info.header.biClrUsed ? info.header.biClrUsed : (1u << bits);
    if (colors > 256) InvalidBitmap();
    if (info.header.biCompression == BI_BITFIELDS) {
        if (bytes.size() < tableAt + 12) InvalidBitmap();
        std::memcpy(info.colors, bytes.data() + (headerSize >= 52 ? sizeof file + 40 : tableAt), 12);
    }
    if (bytes.size() < tableAt + colors * entrySize) InvalidBitmap();
    for (size_t i = 0; i < colors; ++i) {
        const auto* entry = reinterpret_cast<const unsigned char*>(bytes.data() + tableAt + i * entrySize);
        info.colors[i] = {entry[0], entry[1], entry[2], 0};
    }
    info.header.biClrUsed = static_cast<DWORD>(colors);
    int height = std::abs(info.header.biHeight);
    size_t imageSize = RowBytes(info.header.biWidth, bits) * height;
    if (file.bfOffBits > bytes.size() || bytes.size() - file.bfOffBits < imageSize) InvalidBitmap();

    void* pixels = nullptr;
    GdiBitmap section(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels,
                                       nullptr, 0));
    if (!section || !pixels) RaiseLastPlatformError();
    GdiFlush();
    std::memcpy(pixels, bytes.data() + file.bfOffBits, imageSize);
    DIBSECTION description{};
    GetObjectA(section.Get(), sizeof description, &description);
    paletteIgnored_ = false;
    NewImage(std::move(section), GdiPalette(), description, bytes);
    image_->ShortHeader = shortHeader;
    PaletteChanged = true;
    Changed();
}

std::string TBitmap::SaveToStream() {
    std::string out;
    WriteBmpStream(*this, out, false);
    return out;
}

void TBitmap::ReadData(TByteReader& reader) {
    int32_t size = reader.ReadInt32();
    if (size < 0) InvalidBitmap();
    LoadFromStream(reader.Read(static_cast<size_t>(size)));
}

void TBitmap::WriteData(std::string& out) { WriteBmpStream(*this, out, true); }
