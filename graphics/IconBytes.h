#pragma once
// Bounds-checked little-endian reads over a file held in memory, shared by
// the icon-file readers. Reads outside the view give 0; callers ask Has first
// whenever a 0 could be mistaken for data.
#include <cstddef>
#include <cstdint>

#include "graphics/IconFile.h"

struct TBytes {
    const unsigned char* data = nullptr;
    size_t size = 0;

    bool Has(size_t at, size_t n) const { return at <= size && n <= size - at; }
    uint8_t U8(size_t at) const { return Has(at, 1) ? data[at] : 0; }
    uint16_t U16(size_t at) const { return Has(at, 2) ? static_cast<uint16_t>(data[at] | (data[at + 1] << 8)) : 0; }
    uint32_t U32(size_t at) const {
        return Has(at, 4) ? U16(at) | (static_cast<uint32_t>(U16(at + 2)) << 16) : 0;
    }
    // The n bytes at `at`, or an empty view when they do not all fit.
    TBytes Sub(size_t at, size_t n) const { return Has(at, n) ? TBytes{data + at, n} : TBytes{}; }
};

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
