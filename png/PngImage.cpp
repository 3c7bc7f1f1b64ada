#include "png/PngImage.h"

#include <png.h>

#include <cstring>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "base/WholeFile.h"
#include "resources/StringIds.h"

namespace {
// Icons are at most 256 pixels a side; a PNG image claiming far more is
// refused before memory is asked for it.
constexpr png_uint_32 kLargestSide = 1024;

// Frees the library's read state on every path.
struct ImageGuard {
    png_image image;
    ImageGuard() {
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
    }
    ~ImageGuard() { png_image_free(&image); }
};

[[noreturn]] void Refused(const png_image& image) {
    throw EInvalidGraphic(Format(LoadStr(SPNGError), {image.message}));
}

TRgbaPixels DecodePng(const unsigned char* bytes, size_t size) {
    ImageGuard read;
    png_image& image = read.image;
    if (!png_image_begin_read_from_memory(&image, bytes, size) || image.width == 0 || image.height == 0 ||
        image.width > kLargestSide || image.height > kLargestSide)
        throw EInvalidGraphic(LoadStr(SInvalidIcon));
    image.format = PNG_FORMAT_RGBA;
    TRgbaPixels pixels;
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    pixels.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.rgba.data(), 0, nullptr))
        throw EInvalidGraphic(LoadStr(SInvalidIcon));
    return pixels;
}
}  // namespace

TRgbaPixels IconImagePixels(const TIconImageRef& image) {
    if (IsPngImage(image.bytes, image.size)) return DecodePng(image.bytes, image.size);
    TRgbaPixels pixels;
    if (!BitmapIconPixels(image.bytes, image.size, pixels)) throw EInvalidGraphic(LoadStr(SInvalidIcon));
    return pixels;
}

TRgbaPixels LargestIconPixels(const TIconGroup& group) {
    const std::vector<size_t> order = ImagesLargestFirst(group);
    for (size_t i = 0; i < order.size(); ++i) {
        try {
            return IconImagePixels(group.images[order[i]]);
        } catch (const EInvalidGraphic&) {
            if (i + 1 == order.size()) throw;
        }
    }
    throw EInvalidGraphic(LoadStr(SInvalidIcon));  // a group without images
}

std::string EncodePng(const TRgbaPixels& pixels) {
    ImageGuard write;
    png_image& image = write.image;
    image.width = static_cast<png_uint_32>(pixels.width);
    image.height = static_cast<png_uint_32>(pixels.height);
    image.format = PNG_FORMAT_RGBA;
    if (pixels.width <= 0 || pixels.height <= 0 || pixels.rgba.size() != PNG_IMAGE_SIZE(image))
        throw EInvalidGraphic(LoadStr(SInvalidIcon));
    // The first call only measures.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.rgba.data(), 0, nullptr)) Refused(image);
    std::string bytes(size, '\0');
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.rgba.data(), 0, nullptr)) Refused(image);
    bytes.resize(size);
    return bytes;
}

void WritePngFile(const TRgbaPixels& pixels, const std::string& fileName) {
    WriteWholeFile(fileName, EncodePng(pixels));
}
