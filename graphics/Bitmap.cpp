#include "graphics/Bitmap.h"

#include <cstdlib>
#include <vector>

#include "graphics/CriticalSection.h"

namespace {
// Held while a bitmap swaps its record, so that sharing never sees half a swap.
CriticalSection& ImageSection() {
    static auto* section = new CriticalSection;  // outlives every bitmap
    return *section;
}
}  // namespace

TBitmap::TBitmap() : image_(MakeRef<TBitmapImage>()) {}

TBitmap::~TBitmap() { FreeContext(); }

bool TBitmap::Empty() { return !image_->GdiHandle && !image_->SectionHandle() && image_->StoredBmp.empty(); }

int TBitmap::Width() { return image_->Description.dsBm.bmWidth; }

int TBitmap::Height() { return std::abs(image_->Description.dsBm.bmHeight); }

void TBitmap::FreeContext() {
    if (canvas_) canvas_->FreeContext();
}

TCanvas& TBitmap::Surface() {
    if (!canvas_) {
        canvas_ = std::make_unique<TBitmapCanvas>(this);
        canvas_->OnChanging = [this](TObject*) { BeforeWrite(); };
        canvas_->OnChange = [this](TObject*) { Changed(); };
    }
    return *canvas_;
}

void TBitmap::Changed() {
    maskPixelsCurrent_ = false;
    TGraphic::Changed();
}

void TBitmap::NewImage(GdiBitmap handle, GdiPalette palette, const DIBSECTION& description, std::string stored) {
    auto image = MakeRef<TBitmapImage>(std::move(handle), std::move(palette), description);
    image->StoredBmp = std::move(stored);
    Install(std::move(image));
}

void TBitmap::Install(RefPtr<TBitmapImage> image) {
    FreeContext();
    auto lock = Locked(ImageSection());
    image_ = std::move(image);
    maskCurrent_ = false;
}

void TBitmap::CopyImage(HBITMAP handle, HPALETTE palette, DIBSECTION description) {
    FreeContext();
    GdiPalette copy = CopyPalette(palette);
    GdiBitmap made = ReshapeBitmap(handle, palette, copy.Get(), description, canvas_.get());
    NewImage(std::move(made), std::move(copy), description);
}

void TBitmap::SetWidth(int width) {
    if (width == Width()) return;
    DIBSECTION d = image_->Description;
    d.dsBm.bmWidth = width;
    d.dsBmih.biWidth = width;
    CopyImage(image_->GdiHandle, image_->Palette, d);
    Changed();
}

void TBitmap::SetHeight(int height) {
    if (height == Height()) return;
    DIBSECTION d = image_->Description;
    // A bottom-up section stays bottom-up.
    d.dsBm.bmHeight = height;
    d.dsBmih.biHeight = d.dsBmih.biHeight < 0 ? -height : height;
    CopyImage(image_->GdiHandle, image_->Palette, d);
    Changed();
}

void TBitmap::BeforeWrite() {
    if (image_->UseCount() > 1) {
        bool shortHeader = image_->ShortHeader;
        CopyImage(image_->GdiHandle, image_->HalftoneMade ? nullptr : image_->Palette, image_->Description);
        image_->ShortHeader = shortHeader;
    } else {
        // Drawing goes to the device-dependent bitmap: a copy beside it would be stale.
        image_->ReplaceSection(GdiBitmap(), DIBSECTION{});
    }
    image_->Description.dsBmih.biClrUsed = 0;
    image_->Description.dsBmih.biClrImportant = 0;
    image_->StoredBmp.clear();
}

HBITMAP TBitmap::GdiHandle() {
    FreeContext();
    BeforeWrite();
    return image_->GdiHandle;
}

namespace {
DIBSECTION Describe(HBITMAP handle) {
    DIBSECTION d{};
    if (handle && !GetObjectA(handle, sizeof d, &d)) d = DIBSECTION{};
    return d;
}
}  // namespace

void TBitmap::SetGdiHandle(GdiBitmap&& handle) {
    GdiBitmap taken = std::move(handle);
    // Our own handle handed back stays with the record that has it.
    if (taken.Get() == image_->GdiHandle) {
        taken.Release();
        return;
    }
    DIBSECTION d = Describe(taken.Get());
    UseHandle(MakeRef<TBitmapImage>(std::move(taken), GdiPalette(), d));
}

void TBitmap::SetGdiHandle(HBITMAP handle, THandleUse use) {
    if (use == THandleUse::Owned) return SetGdiHandle(GdiBitmap(handle));
    if (handle == image_->GdiHandle) return;
    UseHandle(MakeRef<TBitmapImage>(handle, Describe(handle)));
}

void TBitmap::UseHandle(RefPtr<TBitmapImage> image) {
    // A private palette moves with us to the new record; a shared one is copied.
    image->ReplacePalette(image_->UseCount() == 1 ? image_->TakePalette() : CopyPalette(image_->Palette));
    Install(std::move(image));
    Changed();
}

HPALETTE TBitmap::Palette() {
    int bits = image_->Description.dsBmih.biBitCount;
    if (!image_->Palette && !paletteIgnored_ && image_->IsSection() && bits <= 8 && bits > 0) {
        RGBQUAD table[256];
        UINT count = 0;
        MemoryDC dc;
        if (dc) {
            SelectGuard keep(dc.Get(), image_->GdiHandle);
            count = GetDIBColorTable(dc.Get(), 0, 256, table);
        }
        if (count > 0) {
            std::vector<char> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
            auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
            log->palVersion = 0x300;
            log->palNumEntries = static_cast<WORD>(count);
            for (UINT i = 0; i < count; ++i)
                log->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
            image_->ReplacePalette(GdiPalette(CreatePalette(log)));
        }
        if (!image_->Palette) paletteIgnored_ = true;
    }
    return image_->Palette;
}

void TBitmap::SetPalette(GdiPalette palette) {
    // Our own palette handed back stays with the record that has it.
    if (palette.Get() == image_->Palette) {
        palette.Release();
        return;
    }
    FreeContext();
    DIBSECTION d = image_->Description;
    GdiBitmap made = ReshapeBitmap(image_->GdiHandle, image_->Palette, palette.Get(), d, canvas_.get());
    NewImage(std::move(made), std::move(palette), d);
    PaletteChanged = true;
    Changed();
}

TColor TBitmap::TransparentColor() {
    if (TransparentColorFixed()) return static_cast<TColor>(ColorToRGB(transparentColor_) | 0x02000000);
    const BITMAP& bm = image_->Description.dsBm;
    if (bm.bmBitsPixel == 1 && bm.bmPlanes == 1) return 0x02FFFFFF;
    return static_cast<TColor>(Surface().PixelAt(0, Height() - 1) | 0x02000000);
}

void TBitmap::SetTransparentColor(TColor color) {
    if (color == transparentColor_) return;
    transparentColor_ = color;
    if (image_->UseCount() > 1) BeforeWrite();
    Changed();
}

void TBitmap::ShareFrom(TPersistent* source) {
    if (auto* other = dynamic_cast<TBitmap*>(source)) {
        if (other != this) Install(other->image_);
        transparent_ = other->transparent_;
        transparentColor_ = other->transparentColor_;
        maskCurrent_ = false;
    } else if (!source) {
        NewImage(GdiBitmap(), GdiPalette(), DIBSECTION{});
    } else {
        AssignError(source);
    }
    PaletteChanged = image_->Palette != nullptr;
    Changed();
}
