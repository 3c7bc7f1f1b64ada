#include "framework/Splitter.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "framework/WinControl.h"
#include "resources/StringIds.h"

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner) {
    SetClassName("TSplitter");
    ControlStyle |= csCaptureMouse;
    SetAlign(TAlign::alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

void TSplitter::SetBeveled(bool value) {
    if (value == beveled_) return;
    beveled_ = value;
    Invalidate();
}

bool TSplitter::Horizontal() const { return Align() == TAlign::alTop || Align() == TAlign::alBottom; }

TControl* TSplitter::ResizedControl() const {
    TWinControl* parent = Parent();
    if (!parent || Align() == TAlign::alNone || Align() == TAlign::alClient) return nullptr;
    RECT me = BoundsRect();
    for (TControl* c : parent->Controls()) {
        if (c == this || !c->Visible() || c->Align() != Align()) continue;
        RECT r = c->BoundsRect();
        bool touches = false;
        switch (Align()) {
        case TAlign::alLeft: touches = r.right == me.left; break;
        case TAlign::alRight: touches = r.left == me.right; break;
        case TAlign::alTop: touches = r.bottom == me.top; break;
        case TAlign::alBottom: touches = r.top == me.bottom; break;
        default: break;
        }
        if (touches) return c;
    }
    return nullptr;
}

void TSplitter::Paint() {
    RECT r = ClientRect();
    Canvas().FillRect(r);
    if (!beveled_) return;
    HDC dc = Canvas().GdiHandle();
    DrawEdge(dc, &r, BDR_RAISEDINNER, Horizontal() ? (BF_TOP | BF_BOTTOM) : (BF_LEFT | BF_RIGHT));
}

int TSplitter::NewSize(int x, int y) const {
    int delta = Horizontal() ? y + Top() - down_.y : x + Left() - down_.x;
    if (Align() == TAlign::alRight || Align() == TAlign::alBottom) delta = -delta;
    return std::clamp(startSize_ + delta, std::min(minSize_, maxSize_), maxSize_);
}

void TSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    control_ = ResizedControl();
    if (!control_) return;
    down_ = {x + Left(), y + Top()};  // in the parent: the bar itself moves while it follows the mouse
    startSize_ = Horizontal() ? control_->Height() : control_->Width();
    // The size may grow into the free space that the client-docked control holds,
    // leaving it at least the minimum.
    RECT area = Parent()->AlignRect();
    int used = 0;
    for (TControl* c : Parent()->Controls()) {
        if (!c->Visible()) continue;
        bool sameAxis = Horizontal() ? (c->Align() == TAlign::alTop || c->Align() == TAlign::alBottom)
                                     : (c->Align() == TAlign::alLeft || c->Align() == TAlign::alRight);
        if (sameAxis) used += Horizontal() ? c->Height() : c->Width();
    }
    int total = Horizontal() ? area.bottom - area.top : area.right - area.left;
    maxSize_ = std::max(minSize_, startSize_ + total - used - minSize_);
    newSize_ = startSize_;
    dragging_ = true;
    if (resizeStyle_ == TResizeStyle::rsLine) DrawLine();
}

void TSplitter::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!dragging_) return;
    int size = NewSize(x, y);
    if (size == newSize_) return;
    if (resizeStyle_ == TResizeStyle::rsLine) DrawLine();  // erase the old line
    newSize_ = size;
    if (resizeStyle_ == TResizeStyle::rsUpdate) ApplySize(size);
    if (resizeStyle_ == TResizeStyle::rsLine) DrawLine();
}

void TSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!dragging_ || button != TMouseButton::mbLeft) return;
    if (lineVisible_) DrawLine();
    dragging_ = false;
    ApplySize(NewSize(x, y));
    control_ = nullptr;
    if (OnMoved) OnMoved(this);
}

void TSplitter::ApplySize(int size) {
    if (!control_) return;
    if (Horizontal()) control_->SetHeight(size);
    else control_->SetWidth(size);
    Parent()->Update();
}

// The line follows the splitter's leading edge at the new size; drawing it twice
// in the same place removes it.
void TSplitter::DrawLine() {
    HWND wnd = Parent() ? Parent()->WindowHandle() : nullptr;
    if (!wnd) return;
    int pos;
    switch (Align()) {
    case TAlign::alLeft: pos = control_->Left() + newSize_; break;
    case TAlign::alRight: pos = control_->Left() + control_->Width() - newSize_ - Width(); break;
    case TAlign::alTop: pos = control_->Top() + newSize_; break;
    default: pos = control_->Top() + control_->Height() - newSize_ - Height(); break;
    }
    if (lineVisible_) pos = linePos_;
    WindowDC dc(wnd);
    WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    GdiBitmap bits(CreateBitmap(8, 8, 1, 1, pattern));
    GdiBrush brush(CreatePatternBrush(bits.Get()));
    SelectGuard keep(dc.Get(), brush.Get());
    if (Horizontal()) PatBlt(dc.Get(), Left(), pos, Width(), Height(), PATINVERT);
    else PatBlt(dc.Get(), pos, Top(), Width(), Height(), PATINVERT);
    linePos_ = pos;
    lineVisible_ = !lineVisible_;
}

bool TSplitter::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Beveled") SetBeveled(value.AsBoolean());
    else if (name == "MinSize") SetMinSize(value.AsInt());
    else if (name == "ResizeStyle")
        SetResizeStyle(IdentToEnum<TResizeStyle>(value, {{"rsNone", TResizeStyle::rsNone},
                                                        {"rsLine", TResizeStyle::rsLine},
                                                        {"rsUpdate", TResizeStyle::rsUpdate}}));
    else return TGraphicControl::SetProperty(name, value, reader);
    return true;
}
