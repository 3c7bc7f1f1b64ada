// libFuzzer entry for the icon-file reader, built natively with the sanitizers
// by bench/fuzz-iconfile.sh. Every image handed out must lie inside the input
// and be whole; every group written as an .ico must read back with as many
// images, and every bitmap image must give its pixels; the icon of a .bmp
// is square and at most 256 a side however large the picture. The sanitizers
// catch any read outside the bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "iconfile/IconFile.h"
#include "iconfile/IconImages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TIconFile file = ReadIconFile(data, size);
    for (const TIconGroup& group : file.groups)
        for (const TIconImageRef& image : group.images) {
            const bool inInput = image.bytes >= data && image.size <= size &&
                                 static_cast<size_t>(image.bytes - data) <= size - image.size;
            const bool inStorage = !group.storage.empty() && image.bytes >= group.storage.data() &&
                                   image.size <= group.storage.size() &&
                                   static_cast<size_t>(image.bytes - group.storage.data()) <= group.storage.size() - image.size;
            if ((!inInput && !inStorage) || !IconImageIsWhole(image.bytes, image.size)) std::abort();
            TRgbaPixels pixels;
            if (!IsPngImage(image.bytes, image.size) && !BitmapIconPixels(image.bytes, image.size, pixels)) std::abort();
            if (file.kind == TIconFileKind::Bmp && (pixels.width > 256 || pixels.height != pixels.width))
                std::abort();
        }
    for (const TIconGroup& group : file.groups) {
        const std::vector<unsigned char> ico = IcoFileBytes(SelfContained(group));
        const TIconFile back = ReadIconFile(ico.data(), ico.size());
        if (back.damaged || back.groups.size() != 1 || back.groups[0].images.size() != group.images.size()) std::abort();
        // Every image once, in some order.
        std::vector<bool> seen(group.images.size());
        for (size_t i : ImagesLargestFirst(group)) {
            if (i >= seen.size() || seen[i]) std::abort();
            seen[i] = true;
        }
        if (std::find(seen.begin(), seen.end(), false) != seen.end()) std::abort();
    }
    return 0;
}
