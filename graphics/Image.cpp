#include "graphics/Image.h"

#include "framework/FormReader.h"

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetClassName("TImage");
    ControlStyle |= csClickEvents | csReplicatable;
    SetBounds(0, 0, 105, 105);
}

bool TImage::SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) {
    if (name == "Center") SetCenter(value.AsBoolean());
    else if (name == "Stretch") SetStretch(value.AsBoolean());
    else if (name == "Transparent") SetTransparent(value.AsBoolean());
    else if (name == "Picture.Data") pictureData_ = value.AsBinary();
    else return TGraphicControl::SetProperty(name, value, reader);
    return true;
}
