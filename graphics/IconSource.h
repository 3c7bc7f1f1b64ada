#pragma once
// The icons of a file, for the scan: read and parsed once per file (its size
// and write time, checked with every count, tell when it changed), each icon
// made at the system's icon size from bytes checked to be whole. A damaged file gives the icons it
// still holds, never a crash.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "graphics/GdiObject.h"
#include "iconfile/IconFile.h"

class TIconSource {
public:
    TIconSource();
    ~TIconSource();
    TIconSource(const TIconSource&) = delete;
    TIconSource& operator=(const TIconSource&) = delete;

    // How many icons `path` holds. Every scan begins with a count, so the file
    // is read again here when it is another one or has changed since; the
    // icons and groups asked for after it come from what this count read, so
    // a list of icons and each icon shown or saved from it belong together.
    int Count(const std::string& path);
    // Icon `index` of the file counted last, as a new icon; none when there
    // is no such icon.
    GdiIcon Icon(int index) const;
    // The image icon `index` is made from, when the icon is exactly that
    // image at its own size: a bitmap image of the system's icon size, whose
    // bytes tell what the icon holds without an icon object. None otherwise.
    // Good until the next count.
    const TIconImageRef* PlainImage(int index) const;
    // Every image of icon `index` with its bytes as the file holds them, for
    // saving; icons the platform found elsewhere come as one 32-bit image.
    // None when there is no such icon.
    std::optional<TIconGroup> Group(int index) const;

private:
    struct TReadFile;
    std::unique_ptr<TReadFile> file_;
};

// The platform's icon as a one-image group: 32-bit colour rows, then the
// mask's, both bottom-up. None for an icon without a colour bitmap.
std::optional<TIconGroup> IconGroupFromHandle(HICON icon);

// The icon the platform makes of one whole image of an icon file, scaled to
// `width` x `height`; none when the platform refuses it.
GdiIcon IconFromImage(const unsigned char* bytes, size_t size, int width, int height);
