#pragma once
// The image list that holds the file's icons at 16 x 16, over the platform's
// image list.
#include <windows.h>
#include <commctrl.h>

#include "base/Component.h"
#include "base/UniqueHandle.h"

class TIcon;

using ImageListHandle = UniqueHandle<HIMAGELIST, ImageList_Destroy>;

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    HIMAGELIST Handle();
    void Clear();
    // Puts the icon in at `index` (0 ... Count); other positions are refused.
    void InsertIconAt(int index, TIcon* icon);

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

private:
    int width_ = 16;
    int height_ = 16;
    ImageListHandle handle_;
};
