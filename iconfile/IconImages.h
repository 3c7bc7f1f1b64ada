#pragma once
// An icon group put to use outside the program: written back as an .ico file,
// or its images read as pixels. Portable: bytes in, bytes out.
#include <cstddef>
#include <vector>

#include "iconfile/IconFile.h"

// The same images with every byte in the group's own storage, so the result
// outlives the file it was read from.
TIconGroup SelfContained(const TIconGroup& group);

// The group as an .ico file: every image's bytes as they are, in the group's
// order, behind a directory described from each image's own header.
std::vector<unsigned char> IcoFileBytes(const TIconGroup& group);

// The positions of the group's images, the most pixels first, the deepest
// first among equals.
std::vector<size_t> ImagesLargestFirst(const TIconGroup& group);

// Straight (not premultiplied) red, green, blue and alpha, top row first.
struct TRgbaPixels {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

// Where a whole bitmap image keeps its parts, as byte offsets into it: the
// colour table right after the header, then the colour rows and the mask
// rows, both bottom-up. `height` is the image's, half the header's.
struct TBitmapImageLayout {
    size_t width = 0, height = 0;
    unsigned bits = 0;
    size_t tableAt = 0, entries = 0;
    size_t rowsAt = 0, stride = 0;
    size_t maskAt = 0, maskStride = 0;
    bool alpha = false;  // 32 bits with an alpha byte set anywhere
};

// False for a PNG image or an image that is not whole.
bool BitmapImageLayout(const unsigned char* bytes, size_t size, TBitmapImageLayout& out);

// A bitmap image's pixels. A 32-bit image with any alpha keeps it; any other
// takes its alpha from the mask. False for a PNG or an image that is not whole.
bool BitmapIconPixels(const unsigned char* bytes, size_t size, TRgbaPixels& out);
