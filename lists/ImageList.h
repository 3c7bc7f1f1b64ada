#pragma once
// The image list that holds the file's icons at 16 x 16. For now it only
// carries its image size.
#include "framework/Component.h"

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner);
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) override;

private:
    int width_ = 16;
    int height_ = 16;
};
