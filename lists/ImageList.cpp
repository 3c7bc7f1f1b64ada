#include "lists/ImageList.h"

#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "graphics/Icon.h"
#include "resources/StringIds.h"

TImageList::TImageList(TComponent* owner) : TComponent(owner) { SetClassName("TImageList"); }

HIMAGELIST TImageList::Handle() {
    if (!handle_) handle_.Reset(ImageList_Create(width_, height_, ILC_COLOR32 | ILC_MASK, 4, 4));
    return handle_.Get();
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_.Get()) : 0; }

void TImageList::Clear() {
    if (handle_) ImageList_RemoveAll(handle_.Get());
}

void TImageList::InsertIconAt(int index, TIcon* icon) {
    if (index < 0 || index > Count()) {
        Clear();
        throw EInvalidOperation(LoadStr(SInvalidImageListIndex));
    }
    int at = ImageList_ReplaceIcon(Handle(), -1, icon ? icon->GdiHandle() : nullptr);
    if (at < 0) return;  // the platform refused the icon
    // Appended at the end: move it forward to its place.
    for (int i = at; i > index; --i) ImageList_Copy(handle_.Get(), i, handle_.Get(), i - 1, ILCF_SWAP);
}

bool TImageList::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Width") width_ = value.AsInt();
    else if (name == "Height") height_ = value.AsInt();
    else return TComponent::SetProperty(name, value, reader);
    return true;
}
