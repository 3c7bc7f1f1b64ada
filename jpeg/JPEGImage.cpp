// The JPEG image's content, assignment, stored forms, size and palette.
#include "jpeg/JPEGImage.h"

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "base/WholeFile.h"
#include "graphics/Canvas.h"
#include "graphics/Picture.h"
#include "resources/StringIds.h"

TJPEGDefaults JPEGDefaults;

namespace {
bool registered = false;  // the two kinds are in the picture container

int ScreenDepth() {
    WindowDC screen(nullptr);
    if (!screen.Get()) return 24;
    return GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES);
}
}  // namespace

TJPEGPixelFormat DefaultDepthFor(int screenBitsPerPixel) {
    return screenBitsPerPixel <= 8 ? TJPEGPixelFormat::Depth8 : TJPEGPixelFormat::Depth24;
}

void PickDefaultDepth() { JPEGDefaults.OutputDepth = DefaultDepthFor(ScreenDepth()); }

void RegisterJPEGImage() {
    PickDefaultDepth();
    if (registered) return;
    registered = true;
    auto make = [] { return static_cast<TGraphic*>(new TJPEGImage); };
    TPicture::RegisterFileFormat("jpeg", "", SJPEGImageFile, "TJPEGImage", make);
    TPicture::RegisterFileFormat("jpg", "", SJPEGImageFile, "TJPEGImage", make);
}

void UnregisterJPEGImage() {
    TPicture::UnregisterGraphicClass("TJPEGImage");
    registered = false;
}

TJPEGImage::TJPEGImage()
    : Quality(JPEGDefaults.Quality),
      GrayOutput(JPEGDefaults.GrayOutput),
      DecodeMode(JPEGDefaults.DecodeMode),
      OutputDepth(JPEGDefaults.OutputDepth),
      ShowScans(JPEGDefaults.ShowScans),
      Progressive(JPEGDefaults.Progressive),
      BlockSmoothing(JPEGDefaults.BlockSmoothing),
      data_(MakeRef<TJPEGData>()),
      decodeScale_(JPEGDefaults.DecodeScale) {}

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::SetDecodeScale(TJPEGScale scale) {
    if (scale == decodeScale_) return;
    decodeScale_ = scale;
    needRecalc_ = true;
}

void TJPEGImage::Progress(TProgressStage stage, unsigned char percentDone, bool redrawNow, const RECT& rect) {
    if (OnProgress) OnProgress(this, stage, percentDone, redrawNow, rect, std::string());
}

void TJPEGImage::ReplaceData(RefPtr<TJPEGData> fresh) { data_ = std::move(fresh); }

void TJPEGImage::ShareFrom(TPersistent* source) {
    if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
        CopyFromBitmap(*bitmap);
    } else if (auto* jpeg = dynamic_cast<TJPEGImage*>(source)) {
        if (jpeg == this) return;
        data_ = jpeg->data_;
        // A bitmap of the old content would stand for the new bytes.
        bitmap_.reset();
        if (jpeg->bitmap_) {
            auto copy = std::make_shared<TBitmap>();
            copy->ShareFrom(jpeg->bitmap_.get());
            bitmap_ = std::move(copy);
        }
        needRecalc_ = true;
    } else {
        AssignError(source);
    }
}

void TJPEGImage::CopyFromBitmap(TBitmap& source) {
    auto copy = std::make_shared<TBitmap>();
    copy->ShareFrom(&source);
    ReplaceData(MakeRef<TJPEGData>());
    bitmap_ = std::move(copy);
    needRecalc_ = true;
}

void TJPEGImage::AssignTo(TBitmap& target) { target.ShareFrom(DecodedBitmap()); }

void TJPEGImage::EnsureEncoded() {
    if (!data_->Stream) Encode();
}

void TJPEGImage::WriteToStream(std::string& target) {
    EnsureEncoded();
    if (data_->Stream) target += *data_->Stream;
}

void TJPEGImage::WriteToFile(const std::string& fileName) { WriteWholeFile(fileName, SaveToStream()); }

void TJPEGImage::WriteWithLength(std::string& target) {
    // A bitmap not yet encoded would otherwise be stored as nothing.
    if (bitmap_ && !bitmap_->Empty()) EnsureEncoded();
    const std::string* stream = data_->Stream ? &*data_->Stream : nullptr;
    size_t size = stream ? stream->size() : 0;
    if (size > static_cast<size_t>(INT32_MAX)) throw EWriteError(LoadStr(SWriteError));
    AppendInt32(target, static_cast<int32_t>(size));
    if (stream) target += *stream;
}

void TJPEGImage::ReadWithLength(TByteReader& source) {
    int32_t count = source.ReadInt32();
    if (count < 0) throw EReadError(LoadStr(SReadError));
    ReadJpeg(static_cast<size_t>(count), source);
}

void TJPEGImage::ReadFromStream(TByteReader& source) { ReadJpeg(source.Remaining(), source); }

void TJPEGImage::LoadFromStream(const std::string& bytes) {
    TByteReader reader(bytes);
    ReadFromStream(reader);
}

std::string TJPEGImage::SaveToStream() {
    std::string out;
    WriteToStream(out);
    return out;
}

void TJPEGImage::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) {
    throw EInvalidGraphic(LoadStr(SUnknownClipboardFormat));
}

void TJPEGImage::SaveToClipboardFormat(UINT& format, GdiBitmap& data, GdiPalette& palette) {
    DecodedBitmap()->SaveToClipboardFormat(format, data, palette);
}

void TJPEGImage::Draw(TCanvas& canvas, const RECT& rect) { canvas.DrawInRect(rect, DecodedBitmap()); }

bool TJPEGImage::Equals(TGraphic* other) {
    auto* jpeg = dynamic_cast<TJPEGImage*>(other);
    if (!jpeg) return false;
    if (data_->Stream && jpeg->data_->Stream) return *data_->Stream == *jpeg->data_->Stream;
    return data_ == jpeg->data_;
}

bool TJPEGImage::Empty() { return !data_->Stream && (!bitmap_ || bitmap_->Empty()); }

int TJPEGImage::Width() {
    if (bitmap_) return bitmap_->Width();
    if (decodeScale_ == TJPEGScale::ScaleFull) return data_->Width;
    UpdateScaledSize();
    return scaledWidth_;
}

int TJPEGImage::Height() {
    if (bitmap_) return bitmap_->Height();
    if (decodeScale_ == TJPEGScale::ScaleFull) return data_->Height;
    UpdateScaledSize();
    return scaledHeight_;
}

void TJPEGImage::SetWidth(int) { throw EInvalidGraphicOperation(LoadStr(SChangeJPEGSize)); }

void TJPEGImage::SetHeight(int) { throw EInvalidGraphicOperation(LoadStr(SChangeJPEGSize)); }

HPALETTE TJPEGImage::Palette() {
    if (bitmap_) return bitmap_->Palette();
    if (tempPalette_) return tempPalette_.Get();
    if (OutputDepth == TJPEGPixelFormat::Depth24 && ScreenDepth() <= 8) {
        WindowDC screen(nullptr);
        tempPalette_.Reset(CreateHalftonePalette(screen.Get()));
    }
    return tempPalette_.Get();
}

void TJPEGImage::SetPalette(GdiPalette palette) {
    // Our own palette handed back stays ours.
    if (palette.Get() == tempPalette_.Get()) {
        palette.Release();
        return;
    }
    GdiPalette taken = std::move(palette);
    bool dropped = false;
    if (bitmap_ && bitmap_->Palette() != taken.Get()) {
        // Only a bitmap that can be decoded again goes; a given one is the content.
        if (data_->Stream) {
            bitmap_.reset();
            dropped = true;
        }
    } else if (bitmap_) {
        // The bitmap keeps its own palette: ours is a copy.
        taken = CopyPalette(taken.Release());
    }
    tempPalette_ = std::move(taken);
    if (dropped) {
        PaletteChanged = true;
        Changed();
    }
}
