#include "graphics/IconImages.h"

#include <algorithm>
#include <cstring>

#include "graphics/IconBytes.h"

namespace {
const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

void Put16(std::vector<unsigned char>& to, size_t at, unsigned value) {
    to[at] = static_cast<unsigned char>(value);
    to[at + 1] = static_cast<unsigned char>(value >> 8);
}
void Put32(std::vector<unsigned char>& to, size_t at, uint32_t value) {
    Put16(to, at, value & 0xFFFF);
    Put16(to, at + 2, value >> 16);
}

// What a directory entry says of an image, read from the image itself; the
// group's own entry is only the fallback, since resource directories are
// often careless with planes and depths.
struct TEntry {
    uint32_t width, height, colours, bitCount;
};

TEntry Describe(const TIconImageRef& image) {
    const TBytes bytes{image.bytes, image.size};
    if (IsPngImage(image.bytes, image.size) && bytes.Has(16, 10)) {
        auto big32 = [&](size_t at) {
            return (static_cast<uint32_t>(bytes.U8(at)) << 24) | (bytes.U8(at + 1) << 16) | (bytes.U8(at + 2) << 8) |
                   bytes.U8(at + 3);
        };
        const unsigned depth = bytes.U8(24);
        static const unsigned channels[7] = {1, 0, 3, 1, 2, 0, 4};  // by colour type
        const unsigned type = bytes.U8(25);
        return {big32(16), big32(20), 0, type < 7 && channels[type] ? depth * channels[type] : 32};
    }
    if (bytes.Has(0, 40)) {
        const unsigned bits = bytes.U16(14);
        uint32_t colours = 0;
        if (bits < 8) {
            colours = 1u << bits;
            if (bytes.U32(32) != 0 && bytes.U32(32) < colours) colours = bytes.U32(32);
        }
        return {bytes.U32(4), bytes.U32(8) / 2, colours, bits};
    }
    return {image.width ? image.width : 256u, image.height ? image.height : 256u, image.colorCount & 0xFFu,
            image.bitCount};
}

// 256 and more are written as 0, as the format has it.
unsigned char SideByte(uint32_t side) { return side >= 256 ? 0 : static_cast<unsigned char>(side); }
}  // namespace

bool IsPngImage(const unsigned char* bytes, size_t size) {
    return bytes && size >= 8 && std::memcmp(bytes, kPngSignature, 8) == 0;
}

TIconGroup SelfContained(const TIconGroup& group) {
    TIconGroup own;
    size_t total = 0;
    for (const TIconImageRef& image : group.images) total += image.size;
    own.storage.reserve(total);
    for (const TIconImageRef& image : group.images) own.storage.insert(own.storage.end(), image.bytes, image.bytes + image.size);
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
    Put16(file, 4, static_cast<unsigned>(count));
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

size_t LargestImage(const TIconGroup& group) {
    size_t best = 0;
    uint64_t bestPixels = 0;
    uint32_t bestBits = 0;
    for (size_t i = 0; i < group.images.size(); ++i) {
        const TEntry entry = Describe(group.images[i]);
        const uint64_t pixels = static_cast<uint64_t>(entry.width) * entry.height;
        if (i == 0 || pixels > bestPixels || (pixels == bestPixels && entry.bitCount > bestBits)) {
            best = i;
            bestPixels = pixels;
            bestBits = entry.bitCount;
        }
    }
    return best;
}

bool BitmapIconPixels(const unsigned char* data, size_t size, TRgbaPixels& out) {
    if (IsPngImage(data, size) || !IconImageIsWhole(data, size)) return false;
    const TBytes bytes{data, size};
    const size_t width = bytes.U32(4), height = bytes.U32(8) / 2, bits = bytes.U16(14);
    size_t colours = bits <= 8 ? size_t{1} << bits : 0;
    if (bytes.U32(32) != 0 && bytes.U32(32) < colours) colours = bytes.U32(32);
    const size_t table = bytes.U32(0);
    const size_t pixels = table + colours * 4;
    const size_t stride = (width * bits + 31) / 32 * 4, maskStride = (width + 31) / 32 * 4;
    const size_t mask = pixels + stride * height;

    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.rgba.assign(width * height * 4, 0);
    bool anyAlpha = false;
    for (size_t y = 0; y < height; ++y) {
        const size_t row = pixels + (height - 1 - y) * stride;  // rows are stored bottom-up
        for (size_t x = 0; x < width; ++x) {
            uint32_t bgra = 0;
            if (bits == 32) {
                bgra = bytes.U32(row + x * 4);
            } else if (bits == 24) {
                bgra = bytes.U8(row + x * 3) | (bytes.U8(row + x * 3 + 1) << 8) | (bytes.U8(row + x * 3 + 2) << 16);
            } else if (bits == 16) {  // five bits each of red, green and blue
                const unsigned v = bytes.U16(row + x * 2);
                auto widen = [](unsigned five) { return (five << 3) | (five >> 2); };
                bgra = widen(v & 31) | (widen((v >> 5) & 31) << 8) | (widen((v >> 10) & 31) << 16);
            } else {
                const size_t bit = x * bits;
                const unsigned index = (bytes.U8(row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index < colours) bgra = bytes.U32(table + index * 4) & 0xFFFFFF;  // past the table: black
            }
            unsigned char* to = &out.rgba[(y * width + x) * 4];
            to[0] = static_cast<unsigned char>(bgra >> 16);
            to[1] = static_cast<unsigned char>(bgra >> 8);
            to[2] = static_cast<unsigned char>(bgra);
            to[3] = static_cast<unsigned char>(bgra >> 24);
            anyAlpha = anyAlpha || to[3] != 0;
        }
    }
    if (bits == 32 && anyAlpha) return true;
    for (size_t y = 0; y < height; ++y) {
        const size_t row = mask + (height - 1 - y) * maskStride;
        for (size_t x = 0; x < width; ++x) {
            const bool clear = (bytes.U8(row + x / 8) >> (7 - x % 8)) & 1;
            out.rgba[(y * width + x) * 4 + 3] = clear ? 0 : 255;
        }
    }
    return true;
}
