#pragma once
// The image list that holds a file's icons at cell size, over the platform's
// image list: the pictures live in the platform object; this class decides the
// cell size, the flags, how icons go in and how attached controls learn of
// changes.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "base/Component.h"
#include "base/UniqueHandle.h"
#include "graphics/Colors.h"
#include "graphics/GdiObject.h"

class TIcon;
class TCustomImageList;

// One icon for TCustomImageList::AppendIcons: an icon object, or the bytes of
// a bitmap icon image whose icon would be exactly that image (see
// TIconSource::PlainImage), which spares the platform's icon object.
struct TIconToAppend {
    HICON icon = nullptr;
    const unsigned char* image = nullptr;
    size_t imageSize = 0;
};

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum class TImageType { itImage, itMask };

using ImageListHandle = UniqueHandle<HIMAGELIST, ImageList_Destroy>;

// A listener of one image list: told after every change of its pictures.
class TChangeLink {
public:
    TChangeLink() = default;
    ~TChangeLink();
    TChangeLink(const TChangeLink&) = delete;
    TChangeLink& operator=(const TChangeLink&) = delete;

    TCustomImageList* Sender() const { return sender_; }
    std::function<void(TCustomImageList* sender)> OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList* sender_ = nullptr;
};

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* owner);
    // A list of its own, owned by nobody (the insert's temporary list).
    TCustomImageList(int width, int height);
    ~TCustomImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    bool Masked() const { return masked_; }
    // Takes effect when the platform list is made.
    void SetMasked(bool value) { masked_ = value; }
    int AllocBy() const { return allocBy_; }
    void SetAllocBy(int value) { allocBy_ = value; }
    TDrawingStyle DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle value) { drawingStyle_ = value; }
    TImageType ImageType() const { return imageType_; }
    void SetImageType(TImageType value) { imageType_ = value; }
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor color);
    TColor BlendColor() const { return blendColor_; }
    void SetBlendColor(TColor color) { blendColor_ = color; }
    bool ShareImages() const { return shareImages_; }
    void SetShareImages(bool value) { shareImages_ = value; }
    TNotifyEvent OnChange;

    // Made on first use; "无效的图象列表" when the platform refuses.
    HIMAGELIST PlatformHandle();
    bool HandleAllocated() const { return static_cast<bool>(handle_); }
    int ImageCount() const;

    // Removes every picture; never fails.
    void EmptyImages() { RemoveImageAt(-1); }
    // Removes one picture; -1 removes all.
    void RemoveImageAt(int index);
    // The new picture's position, or -1 when the platform refused the icon.
    // An icon smaller than the cell is "无效的图象大小"; no icon appends the scratch picture.
    int AppendIcon(TIcon* icon);
    // Appends the icons in their order, each with the pixels AppendIcon gives
    // it (an image, those of its icon), but many with one platform call where
    // that cannot change a pixel. One notification; the icons and the bytes
    // stay with the caller.
    void AppendIcons(const std::vector<TIconToAppend>& icons);
    // Appends a black picture with an opaque mask and returns its position.
    int AppendBlank();
    // Replaces the picture at `position` by `image` (a bitmap of the cell size,
    // selected nowhere), every pixel of `maskColor` transparent.
    void ReplaceMasked(int position, HBITMAP image, COLORREF maskColor);
    // Gives `icon` a new handle made from the picture at `position`.
    void CopyIconOut(int position, TIcon* icon);
    // Puts the icon in at `position` (0 ... ImageCount); a position beyond the
    // count is "无效的图象列表索引" and leaves the list empty. One notification.
    void InsertIconAt(int position, TIcon* icon);
    // Takes over the other list's settings and pictures.
    void CopyListFrom(TCustomImageList* source);

    void AttachListener(TChangeLink* link);
    void DetachListener(TChangeLink* link);
    void BeginBatch() { ++batchCount_; }
    void EndBatch();

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    virtual void NotifyChange();

private:
    void StartUp();
    void SetSize(int width, int height);
    void MakeScratch();
    UINT CreateFlags() const;
    UINT CopyFlags() const;
    void CopyPicturesFrom(TCustomImageList* source);

    int width_ = 16;
    int height_ = 16;
    bool masked_ = true;
    int allocBy_ = 4;
    TDrawingStyle drawingStyle_ = TDrawingStyle::dsNormal;
    TImageType imageType_ = TImageType::itImage;
    TColor bkColor_ = clNone;
    TColor blendColor_ = clNone;
    bool shareImages_ = false;

    ImageListHandle handle_;
    GdiBitmap scratch_;  // stands in for a missing picture and mask
    std::vector<TChangeLink*> listeners_;
    int batchCount_ = 0;
    bool changed_ = false;
};

// Drag images: nothing in this program drags, so nothing is added.
class TDragImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};

class TImageList : public TDragImageList {
public:
    explicit TImageList(TComponent* owner);
    TImageList(int width, int height);
};

// The platform's colour for a colour of ours and back: clNone and clDefault
// have platform values of their own.
COLORREF ImageListColor(TColor color);
TColor ColorOfImageList(COLORREF color);
