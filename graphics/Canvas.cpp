#include "graphics/Canvas.h"

#include "framework/Exceptions.h"
#include "framework/ResStrings.h"
#include "resources/StringIds.h"

TCanvas::TCanvas() {
    InitializeCriticalSection(&lock_);
    Font.OnChange = [this](TObject*) { FontChanged(); };
    Pen.OnChange = [this](TObject*) { PenChanged(); };
    Brush.OnChange = [this](TObject*) { BrushChanged(); };
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
    DeleteCriticalSection(&lock_);
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    if (dc_) DeselectHandles();
    dc_ = dc;
    state_ = dc ? unsigned{csHandleValid} : 0u;
}

void TCanvas::DeselectHandles() {
    if (!dc_) return;
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    oldFont_ = oldPen_ = oldBrush_ = nullptr;
    state_ &= ~(csFontValid | csPenValid | csBrushValid);
}

void TCanvas::RequiredState(unsigned state) {
    unsigned needed = state & ~state_;
    if (!needed) return;
    if (needed & csHandleValid) {
        CreateHandle();
        if (!dc_) throw EInvalidOperation(LoadStr(SNoCanvasHandle));
        state_ |= csHandleValid;
    }
    if ((needed & csFontValid) && !(state_ & csFontValid)) {
        HGDIOBJ old = SelectObject(dc_, Font.Handle());
        if (!oldFont_) oldFont_ = old;
        SetTextColor(dc_, ColorToRGB(Font.Color()));
        state_ |= csFontValid;
    }
    if ((needed & csPenValid) && !(state_ & csPenValid)) {
        HGDIOBJ old = SelectObject(dc_, Pen.Handle());
        if (!oldPen_) oldPen_ = old;
        state_ |= csPenValid;
    }
    if ((needed & csBrushValid) && !(state_ & csBrushValid)) {
        HGDIOBJ old = SelectObject(dc_, Brush.Handle());
        if (!oldBrush_) oldBrush_ = old;
        UnrealizeObject(Brush.Handle());
        if (Brush.Style() == TBrushStyle::bsSolid) {
            SetBkColor(dc_, ColorToRGB(Brush.Color()));
            SetBkMode(dc_, OPAQUE);
        } else {
            SetBkColor(dc_, ~ColorToRGB(Brush.Color()) & 0xFFFFFF);
            SetBkMode(dc_, TRANSPARENT);
        }
        state_ |= csBrushValid;
    }
}

// A changed font, pen or brush goes back to the stock object so that the old
// handle can be deleted; the new one is selected when next needed.
void TCanvas::FontChanged() {
    if (dc_ && (state_ & csFontValid)) {
        SelectObject(dc_, GetStockObject(SYSTEM_FONT));
        state_ &= ~csFontValid;
    }
}

void TCanvas::PenChanged() {
    if (dc_ && (state_ & csPenValid)) {
        SelectObject(dc_, GetStockObject(BLACK_PEN));
        state_ &= ~csPenValid;
    }
}

void TCanvas::BrushChanged() {
    if (dc_ && (state_ & csBrushValid)) {
        SelectObject(dc_, GetStockObject(HOLLOW_BRUSH));
        state_ &= ~csBrushValid;
    }
}

HDC TCanvas::GdiHandle() {
    Changing();
    RequiredState(csHandleValid | csFontValid | csPenValid | csBrushValid);
    return dc_;
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

void TCanvas::FillRect(const RECT& rect) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    ::FillRect(dc_, &rect, Brush.Handle());
    Changed();
}

void TCanvas::FrameRect(const RECT& rect) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    ::FrameRect(dc_, &rect, Brush.Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const RECT& rect) {
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    ::DrawFocusRect(dc_, &rect);
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
    Changed();
}

void TCanvas::TextRect(RECT rect, const std::string& text, UINT format) {
    Changing();
    RequiredState(csHandleValid | csFontValid | csBrushValid);
    ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rect, format);
    Changed();
}

SIZE TCanvas::TextExtent(const std::string& text) {
    RequiredState(csHandleValid | csFontValid);
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::MoveTo(int x, int y) {
    RequiredState(csHandleValid);
    MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    Changing();
    RequiredState(csHandleValid | csPenValid | csBrushValid);
    ::LineTo(dc_, x, y);
    Changed();
}

COLORREF TCanvas::PixelAt(int x, int y) {
    RequiredState(csHandleValid);
    return GetPixel(dc_, x, y);
}

void TCanvas::Lock() {
    EnterCriticalSection(&lock_);
    ++lockCount_;
}

void TCanvas::Unlock() {
    --lockCount_;
    LeaveCriticalSection(&lock_);
}

bool TCanvas::TryToLock() {
    if (!TryEnterCriticalSection(&lock_)) return false;
    ++lockCount_;
    return true;
}
