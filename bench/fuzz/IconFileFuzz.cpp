// libFuzzer entry for the icon-file reader, built natively with the sanitizers
// by bench/fuzz-iconfile.sh. Every image handed out must lie inside the input
// and be whole; the sanitizers catch any read outside it.
#include <cstdint>
#include <cstdlib>

#include "graphics/IconFile.h"

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
        }
    return 0;
}
