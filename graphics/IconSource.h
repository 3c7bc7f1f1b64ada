#pragma once
// The icons of a file, for the scan: read and parsed once per file (its size
// and write time tell when it changed), each icon made at the system's icon
// size from bytes checked to be whole. A damaged file gives the icons it
// still holds, never a crash.
#include <windows.h>

#include <string>

// The number of icons for index -1, else a new icon handle the caller owns,
// or null when there is no such icon.
HICON ExtractOwnIcon(const std::string& path, int index);
