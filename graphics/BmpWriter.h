#pragma once
// Bitmaps as BMP files, at their own colour depth.
#include <string>

class TBitmap;

// Gives a device-dependent bitmap its device-independent copy of the same
// size and depth; nothing when it has one already or holds no image.
void MakeDeviceIndependent(TBitmap& bitmap);
// Appends the bitmap's BMP-file bytes to `out`, after their 4-byte length
// when `withCount` (the stored form). An empty bitmap gives no bytes.
void WriteBmpStream(TBitmap& bitmap, std::string& out, bool withCount);
// Writes the bitmap as a BMP file. The bytes are made first and the file is
// replaced whole, so a failure leaves an existing file as it was.
void WriteBmpFile(TBitmap& bitmap, const std::string& fileName);
