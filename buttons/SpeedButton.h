#pragma once
// The flat tool button. For now it draws its glyph plain, or embossed when disabled.
#include "framework/Control.h"
#include "graphics/GdiObject.h"

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);

    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    // Takes a bitmap's stored form: a 4-byte length and the BMP file bytes.
    void SetGlyphData(const std::string& stored);
    HBITMAP Glyph() const { return glyph_.Get(); }

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void Paint() override;

private:
    bool flat_ = false;
    GdiBitmap glyph_;
    SIZE glyphSize_{};
};
