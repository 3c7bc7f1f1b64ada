#pragma once
// Font, brush and pen descriptions with a lazily made GDI handle each.
#include <cstdint>
#include <string>

#include "base/Component.h"
#include "graphics/Colors.h"
#include "graphics/GdiObject.h"

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange(this);
    }
};

class TFont : public TGraphicsObject {
public:
    TFont();
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    // Takes every attribute of `source`; fires OnChange only when something differs.
    void Assign(const TFont& source);

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return height_; }
    void SetHeight(int height);
    int Charset() const { return charset_; }
    void SetCharset(int charset);
    uint8_t Style() const { return style_; }
    void SetStyle(uint8_t style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    HFONT Handle();

private:
    void Modified();

    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    int charset_ = DEFAULT_CHARSET;
    uint8_t style_ = 0;
    TColor color_ = clWindowText;
    GdiFont handle_;
};

enum class TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    HBRUSH Handle();

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
    GdiBrush handle_;
};

class TPen : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    HPEN Handle();

private:
    TColor color_ = clBlack;
    int width_ = 1;
    GdiPen handle_;
};
