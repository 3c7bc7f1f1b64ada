#include "graphics/Font.h"

#include <cstring>

TFont::TFont() = default;

void TFont::Modified() {
    // The old handle may be selected in a canvas: it dies only after the
    // listeners have selected the new one.
    GdiFont old(std::move(handle_));
    Changed();
}

void TFont::Assign(const TFont& source) {
    if (&source == this) return;
    if (name_ == source.name_ && height_ == source.height_ && charset_ == source.charset_ &&
        style_ == source.style_ && color_ == source.color_)
        return;
    name_ = source.name_;
    height_ = source.height_;
    charset_ = source.charset_;
    style_ = source.style_;
    color_ = source.color_;
    Modified();
}

void TFont::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    Modified();
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Modified();
}

void TFont::SetCharset(int charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Modified();
}

void TFont::SetStyle(uint8_t style) {
    if (style == style_) return;
    style_ = style;
    Modified();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();  // the colour is not part of the GDI font
}

HFONT TFont::Handle() {
    if (!handle_) {
        LOGFONTA lf{};
        lf.lfHeight = height_;
        lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
        lf.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
        lf.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
        lf.lfCharSet = static_cast<BYTE>(charset_);
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
        handle_.Reset(CreateFontIndirectA(&lf));
    }
    return handle_.Get();
}

void TBrush::SetColor(TColor color) {
    if (color == color_ && style_ == TBrushStyle::bsSolid) return;
    color_ = color;
    style_ = TBrushStyle::bsSolid;  // choosing a colour makes the brush paint
    GdiBrush old(std::move(handle_));
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    GdiBrush old(std::move(handle_));
    Changed();
}

HBRUSH TBrush::Handle() {
    if (style_ == TBrushStyle::bsClear) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!handle_) handle_.Reset(CreateSolidBrush(ColorToRGB(color_)));
    return handle_.Get();
}

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    GdiPen old(std::move(handle_));
    Changed();
}

void TPen::SetWidth(int width) {
    if (width == width_) return;
    width_ = width;
    GdiPen old(std::move(handle_));
    Changed();
}

HPEN TPen::Handle() {
    if (!handle_) handle_.Reset(CreatePen(PS_SOLID, width_, ColorToRGB(color_)));
    return handle_.Get();
}
