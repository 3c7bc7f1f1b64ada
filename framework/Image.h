#pragma once
// The picture view: a windowless control showing one picture, at its natural
// size, stretched, or stretched keeping its proportions, optionally centred and
// transparent.
#include "framework/Control.h"
#include "graphics/Picture.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    TPicture& Picture() { return picture_; }
    void SetPicture(TPicture* picture) { picture_.ShareFrom(picture); }

    bool Center() const { return center_; }
    void SetCenter(bool value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool Proportional() const { return proportional_; }
    void SetProportional(bool value);
    bool IncrementalDisplay() const { return incrementalDisplay_; }
    void SetIncrementalDisplay(bool value) { incrementalDisplay_ = value; }

    // Where the picture goes inside the view.
    RECT DestRect();
    // The palette the view's picture wants realised, 0 for none.
    HPALETTE Palette();

    TProgressEvent OnProgress;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void Paint() override;
    bool CanAutoSize(int& width, int& height) override;

private:
    void PictureChanged();
    bool DoPaletteChange();
    void PictureProgress(TObject* sender, TProgressStage stage, unsigned char percent, bool redrawNow,
                         const RECT& rect, const std::string& message);

    TPicture picture_;
    bool center_ = false;
    bool stretch_ = false;
    bool transparent_ = false;
    bool proportional_ = false;
    bool incrementalDisplay_ = false;
    bool drawing_ = false;
};
