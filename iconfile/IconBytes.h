#pragma once
// Bounds-checked little-endian reads over a file held in memory, shared by
// the icon-file readers. Reads outside the view give 0; callers ask Has first
// whenever a 0 could be mistaken for data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "iconfile/IconFile.h"

struct TBytes {
    const unsigned char* data = nullptr;
    size_t size = 0;

    bool Has(size_t at, size_t n) const { return at <= size && n <= size - at; }
    uint8_t U8(size_t at) const { return Has(at, 1) ? data[at] : 0; }
    uint16_t U16(size_t at) const { return Has(at, 2) ? static_cast<uint16_t>(data[at] | (data[at + 1] << 8)) : 0; }
    uint32_t U32(size_t at) const {
        return Has(at, 4) ? U16(at) | (static_cast<uint32_t>(U16(at + 2)) << 16) : 0;
    }
    // Most significant byte first, as in PNG.
    uint32_t BigU32(size_t at) const {
        return Has(at, 4) ? (static_cast<uint32_t>(data[at]) << 24) | (data[at + 1] << 16) | (data[at + 2] << 8) |
                                data[at + 3]
                          : 0;
    }
    // The n bytes at `at`, or an empty view when they do not all fit.
    TBytes Sub(size_t at, size_t n) const { return Has(at, n) ? TBytes{data + at, n} : TBytes{}; }
};

// Little-endian writes: at a place in bytes already there, or appended.
inline void Put16(std::vector<unsigned char>& to, size_t at, uint32_t value) {
    to[at] = static_cast<unsigned char>(value);
    to[at + 1] = static_cast<unsigned char>(value >> 8);
}
inline void Put32(std::vector<unsigned char>& to, size_t at, uint32_t value) {
    Put16(to, at, value & 0xFFFF);
    Put16(to, at + 2, value >> 16);
}
inline void Push16(std::vector<unsigned char>& to, uint32_t value) {
    to.resize(to.size() + 2);
    Put16(to, to.size() - 2, value);
}
inline void Push32(std::vector<unsigned char>& to, uint32_t value) {
    to.resize(to.size() + 4);
    Put32(to, to.size() - 4, value);
}

// The colour-table entries after a bitmap header, counted as the platform
// counts them: as many as the header's used-colours field says, at most 256,
// else a whole table for 8 bits or fewer and none for more.
inline size_t ColourTableEntries(uint32_t used, unsigned bits) {
    if (used != 0) return used < 256 ? used : 256;
    return bits <= 8 ? size_t{1} << bits : 0;
}

// Pixel `x` of the bitmap row at `row`, as 0xAARRGGBB; alpha only from 32-bit
// rows. Indexed pixels look their colour up in the `entries` at `table`, and
// show black past them.
inline uint32_t RowPixel(const TBytes& bytes, size_t row, size_t x, unsigned bits, size_t table, size_t entries) {
    switch (bits) {
    case 32:
        return bytes.U32(row + x * 4);
    case 24:
        return bytes.U8(row + x * 3) | (bytes.U8(row + x * 3 + 1) << 8) | (bytes.U8(row + x * 3 + 2) << 16);
    case 16: {  // five bits each of red, green and blue
        const uint32_t v = bytes.U16(row + x * 2);
        auto widen = [](uint32_t five) { return (five << 3) | (five >> 2); };
        return widen(v & 31) | (widen((v >> 5) & 31) << 8) | (widen((v >> 10) & 31) << 16);
    }
    default: {
        const size_t bit = x * bits;
        const unsigned index = (bytes.U8(row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
        return index < entries ? bytes.U32(table + index * 4) & 0xFFFFFF : 0;
    }
    }
}

// Whether `at + length` (both from the file, so possibly anything) ends
// within `size`, done without the sum overflowing.
inline bool FitsIn(uint64_t at, uint64_t length, size_t size) {
    return at <= size && length <= size - at;
}

// The image-group directory held in resources (GRPICONDIR with 14-byte
// entries); `find` maps an entry's id to its image bytes (an empty view when
// there is none). Images that are missing or not whole are left out, and mark
// the file damaged.
template <typename Find>
TIconGroup GroupFromDirectory(TBytes dir, Find find, bool& damaged) {
    TIconGroup group;
    if (!dir.Has(0, 6) || dir.U16(0) != 0 || dir.U16(2) != 1) {
        damaged = true;
        return group;
    }
    const size_t count = dir.U16(4);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = 6 + i * 14;
        if (!dir.Has(at, 14)) {
            damaged = true;
            break;
        }
        TBytes image = find(dir.U16(at + 12));
        if (!image.data || !IconImageIsWhole(image.data, image.size)) {
            damaged = true;
            continue;
        }
        group.images.push_back(TIconImageRef{dir.U8(at), dir.U8(at + 1), dir.U16(at + 2), dir.U16(at + 4),
                                             dir.U16(at + 6), image.data, image.size});
    }
    return group;
}

// Each reader fills `file` from bytes already known to be of its kind.
void ReadPeIcons(TBytes file, size_t peAt, TIconFile& out);
void ReadNeIcons(TBytes file, size_t neAt, TIconFile& out);
void ReadBmpIcon(TBytes file, TIconFile& out);

