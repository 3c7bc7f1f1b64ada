// Decoding: JFIF bytes read, their header size learnt, and the bitmap made when first asked for.
#include <vector>

#include "base/Exceptions.h"
#include "jpeg/JPEGImage.h"
#include "jpeg/JpegLibrary.h"

namespace {
void ReadHeaderOnly(TDecompressContext& c) {
    jpeg_create_decompress(&c.Library);
    SetStreamSource(&c.Library, c.Source);
    jpeg_read_header(&c.Library, TRUE);
    c.MultipleScans = jpeg_has_multiple_scans(&c.Library);
}

// The decoder made and set up: header, scale and output choices.
void SetUpDecoder(TDecompressContext& c) {
    jpeg_decompress_struct& d = c.Library;
    jpeg_create_decompress(&d);
    d.progress = c.Progress.Owner ? &c.Progress.Library : nullptr;
    SetStreamSource(&d, c.Source);
    jpeg_read_header(&d, TRUE);
    d.scale_num = 1;
    d.scale_denom = 1u << c.ScaleShift;
    d.do_block_smoothing = c.BlockSmoothing;
    // Rows take blue, green, red as the bitmap stores them; a colour space
    // the library cannot turn into that (CMYK among them) is its error, not
    // four or more bytes a pixel written into rows of three.
    if (c.GrayOutput) d.out_color_space = JCS_GRAYSCALE;
    else if (d.out_color_space != JCS_GRAYSCALE) d.out_color_space = JCS_EXT_BGR;
    if (c.Depth8 || d.out_color_space == JCS_GRAYSCALE) {
        d.quantize_colors = TRUE;
        d.desired_number_of_colors = 236;
    }
    if (c.FavourSpeed) {
        d.dct_method = JDCT_IFAST;
        d.two_pass_quantize = FALSE;
        d.dither_mode = JDITHER_ORDERED;
    } else {
        d.dct_method = JDCT_FLOAT;
    }
    c.FinalDctMethod = d.dct_method;
    c.FinalTwoPass = d.two_pass_quantize;
    c.FinalDither = d.dither_mode;
    if (c.ShowScans && jpeg_has_multiple_scans(&d)) {
        d.enable_2pass_quant = d.two_pass_quantize;
        d.dct_method = JDCT_IFAST;
        d.two_pass_quantize = FALSE;
        d.dither_mode = JDITHER_ORDERED;
        d.buffered_image = TRUE;
    }
}

void CalcSize(TDecompressContext& c) {
    SetUpDecoder(c);
    jpeg_calc_output_dimensions(&c.Library);
    c.MultipleScans = jpeg_has_multiple_scans(&c.Library);
}

// A palette given beforehand becomes the colour map; then the decoder starts.
void StartDecoder(TDecompressContext& c) {
    jpeg_decompress_struct& d = c.Library;
    if (c.EntryCount > 0) {
        d.colormap = (*d.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d), JPOOL_IMAGE, c.EntryCount, 3);
        for (UINT i = 0; i < c.EntryCount; ++i) {
            d.colormap[2][i] = c.Entries[i].peRed;
            d.colormap[1][i] = c.Entries[i].peGreen;
            d.colormap[0][i] = c.Entries[i].peBlue;
        }
        d.actual_number_of_colors = static_cast<int>(c.EntryCount);
    }
    jpeg_start_decompress(&d);
    if (d.output_components != c.ExpectedComponents) ERREXIT(&d, JERR_CONVERSION_NOTIMPL);
}

void ReadRows(TDecompressContext& c) {
    jpeg_decompress_struct& d = c.Library;
    while (d.output_scanline < d.output_height) {
        JDIMENSION line = d.output_scanline;
        JDIMENSION count = d.output_height - line;
        if (count > c.RowsPerCall) count = c.RowsPerCall;
        if (jpeg_read_scanlines(&d, c.Rows + line, count) == 0) break;
    }
}

void StartScan(TDecompressContext& c) { jpeg_start_output(&c.Library, c.Library.input_scan_number); }

void ReadScan(TDecompressContext& c) {
    ReadRows(c);
    jpeg_finish_output(&c.Library);
    c.EndOfImage = jpeg_consume_input(&c.Library) == JPEG_REACHED_EOI;
}

void StartLastPass(TDecompressContext& c) {
    jpeg_decompress_struct& d = c.Library;
    d.dct_method = c.FinalDctMethod;
    d.dither_mode = c.FinalDither;
    if (c.FinalTwoPass) {
        d.two_pass_quantize = TRUE;
        d.colormap = nullptr;
    }
    jpeg_start_output(&d, d.input_scan_number);
}

void FinishDecoding(TDecompressContext& c) {
    ReadRows(c);
    if (c.Library.buffered_image) jpeg_finish_output(&c.Library);
    jpeg_finish_decompress(&c.Library);
}

GdiPalette ColorMapToPalette(const jpeg_decompress_struct& d) {
    int count = d.actual_number_of_colors;
    if (count <= 0 || count > 256 || !d.colormap) return GdiPalette();
    std::vector<char> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(count);
    bool gray = d.out_color_space == JCS_GRAYSCALE;
    for (int i = 0; i < count; ++i) {
        BYTE first = d.colormap[0][i];  // blue, or the grey level
        log->palPalEntry[i] = gray ? PALETTEENTRY{first, first, first, 0}
                                   : PALETTEENTRY{d.colormap[2][i], d.colormap[1][i], first, 0};
    }
    return GdiPalette(CreatePalette(log));
}
}  // namespace

void TJPEGImage::ReadJpeg(size_t count, TByteReader& source) {
    ReplaceData(MakeRef<TJPEGData>());
    bitmap_.reset();
    needRecalc_ = true;
    TJPEGData& data = *data_;
    data.Stream = source.Read(count);
    if (count > 0) {
        TDecompressContext c{};
        PrepareContext(c, reinterpret_cast<j_common_ptr>(&c.Library), nullptr);
        c.Source = &*data.Stream;
        CallLibrary(c, ReadHeaderOnly);
        data.Width = static_cast<int32_t>(c.Library.image_width);
        data.Height = static_cast<int32_t>(c.Library.image_height);
        data.Grayscale = c.Library.jpeg_color_space == JCS_GRAYSCALE;
        Progressive = c.MultipleScans;
    }
    PaletteChanged = true;
    Changed();
}

namespace {
void ApplySettings(TDecompressContext& c, const TJPEGImage& image, const std::string& stream) {
    c.Source = &stream;
    c.ScaleShift = static_cast<int>(image.DecodeScale());
    c.BlockSmoothing = image.BlockSmoothing;
    c.GrayOutput = image.GrayOutput;
    c.Depth8 = image.OutputDepth == TJPEGPixelFormat::Depth8;
    c.FavourSpeed = image.DecodeMode == TJPEGPerformance::FavourSpeed;
    c.ShowScans = image.ShowScans;
}
}  // namespace

void TJPEGImage::UpdateScaledSize() {
    if (!needRecalc_) return;
    scaledWidth_ = scaledHeight_ = 0;
    if (data_->Stream) {
        TDecompressContext c{};
        PrepareContext(c, reinterpret_cast<j_common_ptr>(&c.Library), nullptr);
        ApplySettings(c, *this, *data_->Stream);
        CallLibrary(c, CalcSize);
        scaledWidth_ = static_cast<int>(c.Library.output_width);
        scaledHeight_ = static_cast<int>(c.Library.output_height);
        Progressive = c.MultipleScans;
    }
    needRecalc_ = false;
}

TBitmap* TJPEGImage::DecodedBitmap() {
    if (bitmap_) return bitmap_.get();
    // Held here too, so that a handler dropping the image's bitmap cannot free the rows being filled.
    auto bitmap = std::make_shared<TBitmap>();
    bitmap_ = bitmap;
    // Without bytes there is nothing to decode: the bitmap stays empty.
    if (data_->Stream) DecodeInto(*bitmap);
    return bitmap.get();
}

void TJPEGImage::DecodeInto(TBitmap& bitmap) {
    // Kept alive while the library reads it, whatever a progress handler does to the image.
    RefPtr<TJPEGData> hold = data_;
    TDecompressContext c{};
    PrepareContext(c, reinterpret_cast<j_common_ptr>(&c.Library), this);
    ApplySettings(c, *this, *data_->Stream);
    CallLibrary(c, SetUpDecoder);
    jpeg_decompress_struct& d = c.Library;
    const RECT none{};
    bool makePalette = true;
    try {
        const bool eightBit = c.Depth8 || d.out_color_space == JCS_GRAYSCALE;
        bitmap.SetPixelLayout(eightBit ? TPixelLayout::pl8Bit : TPixelLayout::pl24Bit);
        Progress(TProgressStage::StageStart, 0, false, none);
        if (tempPalette_ && c.Depth8) {
            c.EntryCount = GetPaletteEntries(tempPalette_.Get(), 0, 256, c.Entries);
            bitmap.SetPalette(CopyPalette(tempPalette_.Get()));
            makePalette = false;
        } else if (tempPalette_) {
            tempPalette_.Reset();
        }
        c.ExpectedComponents = eightBit ? 1 : 3;
        CallLibrary(c, StartDecoder);
        bitmap.SetWidth(static_cast<int>(d.output_width));
        bitmap.SetHeight(static_cast<int>(d.output_height));

        // Row addresses, found again whenever a new palette has made new pixels.
        const int height = static_cast<int>(d.output_height);
        std::vector<JSAMPROW> rows(static_cast<size_t>(height));
        auto locateRows = [&] {
            unsigned char* top = bitmap.RowAddress(0);
            ptrdiff_t stride = height > 1 ? bitmap.RowAddress(1) - top : 0;
            for (int row = 0; row < height; ++row) rows[row] = top + stride * row;
            c.Rows = rows.data();
            c.RowsPerCall = stride > 0 && stride % 4 == 0 ? d.rec_outbuf_height : 1;
        };
        locateRows();
        auto takeColorMap = [&] {
            bitmap.SetPalette(ColorMapToPalette(d));
            PaletteChanged = true;
            locateRows();
        };
        if (d.buffered_image) {
            // Scan by scan: each scan is shown as it comes.
            do {
                CallLibrary(c, StartScan);
                if (c.Progress.Library.completed_passes == 0 && d.colormap && eightBit && makePalette)
                    takeColorMap();
                CallLibrary(c, ReadScan);
            } while (!c.EndOfImage);
            CallLibrary(c, StartLastPass);
        }
        if ((!d.buffered_image || c.FinalTwoPass) && d.colormap && makePalette) takeColorMap();
        CallLibrary(c, FinishDecoding);
    } catch (const EAbort&) {
        // Cancelled: what was decoded so far is the picture.
        Progress(TProgressStage::StageEnd, 0, PaletteChanged, none);
        if (PaletteChanged) Changed();
        return;
    } catch (...) {
        Progress(TProgressStage::StageEnd, 0, PaletteChanged, none);
        if (PaletteChanged) Changed();
        throw;
    }
    Progress(TProgressStage::StageEnd, 100, PaletteChanged, none);
    if (PaletteChanged) Changed();
}
