#pragma once
// The icons of a file, for the scan: read and parsed once per file (its size
// and write time, checked with every count, tell when it changed), each icon
// made at the system's icon size from bytes checked to be whole. A damaged file gives the icons it
// still holds, never a crash.
#include <windows.h>

#include <optional>
#include <string>

#include "iconfile/IconFile.h"

// The number of icons for index -1, else a new icon handle the caller owns,
// or null when there is no such icon.
HICON ExtractOwnIcon(const std::string& path, int index);

// Every image of icon `index` with its bytes as the file holds them, for
// saving; icons the platform found elsewhere come as one 32-bit image. None
// when there is no such icon.
std::optional<TIconGroup> OwnIconGroup(const std::string& path, int index);

// The platform's icon as a one-image group: 32-bit colour rows, then the
// mask's, both bottom-up. None for an icon without a colour bitmap.
std::optional<TIconGroup> IconGroupFromHandle(HICON icon);
