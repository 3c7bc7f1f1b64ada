#pragma once
// PNG through libpng's simplified interface: icon images read as pixels, and
// pixels written as a 32-bit PNG with alpha.
#include <string>

#include "iconfile/IconImages.h"

// The pixels of any icon image, bitmap or PNG; "图标图象无效" when it is
// neither, or larger than any icon.
TRgbaPixels IconImagePixels(const TIconImageRef& image);

// The pixels of the group's largest image that can be read: a damaged one
// gives way to the next size down, and only the last one's failure is raised.
TRgbaPixels LargestIconPixels(const TIconGroup& group);

// The PNG bytes of the pixels; "PNG 图像错误: ..." when the library refuses.
std::string EncodePng(const TRgbaPixels& pixels);

// Writes the PNG whole or not at all: an existing file stays as it was on failure.
void WritePngFile(const TRgbaPixels& pixels, const std::string& fileName);
