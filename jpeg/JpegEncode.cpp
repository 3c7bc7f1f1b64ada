// Encoding: the image's bitmap compressed into JFIF bytes.
#include <vector>

#include "base/Exceptions.h"
#include "jpeg/JPEGImage.h"
#include "jpeg/JpegLibrary.h"

namespace {
void CreateCompressor(TCompressContext& c) {
    jpeg_create_compress(&c.Library);
    c.Library.progress = &c.Progress.Library;
}

void PointAtStream(TCompressContext& c) { SetStreamDestination(&c.Library, c.Target); }

void SetParameters(TCompressContext& c) {
    // The bitmap's pixels are blue, green, red: the library is told so.
    c.Library.input_components = 3;
    c.Library.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c.Library);
    c.Library.dct_method = JDCT_FLOAT;
    jpeg_set_quality(&c.Library, c.Quality, TRUE);
    if (c.Gray) jpeg_set_colorspace(&c.Library, JCS_GRAYSCALE);
    if (c.Progressive) jpeg_simple_progression(&c.Library);
}

void Compress(TCompressContext& c) {
    jpeg_start_compress(&c.Library, TRUE);
    while (c.Library.next_scanline < c.Library.image_height) {
        JDIMENSION line = c.Library.next_scanline;
        JDIMENSION count = c.Library.image_height - line;
        if (count > c.RowsPerCall) count = c.RowsPerCall;
        if (jpeg_write_scanlines(&c.Library, c.Rows + line, count) == 0) break;
    }
    jpeg_finish_compress(&c.Library);
}
}  // namespace

void TJPEGImage::Encode() {
    TCompressContext c{};
    PrepareContext(c, reinterpret_cast<j_common_ptr>(&c.Library), this);
    CallLibrary(c, CreateCompressor);
    const RECT none{};
    try {
        // Bytes another image also uses stay theirs.
        if (data_->Stream || data_->UseCount() > 1) ReplaceData(MakeRef<TJPEGData>());
        data_->Stream.emplace();
        // Kept alive while the library writes it, whatever a progress handler does to the image.
        RefPtr<TJPEGData> hold = data_;
        TJPEGData& data = *data_;
        c.Target = &*data.Stream;
        CallLibrary(c, PointAtStream);
        int width = bitmap_ ? bitmap_->Width() : 0, height = bitmap_ ? bitmap_->Height() : 0;
        if (width <= 0 || height <= 0) return;
        c.Library.image_width = static_cast<JDIMENSION>(width);
        c.Library.image_height = static_cast<JDIMENSION>(height);
        data.Width = width;
        data.Height = height;

        // A 24-bit copy: the image's own bitmap keeps its layout.
        TBitmap work;
        work.ShareFrom(bitmap_.get());
        work.SetPixelLayout(TPixelLayout::pl24Bit);
        std::vector<JSAMPROW> rows(static_cast<size_t>(height));
        unsigned char* top = work.RowAddress(0);
        ptrdiff_t stride = height > 1 ? work.RowAddress(1) - top : 0;
        for (int row = 0; row < height; ++row) rows[row] = top + stride * row;
        c.Rows = rows.data();
        // Top-down rows may go all at once; bottom-up ones go one by one.
        c.RowsPerCall = stride > 0 && stride % 4 == 0 ? static_cast<JDIMENSION>(height) : 1;

        c.Quality = Quality;
        c.Gray = GrayOutput;
        c.Progressive = Progressive;
        CallLibrary(c, SetParameters);
        if (GrayOutput) data.Grayscale = true;

        Progress(TProgressStage::StageStart, 0, false, none);
        try {
            CallLibrary(c, Compress);
        } catch (...) {
            Progress(TProgressStage::StageEnd, 0, false, none);
            throw;
        }
        Progress(TProgressStage::StageEnd, 100, false, none);
    } catch (const EAbort&) {
        // Cancelled: a partial stream is no picture.
        ReplaceData(MakeRef<TJPEGData>());
    }
}
