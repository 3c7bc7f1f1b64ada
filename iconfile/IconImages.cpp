#include "iconfile/IconImages.h"

#include <algorithm>
#include <numeric>

#include "iconfile/IconBytes.h"

namespace {
// What a directory entry says of an image, read from the image itself; the
// group's own entry is only the fallback, since resource directories are
// often careless with planes and depths.
struct TEntry {
    uint32_t width, height, colours, bitCount;
};

TEntry Describe(const TIconImageRef& image) {
    const TBytes bytes{image.bytes, image.size};
    if (IsPngImage(image.bytes, image.size) && bytes.Has(16, 10)) {
        static const unsigned channels[7] = {1, 0, 3, 1, 2, 0, 4};  // by colour type
        const unsigned depth = bytes.U8(24), type = bytes.U8(25);
        const unsigned bits = type < 7 && channels[type] ? depth * channels[type] : 32;
        // Deeper PNGs are still shown at 32 bits; more would mislead the choice of image.
        return {bytes.BigU32(16), bytes.BigU32(20), 0, std::min(bits, 32u)};
    }
    if (bytes.Has(0, 40)) {
        const unsigned bits = bytes.U16(14);
        // The count the directory gives is of the colours the image can show;
        // 256 and more are written as 0.
        const size_t colours = bits < 8 ? std::min(ColourTableEntries(bytes.U32(32), bits), size_t{1} << bits) : 0;
        return {bytes.U32(4), bytes.U32(8) / 2, static_cast<uint32_t>(colours), bits};
    }
    return {image.width ? image.width : 256u, image.height ? image.height : 256u, image.colorCount & 0xFFu,
            image.bitCount};
}

// 256 and more are written as 0, as the format has it.
unsigned char SideByte(uint32_t side) { return side >= 256 ? 0 : static_cast<unsigned char>(side); }
}  // namespace

TIconGroup SelfContained(const TIconGroup& group) {
    TIconGroup own;
    size_t total = 0;
    for (const TIconImageRef& image : group.images) total += image.size;
    own.storage.reserve(total);
    for (const TIconImageRef& image : group.images)
        own.storage.insert(own.storage.end(), image.bytes, image.bytes + image.size);
    size_t at = 0;
    for (TIconImageRef image : group.images) {
        image.bytes = own.storage.data() + at;
        at += image.size;
        own.images.push_back(image);
    }
    return own;
}

std::vector<unsigned char> IcoFileBytes(const TIconGroup& group) {
    const size_t count = group.images.size();
    std::vector<unsigned char> file(6 + 16 * count);
    Put16(file, 2, 1);
    Put16(file, 4, static_cast<uint32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        const TIconImageRef& image = group.images[i];
        const TEntry entry = Describe(image);
        // Padding after the image (resources are aligned) is left behind.
        const size_t whole = IconImageLength(image.bytes, image.size), length = whole ? whole : image.size;
        const size_t at = 6 + 16 * i;
        file[at] = SideByte(entry.width);
        file[at + 1] = SideByte(entry.height);
        file[at + 2] = static_cast<unsigned char>(entry.colours < 256 ? entry.colours : 0);
        Put16(file, at + 4, 1);
        Put16(file, at + 6, entry.bitCount);
        Put32(file, at + 8, static_cast<uint32_t>(length));
        Put32(file, at + 12, static_cast<uint32_t>(file.size()));
        file.insert(file.end(), image.bytes, image.bytes + length);
    }
    return file;
}

std::vector<size_t> ImagesLargestFirst(const TIconGroup& group) {
    std::vector<TEntry> entries;
    for (const TIconImageRef& image : group.images) entries.push_back(Describe(image));
    std::vector<size_t> order(group.images.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const uint64_t pixelsA = static_cast<uint64_t>(entries[a].width) * entries[a].height;
        const uint64_t pixelsB = static_cast<uint64_t>(entries[b].width) * entries[b].height;
        return pixelsA != pixelsB ? pixelsA > pixelsB : entries[a].bitCount > entries[b].bitCount;
    });
    return order;
}

bool BitmapImageLayout(const unsigned char* data, size_t size, TBitmapImageLayout& out) {
    if (IsPngImage(data, size) || !IconImageIsWhole(data, size)) return false;
    const TBytes bytes{data, size};
    TBitmapImageLayout layout;
    layout.width = bytes.U32(4);
    layout.height = bytes.U32(8) / 2;
    layout.bits = bytes.U16(14);
    layout.tableAt = bytes.U32(0);
    layout.entries = ColourTableEntries(bytes.U32(32), layout.bits);
    layout.rowsAt = layout.tableAt + layout.entries * 4;
    layout.stride = (layout.width * layout.bits + 31) / 32 * 4;
    layout.maskStride = (layout.width + 31) / 32 * 4;
    layout.maskAt = layout.rowsAt + layout.stride * layout.height;
    if (layout.bits == 32)
        for (size_t at = layout.rowsAt + 3; at < layout.maskAt && !layout.alpha; at += 4)
            layout.alpha = bytes.U8(at) != 0;
    out = layout;
    return true;
}

bool BitmapIconPixels(const unsigned char* data, size_t size, TRgbaPixels& out) {
    TBitmapImageLayout layout;
    if (!BitmapImageLayout(data, size, layout)) return false;
    const TBytes bytes{data, size};
    const size_t width = layout.width, height = layout.height;
    const unsigned bits = layout.bits;
    const size_t tableAt = layout.tableAt, entries = layout.entries, rowsAt = layout.rowsAt;
    const size_t stride = layout.stride, maskStride = layout.maskStride, maskAt = layout.maskAt;

    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.rgba.assign(width * height * 4, 0);
    for (size_t y = 0; y < height; ++y) {
        const size_t row = rowsAt + (height - 1 - y) * stride;
        for (size_t x = 0; x < width; ++x) {
            const uint32_t argb = RowPixel(bytes, row, x, bits, tableAt, entries);
            unsigned char* to = &out.rgba[(y * width + x) * 4];
            to[0] = static_cast<unsigned char>(argb >> 16);
            to[1] = static_cast<unsigned char>(argb >> 8);
            to[2] = static_cast<unsigned char>(argb);
            to[3] = static_cast<unsigned char>(argb >> 24);
        }
    }
    if (layout.alpha) return true;
    for (size_t y = 0; y < height; ++y) {
        const size_t row = maskAt + (height - 1 - y) * maskStride;
        for (size_t x = 0; x < width; ++x) {
            const bool clear = (bytes.U8(row + x / 8) >> (7 - x % 8)) & 1;
            out.rgba[(y * width + x) * 4 + 3] = clear ? 0 : 255;
        }
    }
    return true;
}
