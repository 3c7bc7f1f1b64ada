#pragma once
// Icon-file bytes: the directory of images and the check that an image holds
// what its header claims. Portable: bytes in, offsets and sizes out.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TIconFileEntry {
    uint8_t width, height;  // raw: 0 stands for 256
    uint16_t colorCount;    // the count byte and the reserved byte after it
    uint16_t planes, bitCount;
    uint32_t size, offset;  // the image's bytes within the file
};

// The header's type (0, 1 icons, 2 cursors); -1 when there are not 6 bytes.
int IconFileType(const std::string& data);
// The directory; entries whose bytes lie outside the data are left out.
std::vector<TIconFileEntry> IconFileEntries(const std::string& data);
// The entry that suits the target size and the display's colour count best:
// a later entry wins only with at least as many colours as the best so far
// (no more than the display shows) and a size at least as close, not larger.
size_t ChooseIconEntry(const std::vector<TIconFileEntry>& entries, int targetWidth, int targetHeight,
                       uint32_t displayColors);
// Whether the image bytes are a PNG, or a bitmap header whose colour table,
// colour image and mask all fit in them.
bool IconImageIsWhole(const unsigned char* bytes, size_t size);
