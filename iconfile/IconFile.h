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
bool IsPngImage(const unsigned char* bytes, size_t size);
// Whether the image bytes are a PNG, or an uncompressed bitmap header (at
// most 256 pixels wide) whose colour table, colour image and mask all fit in
// them.
bool IconImageIsWhole(const unsigned char* bytes, size_t size);
// How many of the bytes the image fills (resources may be padded after it):
// a bitmap's own extent, a PNG's up to its end chunk; 0 when it is not whole.
size_t IconImageLength(const unsigned char* bytes, size_t size);

// One image of an icon: the directory's description and the image's bytes,
// which lie in the file read, or in the group's own storage.
struct TIconImageRef {
    uint8_t width, height;  // raw: 0 stands for 256
    uint16_t colorCount, planes, bitCount;
    const unsigned char* bytes;
    size_t size;
};

// The images of one icon. Images made here rather than found in the file
// (from a .bmp) keep their bytes in `storage`; a copy points into its own.
struct TIconGroup {
    std::vector<TIconImageRef> images;
    std::vector<unsigned char> storage;

    TIconGroup() = default;
    TIconGroup(TIconGroup&&) noexcept = default;
    TIconGroup& operator=(TIconGroup&&) noexcept = default;
    TIconGroup(const TIconGroup& other);
    TIconGroup& operator=(const TIconGroup& other);
};

enum class TIconFileKind { Unknown, Pe, Ne, Ico, Bmp };

// `damaged`: the file is of a known kind but something in it lies out of
// bounds or is malformed, so what was read is all there is to have.
struct TIconFile {
    TIconFileKind kind = TIconFileKind::Unknown;
    bool damaged = false;
    std::vector<TIconGroup> groups;
};

// The icons of a PE or NE executable or library, an .ico or a .bmp, in the
// order the file holds them. Never reads outside the bytes given; the images
// point into them, so they must outlive the result.
TIconFile ReadIconFile(const unsigned char* data, size_t size);
