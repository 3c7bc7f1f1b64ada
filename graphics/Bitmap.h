#pragma once
// Bitmap pictures: a shared, counted image record behind each object; the
// first writer of a shared record gets its own copy.
#include <memory>

#include "graphics/BitmapCanvas.h"
#include "graphics/Colors.h"
#include "graphics/Graphic.h"
#include "graphics/SharedImage.h"

// How the pixels lie in memory: the screen's own format, or a DIB section's.
enum class TPixelLayout { plDevice, pl1Bit, pl4Bit, pl8Bit, pl15Bit, pl16Bit, pl24Bit, pl32Bit, plCustom };

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;

    const char* ClassName() const override { return "TBitmap"; }
    TGraphic* NewOfSameClass() const override { return new TBitmap; }

    bool Empty() override;
    int Width() override;
    int Height() override;
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    HPALETTE Palette() override;
    void SetPalette(GdiPalette palette) override;

    // The drawing surface; its memory context is taken when first drawn on.
    TCanvas& Surface();
    // The bitmap handle, private to this bitmap from now on; lent to the
    // caller, it stays with this bitmap's record.
    HBITMAP GdiHandle();
    // Draws on `handle` from now on, without a copy; the record deletes it,
    // also when this throws.
    void SetGdiHandle(GdiBitmap&& handle);
    // The same for a raw handle: Owned, handed over as above; Borrowed, the
    // caller keeps it alive while this bitmap uses it, and deletes it.
    void SetGdiHandle(HBITMAP handle, THandleUse use);
    // The cached one-bit transparency mask, made when needed.
    HBITMAP MaskHandle();
    TColor TransparentColor();
    void SetTransparentColor(TColor color);
    bool TransparentColorFixed() const { return transparentColor_ != clDefault; }

    void Draw(TCanvas& canvas, const RECT& rect) override;
    // Replaces the image by its one-bit mask for `color`.
    void ConvertToMask(TColor color);

    void ShareFrom(TPersistent* source) override;
    void ReadData(TByteReader& reader) override;
    void WriteData(std::string& out) override;
    void LoadFromStream(const std::string& bytes) override;
    std::string SaveToStream() override;
    // Takes a copy of a plain bitmap from the clipboard; other formats are refused.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    // The clipboard's copy: a screen-compatible (or one-bit) bitmap of the
    // image and a new palette of the same entries, none without a palette.
    void SaveToClipboardFormat(UINT& format, GdiBitmap& data, GdiPalette& palette) override;

    // The image record, for the canvas and for callers that inspect sharing.
    TBitmapImage* Image() const { return image_.Get(); }
    // Copy-on-write: run before every write to the pixels.
    void BeforeWrite();

    TPixelLayout PixelLayout() const;
    // Converts the pixels to that layout; plCustom is "无效的像素格式".
    void SetPixelLayout(TPixelLayout layout);
    // The first byte of row `row`, row 0 being the top of the picture; a row
    // outside the picture is "扫描线索引超界".
    unsigned char* RowAddress(int row);
    // Gives a device-dependent bitmap a device-independent copy beside it,
    // kept until the pixels are next written.
    void DIBNeeded();
    void FreeContext();

protected:
    void Changed() override;

private:
    friend class TBitmapCanvas;
    // Takes a new record owning these handles and lets the old one go.
    void NewImage(GdiBitmap handle, GdiPalette palette, const DIBSECTION& description, std::string stored = {});
    // Uses `image` from now on and lets the old record go.
    void Install(RefPtr<TBitmapImage> image);
    // A new record around a handle, with this bitmap's palette.
    void UseHandle(RefPtr<TBitmapImage> image);
    // Re-shapes the pixels to `description` into a new private record.
    void CopyImage(HBITMAP handle, HPALETTE palette, DIBSECTION description);
    GdiBitmap MakeMask(HBITMAP handle, HPALETTE palette, TColor color);

    RefPtr<TBitmapImage> image_;
    std::unique_ptr<TBitmapCanvas> canvas_;
    bool paletteIgnored_ = false;
    bool maskCurrent_ = false;
    bool maskPixelsCurrent_ = false;
    TColor transparentColor_ = clDefault;
};

// Uncompressed pixels, or bit fields that name exactly the uncompressed layout
// (5-5-5 for 16 bits, 8-8-8 for 32), as some platforms report such a section.
bool IsPlainRgb(const DIBSECTION& description);

// The canvas's font and brush colours as the context's text and background
// colours: they decide how pixels map when either side has one bit per pixel.
void UseCanvasColors(HDC dc, TCanvas& canvas);

// Makes a bitmap of `target`'s shape holding `oldHandle`'s pixels at the top
// left; the new area takes `canvas`'s brush, or white without a canvas. Fills
// `target` with the new bitmap's description. Returns none for a zero size.
GdiBitmap ReshapeBitmap(HBITMAP oldHandle, HPALETTE oldPalette, HPALETTE newPalette, DIBSECTION& target,
                        TCanvas* canvas);

// The masked copy: where the mask is 1 the destination stays, where it is 0
// the source pixel lands. Stretches when the sizes differ.
void MaskedStretchCopy(HDC target, const RECT& to, HDC source, const RECT& from, HDC mask, POINT maskOrigin);
