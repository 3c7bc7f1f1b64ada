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

// A bitmap image's pixels. A 32-bit image with any alpha keeps it; any other
// takes its alpha from the mask. False for a PNG or an image that is not whole.
bool BitmapIconPixels(const unsigned char* bytes, size_t size, TRgbaPixels& out);
