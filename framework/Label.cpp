#include "framework/Label.h"

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    SetClassName("TLabel");
    SetBounds(0, 0, 65, 17);
    SetAutoSize(true);
}

bool TLabel::CanAutoSize(int& width, int& height) {
    TScreenCanvas measure(Font);
    // An empty label keeps a line's height.
    SIZE size = measure.TextExtent(Caption().empty() ? std::string(" ") : Caption());
    width = Caption().empty() ? 0 : size.cx;
    height = size.cy;
    return true;
}

void TLabel::TextChanged() { AdjustSize(); }

void TLabel::FontChanged() {
    AdjustSize();
    TGraphicControl::FontChanged();
}

void TLabel::Paint() {
    TCanvas& canvas = Canvas();
    canvas.Brush.SetStyle(TBrushStyle::bsClear);
    canvas.TextRect(ClientRect(), Caption(), DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}
