// A .bmp as one icon: its pixels made into a 32-bit icon image of the same
// size, fully opaque.

#include "graphics/IconBytes.h"

namespace {
void Put32(std::vector<unsigned char>& to, uint32_t value) {
    for (int i = 0; i < 4; ++i) to.push_back(static_cast<unsigned char>(value >> (8 * i)));
}
void Put16(std::vector<unsigned char>& to, uint16_t value) {
    to.push_back(static_cast<unsigned char>(value));
    to.push_back(static_cast<unsigned char>(value >> 8));
}
}  // namespace

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

    size_t colours = 0;
    if (bits <= 8) {
        colours = size_t{1} << bits;
        const uint32_t used = file.U32(info + 32);
        if (used != 0 && used < colours) colours = used;
    }
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
    Put32(image, 40);
    Put32(image, static_cast<uint32_t>(w));
    Put32(image, static_cast<uint32_t>(h * 2));  // colour rows and mask rows
    Put16(image, 1);
    Put16(image, 32);
    Put32(image, 0);
    Put32(image, static_cast<uint32_t>((w * 4 + maskStride) * h));
    for (int i = 0; i < 4; ++i) Put32(image, 0);
    for (size_t y = 0; y < h; ++y) {
        // Icon rows run bottom-up; so do a .bmp's unless its height is negative.
        const size_t row = static_cast<size_t>(pixels) + (topDown ? h - 1 - y : y) * stride;
        for (size_t x = 0; x < w; ++x) {
            uint32_t bgr = 0;
            if (bits >= 24) {
                const size_t at = row + x * (bits / 8);
                bgr = file.U8(at) | (file.U8(at + 1) << 8) | (static_cast<uint32_t>(file.U8(at + 2)) << 16);
            } else {
                const size_t bit = x * bits;
                const unsigned index = (file.U8(row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                // An index past the palette shows black.
                if (index < colours) bgr = file.U32(static_cast<size_t>(palette) + index * 4) & 0xFFFFFF;
            }
            Put32(image, bgr | 0xFF000000u);
        }
    }
    image.insert(image.end(), maskStride * h, 0);
    const uint8_t side = static_cast<uint8_t>(w == 256 ? 0 : w), tall = static_cast<uint8_t>(h == 256 ? 0 : h);
    group.images.push_back(TIconImageRef{side, tall, 0, 1, 32, image.data(), image.size()});
    out.groups.push_back(std::move(group));
}
