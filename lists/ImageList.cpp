#include "lists/ImageList.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "base/ScopeGuard.h"
#include "graphics/Icon.h"
#include "resources/StringIds.h"

COLORREF ImageListColor(TColor color) {
    if (color == clNone) return CLR_NONE;
    if (color == clDefault) return CLR_DEFAULT;
    return ColorToRGB(color);
}

TColor ColorOfImageList(COLORREF color) {
    if (color == CLR_NONE) return clNone;
    if (color == CLR_DEFAULT) return clDefault;
    return static_cast<TColor>(color);
}

namespace {
// Changes inside it notify once, when it ends, also when one of them throws.
auto Batch(TCustomImageList& list) { return BeginEnd(list, &TCustomImageList::BeginBatch, &TCustomImageList::EndBatch); }
}  // namespace

TChangeLink::~TChangeLink() {
    if (sender_) sender_->DetachListener(this);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {
    SetClassName("TCustomImageList");
    StartUp();
}

TCustomImageList::TCustomImageList(int width, int height) : TComponent(nullptr), width_(width), height_(height) {
    SetClassName("TCustomImageList");
    StartUp();
}

TCustomImageList::~TCustomImageList() {
    while (!listeners_.empty()) DetachListener(listeners_.back());
    // A shared platform list belongs to whoever shares it.
    if (shareImages_) handle_.Release();
}

void TCustomImageList::StartUp() {
    // Only the height has an upper bound.
    if (height_ < 1 || height_ > 32768 || width_ < 1) throw EInvalidOperation(LoadStr(SInvalidImageSize));
    MakeScratch();
}

void TCustomImageList::MakeScratch() {
    GdiBitmap made = ScreenBitmap(width_, height_);
    if (made) {
        MemoryDC dc;
        SelectGuard keep(dc.Get(), made.Get());
        RECT all{0, 0, width_, height_};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    scratch_ = std::move(made);
}

UINT TCustomImageList::CreateFlags() const { return (masked_ ? ILC_MASK : 0) | ILC_COLORDDB; }

UINT TCustomImageList::CopyFlags() const {
    static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    return styles[static_cast<int>(drawingStyle_)] | (imageType_ == TImageType::itMask ? ILD_MASK : 0);
}

HIMAGELIST TCustomImageList::PlatformHandle() {
    if (!handle_) {
        handle_.Reset(ImageList_Create(width_, height_, CreateFlags(), allocBy_, allocBy_));
        if (!handle_) throw EInvalidOperation(LoadStr(SInvalidImageList));
        if (bkColor_ != clNone) ImageList_SetBkColor(handle_.Get(), ImageListColor(bkColor_));
    }
    return handle_.Get();
}

int TCustomImageList::ImageCount() const { return handle_ ? ImageList_GetImageCount(handle_.Get()) : 0; }

void TCustomImageList::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    // The platform drops every picture when the cell size changes.
    if (handle_) ImageList_SetIconSize(handle_.Get(), width_, height_);
    MakeScratch();
    NotifyChange();
}

void TCustomImageList::SetBkColor(TColor color) {
    if (color == bkColor_) return;
    bkColor_ = color;
    if (handle_) ImageList_SetBkColor(handle_.Get(), ImageListColor(color));
    NotifyChange();
}

void TCustomImageList::RemoveImageAt(int index) {
    if (index >= ImageCount()) throw EInvalidOperation(LoadStr(SInvalidImageListIndex));
    if (handle_) ImageList_Remove(handle_.Get(), index);
    NotifyChange();
}

int TCustomImageList::AppendBlank() {
    int position = ImageList_Add(PlatformHandle(), scratch_.Get(), scratch_.Get());
    NotifyChange();
    return position;
}

void TCustomImageList::ReplaceMasked(int position, HBITMAP image, COLORREF maskColor) {
    if (position < 0 || position >= ImageCount()) throw EInvalidOperation(LoadStr(SInvalidImageListIndex));
    GdiBitmap colour = ScreenBitmap(width_, height_);
    GdiBitmap mask(CreateBitmap(width_, height_, 1, 1, nullptr));
    if (!colour || !mask) throw EInvalidOperation(LoadStr(SInvalidImageList));
    {
        MemoryDC source, target, maskDC;
        SelectGuard from(source.Get(), image);
        SelectGuard toMask(maskDC.Get(), mask.Get());
        SelectGuard toColour(target.Get(), colour.Get());
        // Pixels of the mask colour become 1 in the mask ...
        ::SetBkColor(source.Get(), maskColor & 0xFFFFFF);
        BitBlt(maskDC.Get(), 0, 0, width_, height_, source.Get(), 0, 0, SRCCOPY);
        BitBlt(target.Get(), 0, 0, width_, height_, source.Get(), 0, 0, SRCCOPY);
        // ... and black in the picture, as the platform's masked drawing expects.
        ::SetBkColor(target.Get(), RGB(255, 255, 255));
        SetTextColor(target.Get(), RGB(0, 0, 0));
        BitBlt(target.Get(), 0, 0, width_, height_, maskDC.Get(), 0, 0, 0x00220326);  // dest AND NOT mask
    }
    if (!ImageList_Replace(PlatformHandle(), position, colour.Get(), mask.Get()))
        throw EInvalidOperation(LoadStr(SInvalidImageList));
    NotifyChange();
}

int TCustomImageList::AppendIcon(TIcon* icon) {
    if (!icon) return AppendBlank();
    if (icon->Height() < height_ || icon->Width() < width_) throw EInvalidOperation(LoadStr(SInvalidImageSize));
    // The platform scales the icon into the cell with its mask; the icon keeps its handle.
    int position = ImageList_ReplaceIcon(PlatformHandle(), -1, icon->GdiHandle());
    NotifyChange();
    return position;
}

void TCustomImageList::CopyIconOut(int position, TIcon* icon) {
    if (!icon || !handle_) return;
    icon->SetGdiHandle(ImageList_GetIcon(handle_.Get(), position, CopyFlags()));
}

void TCustomImageList::InsertIconAt(int position, TIcon* icon) {
    auto batch = Batch(*this);  // one notification for the whole insert
    int count = ImageCount();
    if (position < 0 || position > count) {
        EmptyImages();
        throw EInvalidOperation(LoadStr(SInvalidImageListIndex));
    }
    // Inserting last, as a scan does for every icon, leaves the pictures
    // already in the list as they are.
    if (position == count) {
        AppendIcon(icon);
        return;
    }
    // Elsewhere the list is built again around the new picture.
    TCustomImageList before(5, 5);
    before.CopyListFrom(this);
    EmptyImages();
    TIcon work;
    for (int p = 0; p < position; ++p) {
        before.CopyIconOut(p, &work);
        AppendIcon(&work);
    }
    AppendIcon(icon);
    for (int p = position; p < count; ++p) {
        before.CopyIconOut(p, &work);
        AppendIcon(&work);
    }
}

void TCustomImageList::CopyListFrom(TCustomImageList* source) {
    EmptyImages();
    masked_ = source->masked_;
    imageType_ = source->imageType_;
    drawingStyle_ = source->drawingStyle_;
    shareImages_ = source->shareImages_;
    int cx = source->width_, cy = source->height_;
    ImageList_GetIconSize(source->PlatformHandle(), &cx, &cy);
    width_ = cx;
    height_ = cy;
    MakeScratch();
    if (handle_) ImageList_SetIconSize(handle_.Get(), width_, height_);
    else PlatformHandle();
    bkColor_ = ColorOfImageList(ImageList_GetBkColor(source->PlatformHandle()));
    ImageList_SetBkColor(handle_.Get(), ImageListColor(bkColor_));
    blendColor_ = source->blendColor_;
    CopyPicturesFrom(source);
}

void TCustomImageList::CopyPicturesFrom(TCustomImageList* source) {
    auto batch = Batch(*this);
    GdiBitmap colour = ScreenBitmap(width_, height_);
    GdiBitmap mask(CreateBitmap(width_, height_, 1, 1, nullptr));
    if (!colour || !mask) return;
    RECT cell{0, 0, width_, height_};
    MemoryDC dc;
    for (int i = 0, n = source->ImageCount(); i < n; ++i) {
        {
            SelectGuard draw(dc.Get(), colour.Get());
            FillRect(dc.Get(), &cell, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            ImageList_Draw(source->handle_.Get(), i, dc.Get(), 0, 0, ILD_NORMAL);
        }
        {
            SelectGuard draw(dc.Get(), mask.Get());
            FillRect(dc.Get(), &cell, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            ImageList_Draw(source->handle_.Get(), i, dc.Get(), 0, 0, ILD_MASK);
        }
        ImageList_Add(handle_.Get(), colour.Get(), mask.Get());
    }
}

void TCustomImageList::AttachListener(TChangeLink* link) {
    if (link->sender_) link->sender_->DetachListener(link);
    link->sender_ = this;
    listeners_.push_back(link);
}

void TCustomImageList::DetachListener(TChangeLink* link) {
    auto it = std::find(listeners_.begin(), listeners_.end(), link);
    if (it == listeners_.end()) return;
    listeners_.erase(it);
    link->sender_ = nullptr;
}

void TCustomImageList::NotifyChange() {
    changed_ = true;
    if (batchCount_ > 0) return;
    // A listener may detach itself while it is told.
    std::vector<TChangeLink*> listeners = listeners_;
    for (TChangeLink* link : listeners)
        if (link->sender_ == this && link->OnChange) link->OnChange(this);
    if (OnChange) OnChange(this);
}

void TCustomImageList::EndBatch() {
    if (batchCount_ > 0) --batchCount_;
    // Once changed, every batch that ends at the outermost level notifies.
    if (changed_) {
        changed_ = false;
        NotifyChange();
    }
}

bool TCustomImageList::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Width") SetWidth(value.AsInt());
    else if (name == "Height") SetHeight(value.AsInt());
    else if (name == "Masked") SetMasked(value.AsBoolean());
    else if (name == "AllocBy") SetAllocBy(value.AsInt());
    else if (name == "ShareImages") SetShareImages(value.AsBoolean());
    else if (name == "DrawingStyle")
        SetDrawingStyle(IdentToEnum<TDrawingStyle>(value, {{"dsFocus", TDrawingStyle::dsFocus},
                                                           {"dsSelected", TDrawingStyle::dsSelected},
                                                           {"dsNormal", TDrawingStyle::dsNormal},
                                                           {"dsTransparent", TDrawingStyle::dsTransparent}}));
    else if (name == "ImageType")
        SetImageType(IdentToEnum<TImageType>(value, {{"itImage", TImageType::itImage}, {"itMask", TImageType::itMask}}));
    else if (name == "BkColor") SetBkColor(ColorProperty(value));
    else if (name == "BlendColor") SetBlendColor(ColorProperty(value));
    else if (name == "OnChange") OnChange = reader.Handler(value);
    else return TComponent::SetProperty(name, value, reader);
    return true;
}

TImageList::TImageList(TComponent* owner) : TDragImageList(owner) { SetClassName("TImageList"); }

TImageList::TImageList(int width, int height) : TDragImageList(width, height) { SetClassName("TImageList"); }
