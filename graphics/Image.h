#pragma once
// The picture view. For now it keeps the stored picture bytes it was given and
// its display settings; drawing pictures comes with the picture model.
#include <string>

#include "framework/Control.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);

    bool Center() const { return center_; }
    void SetCenter(bool value) { center_ = value; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value) { stretch_ = value; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value) { transparent_ = value; }
    // The picture's stored form as the form description holds it.
    const std::string& PictureData() const { return pictureData_; }

    bool SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) override;

private:
    bool center_ = false;
    bool stretch_ = false;
    bool transparent_ = false;
    std::string pictureData_;
};
