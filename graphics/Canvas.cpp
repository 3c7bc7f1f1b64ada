#include "graphics/Canvas.h"

#include <memory>
#include <optional>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "graphics/Bitmap.h"
#include "graphics/CriticalSection.h"
#include "resources/StringIds.h"

namespace {
// Guards every canvas's lock count, so that a waiting lock is seen by TryToLock.
CriticalSection& CounterLock() {
    static auto* section = new CriticalSection;  // outlives every canvas
    return *section;
}
}  // namespace

TCanvas::TCanvas() {
    Font.OnChange = [this](TObject*) { FontChanged(); };
    Pen.OnChange = [this](TObject*) { PenChanged(); };
    Brush.OnChange = [this](TObject*) { BrushChanged(); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

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
    return ReadHandle();
}

HDC TCanvas::ReadHandle() {
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
    {
        auto counter = Locked(CounterLock());
        ++lockCount_;
    }
    lock_.Enter();
}

void TCanvas::Unlock() {
    lock_.Leave();
    auto counter = Locked(CounterLock());
    --lockCount_;
}

bool TCanvas::TryToLock() {
    auto counter = Locked(CounterLock());
    bool free = lockCount_ == 0;
    if (free) {
        ++lockCount_;
        lock_.Enter();  // nobody holds or waits for it: no wait
    }
    return free;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequiredState(csHandleValid);
    SetBkColor(dc_, ColorToRGB(Brush.Color()));
    SetTextColor(dc_, ColorToRGB(Font.Color()));
    RECT rect{x, y, x + graphic->Width(), y + graphic->Height()};
    graphic->Draw(*this, rect);
    Changed();
}

void TCanvas::DrawInRect(const RECT& rect, TGraphic* graphic) {
    if (!graphic) return;
    Changing();
    RequiredState(csHandleValid | csFontValid | csPenValid | csBrushValid);
    graphic->Draw(*this, rect);
    Changed();
}

void TCanvas::CopyReplacingColour(const RECT& dest, TBitmap* bitmap, const RECT& source, TColor color) {
    if (!bitmap) return;
    auto keep = Locked(*this);
    Changing();
    RequiredState(csHandleValid | csBrushValid);
    TCanvas& bitmapCanvas = bitmap->Surface();
    auto keepBitmap = Locked(bitmapCanvas);
    std::unique_ptr<TBitmap> temporary;
    std::optional<MemoryDC> maskDC;
    std::optional<SelectGuard> keepMask;  // goes before the context it selects into
    HDC mask;
    if (color == bitmap->TransparentColor()) {
        HBITMAP cached = bitmap->MaskHandle();
        maskDC.emplace(nullptr);
        keepMask.emplace(maskDC->Get(), cached);
        mask = maskDC->Get();
    } else {
        temporary = std::make_unique<TBitmap>();
        temporary->ShareFrom(bitmap);
        temporary->ConvertToMask(color);
        mask = temporary->Surface().ReadHandle();
    }
    HDC from = bitmapCanvas.ReadHandle();
    int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
    int sw = source.right - source.left, sh = source.bottom - source.top;
    if (Brush.Style() == TBrushStyle::bsClear) {
        MaskedStretchCopy(dc_, dest, from, source, mask, {source.left, source.top});
    } else {
        StretchBlt(dc_, dest.left, dest.top, dw, dh, from, source.left, source.top, sw, sh, SRCCOPY);
        COLORREF oldText = SetTextColor(dc_, 0x000000), oldBack = SetBkColor(dc_, 0xFFFFFF);
        // Where the mask is 1 the brush is painted, where it is 0 the copied pixel stays.
        StretchBlt(dc_, dest.left, dest.top, dw, dh, mask, source.left, source.top, sw, sh, 0x00E20746);
        SetTextColor(dc_, oldText);
        SetBkColor(dc_, oldBack);
    }
    Changed();
}

TScreenCanvas::TScreenCanvas(const TFont& font) : screen_(GetDC(nullptr)) {
    SetHandle(screen_);
    Font.Assign(font);
}

TScreenCanvas::~TScreenCanvas() {
    SetHandle(nullptr);  // the font goes back out before the context does
    if (screen_) ReleaseDC(nullptr, screen_);
}
