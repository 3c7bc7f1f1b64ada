#pragma once
// JPEG pictures: a bitmap encoded into JFIF bytes for saving, and JFIF bytes
// decoded into a bitmap when first drawn. The bytes live in a record that
// images share; an image gets a new record whenever its content changes.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "graphics/Bitmap.h"
#include "graphics/GdiObject.h"
#include "base/RefPtr.h"

enum class TJPEGPerformance : unsigned char { FavourQuality, FavourSpeed };
enum class TJPEGPixelFormat : unsigned char { Depth24, Depth8 };
enum class TJPEGScale : unsigned char { ScaleFull, ScaleHalf, ScaleQuarter, ScaleEighth };

// The settings every new image starts with.
struct TJPEGDefaults {
    unsigned char Quality = 90;
    bool GrayOutput = false;
    TJPEGPerformance DecodeMode = TJPEGPerformance::FavourQuality;
    TJPEGPixelFormat OutputDepth = TJPEGPixelFormat::Depth24;
    bool ShowScans = false;
    bool Progressive = false;
    TJPEGScale DecodeScale = TJPEGScale::ScaleFull;
    bool BlockSmoothing = true;
};
extern TJPEGDefaults JPEGDefaults;

// The depth new images decode to on a screen of that many bits per pixel.
TJPEGPixelFormat DefaultDepthFor(int screenBitsPerPixel);
// Sets JPEGDefaults.OutputDepth for this screen; run before any image exists.
void PickDefaultDepth();
// PickDefaultDepth, then makes "jpeg" and "jpg" files and streamed pictures
// of class "TJPEGImage" known to the picture container.
void RegisterJPEGImage();
// Takes them out of the picture container again, at program end.
void UnregisterJPEGImage();

class TJPEGData : public TRefCounted {
public:
    TJPEGData() = default;

    // The whole JPEG file: none until encoded or read.
    std::optional<std::string> Stream;
    int32_t Width = 0, Height = 0;  // as the header says, or as encoded
    bool Grayscale = false;

protected:
    ~TJPEGData() override = default;  // the last RefPtr deletes it
};

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;

    // Settings, from JPEGDefaults when the image is made.
    unsigned char Quality;  // 1..100
    bool GrayOutput;
    TJPEGPerformance DecodeMode;
    TJPEGPixelFormat OutputDepth;
    bool ShowScans;
    bool Progressive;  // also set from the bytes when they are read
    bool BlockSmoothing;
    TJPEGScale DecodeScale() const { return decodeScale_; }
    void SetDecodeScale(TJPEGScale scale);

    // Start, progress and end of every encode and decode.
    TProgressEvent OnProgress;
    // The least time between two progress reports of one operation, in milliseconds.
    inline static unsigned ProgressInterval = 500;
    void Progress(TProgressStage stage, unsigned char percentDone, bool redrawNow, const RECT& rect);

    const char* ClassName() const override { return "TJPEGImage"; }
    TGraphic* NewOfSameClass() const override { return new TJPEGImage; }
    TJPEGData* Data() const { return data_.Get(); }

    // Assignment: a bitmap's copy to be encoded (CopyFromBitmap), another
    // JPEG image's bytes shared; anything else is refused.
    void ShareFrom(TPersistent* source) override;
    void CopyFromBitmap(TBitmap& source);
    // The decoded bitmap's copy for `target`.
    void AssignTo(TBitmap& target);

    // Compresses the bitmap into new bytes; without a bitmap the bytes are none.
    void Encode();
    void EnsureEncoded();
    void WriteToStream(std::string& target);
    // Replaces the file whole; one that cannot be written is left as it was.
    void WriteToFile(const std::string& fileName);
    // The stored form: a 4-byte little-endian length, then the bytes.
    void WriteWithLength(std::string& target);
    void ReadWithLength(TByteReader& source);
    // Takes every byte left in `source`.
    void ReadFromStream(TByteReader& source);
    // Takes `count` bytes and reads the size from their header.
    void ReadJpeg(size_t count, TByteReader& source);

    // The decoded bitmap, decoded when first asked for.
    TBitmap* DecodedBitmap();

    void Draw(TCanvas& canvas, const RECT& rect) override;
    bool Equals(TGraphic* other) override;
    bool Empty() override;
    int Width() override;
    int Height() override;
    // Always "Cannot change the size of a JPEG image".
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    HPALETTE Palette() override;
    void SetPalette(GdiPalette palette) override;

    void ReadData(TByteReader& reader) override { ReadWithLength(reader); }
    void WriteData(std::string& out) override { WriteWithLength(out); }
    void LoadFromStream(const std::string& bytes) override;
    std::string SaveToStream() override;
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(UINT& format, GdiBitmap& data, GdiPalette& palette) override;

private:
    // Uses `fresh` from now on and lets the old record go.
    void ReplaceData(RefPtr<TJPEGData> fresh);
    void UpdateScaledSize();
    void DecodeInto(TBitmap& bitmap);

    RefPtr<TJPEGData> data_;
    // Given for encoding, or decoded; shared with a decode in progress.
    std::shared_ptr<TBitmap> bitmap_;
    int scaledWidth_ = 0, scaledHeight_ = 0;
    GdiPalette tempPalette_;
    TJPEGScale decodeScale_;
    bool needRecalc_ = true;
};
