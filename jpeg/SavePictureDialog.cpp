#include "jpeg/SavePictureDialog.h"

#include "base/PropertyValue.h"

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TComponent(owner) { SetClassName("TSavePictureDialog"); }

bool TSavePictureDialog::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Filter") filter_ = value.AsString();
    else if (name == "FilterIndex") filterIndex_ = value.AsInt();
    else if (name == "FileName") fileName_ = value.AsString();
    else if (name == "Title") title_ = value.AsString();
    else return TComponent::SetProperty(name, value, reader);
    return true;
}
