#include "graphics/Bitmap.h"

#include <cstdlib>
#include <vector>

#include "base/Exceptions.h"
#include "base/PlatformError.h"
#include "graphics/CriticalSection.h"

namespace {
// Held while a bitmap swaps its record, so that sharing never sees half a swap.
CriticalSection& ImageSection() {
    static auto* section = new CriticalSection;  // outlives every bitmap
    return *section;
}
}  // namespace

TBitmap::TBitmap() : image_(new TBitmapImage) { image_->Reference(); }

TBitmap::~TBitmap() {
    FreeContext();
    image_->Release();
}

bool TBitmap::Empty() { return !image_->GdiHandle && !image_->SectionHandle && !image_->HasStoredBmp; }

int TBitmap::Width() { return image_->Description.dsBm.bmWidth; }

int TBitmap::Height() { return std::abs(image_->Description.dsBm.bmHeight); }

void TBitmap::FreeContext() {
    if (canvas_) canvas_->FreeContext();
}

TCanvas& TBitmap::Surface() {
    HandleNeeded();
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

void TBitmap::NewImage(HBITMAP handle, HPALETTE palette, const DIBSECTION& description, bool shortHeader,
                       const std::string* stored) {
    auto* image = new TBitmapImage;
    image->GdiHandle = handle;
    image->Palette = palette;
    image->Description = description;
    image->ShortHeader = shortHeader;
    if (stored) {
        image->HasStoredBmp = true;
        image->StoredBmp = *stored;
    }
    if (description.dsBm.bmBits) image->SectionHandle = handle;
    image->Reference();
    FreeContext();
    {
        ScopedLock lock(ImageSection());
        TBitmapImage* old = image_;
        image_ = image;
        old->Release();
    }
    maskCurrent_ = false;
}

void TBitmap::CopyImage(HBITMAP handle, HPALETTE palette, DIBSECTION description) {
    FreeContext();
    HPALETTE copy = CopyPalette(palette);
    try {
        HBITMAP made = ReshapeBitmap(handle, palette, copy, description, canvas_.get());
        NewImage(made, copy, description, image_->ShortHeader, nullptr);
    } catch (...) {
        DeletePalette(copy);
        throw;
    }
}

void TBitmap::SetWidth(int width) {
    if (width == Width()) return;
    HandleNeeded();
    DIBSECTION d = image_->Description;
    d.dsBm.bmWidth = width;
    d.dsBmih.biWidth = width;
    CopyImage(image_->GdiHandle, image_->Palette, d);
    Changed();
}

void TBitmap::SetHeight(int height) {
    if (height == Height()) return;
    HandleNeeded();
    DIBSECTION d = image_->Description;
    // A bottom-up section stays bottom-up.
    d.dsBm.bmHeight = height;
    d.dsBmih.biHeight = d.dsBmih.biHeight < 0 ? -height : height;
    CopyImage(image_->GdiHandle, image_->Palette, d);
    Changed();
}

void TBitmap::HandleNeeded() {
    if (!image_->GdiHandle && !image_->SectionHandle && image_->HasStoredBmp) {
        // Rebuild quietly: nothing about the picture changed.
        TNotifyEvent keep = std::move(OnChange);
        OnChange = nullptr;
        struct Restore {
            TNotifyEvent& target;
            TNotifyEvent& saved;
            ~Restore() { target = std::move(saved); }
        } restore{OnChange, keep};
        std::string stored = image_->StoredBmp;
        LoadFromStream(stored);
    }
    if (!image_->GdiHandle) image_->GdiHandle = image_->SectionHandle;
}

void TBitmap::BeforeWrite() {
    if (image_->UseCount() > 1) {
        HandleNeeded();
        CopyImage(image_->GdiHandle, image_->HalftoneMade ? nullptr : image_->Palette, image_->Description);
    } else if (image_->GdiHandle && image_->SectionHandle && image_->GdiHandle != image_->SectionHandle) {
        // Drawing goes to the device-dependent bitmap: the section copy would go stale.
        UnselectEverywhere(image_->SectionHandle);
        if (!DeleteObject(image_->SectionHandle)) RaiseLastPlatformError();
        image_->SectionHandle = nullptr;
        image_->Description.dsBm.bmBits = nullptr;
    }
    image_->Description.dsBmih.biClrUsed = 0;
    image_->Description.dsBmih.biClrImportant = 0;
    image_->HasStoredBmp = false;
    image_->StoredBmp.clear();
}

HBITMAP TBitmap::GdiHandle() {
    FreeContext();
    HandleNeeded();
    BeforeWrite();
    return image_->GdiHandle;
}

void TBitmap::SetGdiHandle(HBITMAP handle) {
    if (handle == image_->GdiHandle) return;
    FreeContext();
    DIBSECTION d{};
    if (handle && !GetObjectA(handle, sizeof d, &d)) d = DIBSECTION{};
    HPALETTE palette;
    if (image_->UseCount() == 1) {
        palette = image_->Palette;  // moves with us to the new record
        image_->Palette = nullptr;
    } else {
        palette = CopyPalette(image_->Palette);
    }
    NewImage(handle, palette, d, false, nullptr);
    Changed();
}

HPALETTE TBitmap::Palette() {
    if (!image_->Palette && !paletteIgnored_ && image_->SectionHandle && image_->Description.dsBmih.biBitCount <= 8 &&
        image_->Description.dsBmih.biBitCount > 0) {
        RGBQUAD table[256];
        UINT count = 0;
        MemoryDC dc;
        if (dc) {
            SelectGuard keep(dc.Get(), image_->SectionHandle);
            count = GetDIBColorTable(dc.Get(), 0, 256, table);
        }
        if (count > 0) {
            std::vector<char> block(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
            auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
            log->palVersion = 0x300;
            log->palNumEntries = static_cast<WORD>(count);
            for (UINT i = 0; i < count; ++i)
                log->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
            image_->Palette = CreatePalette(log);
        }
        if (!image_->Palette) paletteIgnored_ = true;
    }
    return image_->Palette;
}

void TBitmap::SetPalette(HPALETTE palette) {
    if (palette == image_->Palette) return;
    HandleNeeded();
    FreeContext();
    DIBSECTION d = image_->Description;
    HBITMAP made = ReshapeBitmap(image_->GdiHandle, image_->Palette, palette, d, canvas_.get());
    NewImage(made, palette, d, image_->ShortHeader, nullptr);
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
        if (other != this) {
            FreeContext();
            ScopedLock lock(ImageSection());
            other->image_->Reference();
            image_->Release();
            image_ = other->image_;
        }
        transparent_ = other->transparent_;
        transparentColor_ = other->transparentColor_;
        maskCurrent_ = false;
    } else if (!source) {
        NewImage(nullptr, nullptr, DIBSECTION{}, false, nullptr);
    } else {
        AssignError(source);
    }
    PaletteChanged = image_->Palette != nullptr;
    Changed();
}
