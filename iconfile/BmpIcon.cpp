// A .bmp as one icon: its pixels made into a 32-bit icon image of the same
// size, fully opaque.

#include "iconfile/IconBytes.h"

void ReadBmpIcon(TBytes file, TIconFile& out) {
    const size_t info = 14;
    if (!file.Has(0, info + 40)) {
        out.damaged = true;
        return;
    }
    const uint32_t headerSize = file.U32(info);
    const int32_t width = static_cast<int32_t>(file.U32(info + 4));
    const int32_t rawHeight = static_cast<int32_t>(file.U32(info + 8));
    const unsigned bits = file.U16(info + 14);
    // Older headers, compression, 16-bit pixels and large pictures are
    // well-formed files this reader has no icon for.
    if (headerSize < 40 || file.U32(info + 16) != 0) return;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return;
    if (width <= 0 || width > 256 || rawHeight == 0 || rawHeight < -256 || rawHeight > 256) return;
    const bool topDown = rawHeight < 0;
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(topDown ? -rawHeight : rawHeight);

    // Only indexed pixels look at the table; the rows' place is in the file header.
    const size_t colours = bits <= 8 ? ColourTableEntries(file.U32(info + 32), bits) : 0;
    const uint64_t palette = info + static_cast<uint64_t>(headerSize);
    const uint64_t pixels = file.U32(10);
    const size_t stride = (w * bits + 31) / 32 * 4;
    if (!FitsIn(palette, colours * 4, file.size) || !FitsIn(pixels, static_cast<uint64_t>(stride) * h, file.size)) {
        out.damaged = true;
        return;
    }

    const size_t maskStride = (w + 31) / 32 * 4;
    TIconGroup group;
    std::vector<unsigned char>& image = group.storage;
    image.reserve(40 + (w * 4 + maskStride) * h);
    Push32(image, 40);
    Push32(image, static_cast<uint32_t>(w));
    Push32(image, static_cast<uint32_t>(h * 2));  // colour rows and mask rows
    Push16(image, 1);
    Push16(image, 32);
    Push32(image, 0);
    Push32(image, static_cast<uint32_t>((w * 4 + maskStride) * h));
    for (int i = 0; i < 4; ++i) Push32(image, 0);
    for (size_t y = 0; y < h; ++y) {
        // Icon rows run bottom-up; so do a .bmp's unless its height is negative.
        const size_t row = static_cast<size_t>(pixels) + (topDown ? h - 1 - y : y) * stride;
        for (size_t x = 0; x < w; ++x) {
            const uint32_t rgb = RowPixel(file, row, x, bits, static_cast<size_t>(palette), colours) & 0xFFFFFF;
            Push32(image, rgb | 0xFF000000u);
        }
    }
    image.insert(image.end(), maskStride * h, 0);
    const uint8_t side = static_cast<uint8_t>(w == 256 ? 0 : w), tall = static_cast<uint8_t>(h == 256 ? 0 : h);
    group.images.push_back(TIconImageRef{side, tall, 0, 1, 32, image.data(), image.size()});
    out.groups.push_back(std::move(group));
}
