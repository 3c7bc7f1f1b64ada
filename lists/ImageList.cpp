#include "lists/ImageList.h"

#include "framework/FormReader.h"

TImageList::TImageList(TComponent* owner) : TComponent(owner) { SetClassName("TImageList"); }

bool TImageList::SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) {
    if (name == "Width") width_ = value.AsInt();
    else if (name == "Height") height_ = value.AsInt();
    else return TComponent::SetProperty(name, value, reader);
    return true;
}
