// Erasing and painting: the control's own surface first, then its windowless children on it.
#include "framework/WinControl.h"

#include "base/ScopeGuard.h"
#include "graphics/GdiObject.h"

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::HoldRedraw() {
    if (redrawHolds_++ == 0 && handle_) SendMessageA(handle_, WM_SETREDRAW, FALSE, 0);
}

void TWinControl::ReleaseRedraw() {
    if (redrawHolds_ == 0 || --redrawHolds_ > 0 || !handle_) return;
    SendMessageA(handle_, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TWinControl::HoldRedrawUntilIdle() {
    if (idleHold_ || !handle_ || !IsWindowVisible(handle_)) return;
    idleHold_ = true;
    HoldRedraw();
    PostMessageA(handle_, CM_RELEASEREDRAW, 0, 0);
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

bool TWinControl::PaintMessage(TMessage& message) {
    if (!ownPaint_) return false;
    if (message.Msg == WM_ERASEBKGND) {
        // A double-buffered control erases in its bitmap, as part of painting.
        if (!doubleBuffered_ && !EraseBackground(reinterpret_cast<HDC>(message.WParam))) return false;
        message.Result = 1;
        return true;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(handle_, &ps);
    ScopeGuard end([&] { EndPaint(handle_, &ps); });
    if (doubleBuffered_) {
        PaintBuffered(dc, ps.rcPaint);
    } else {
        PaintWindow(dc);
        PaintControls(dc, nullptr);
    }
    return true;
}

void TWinControl::EraseAndPaint(HDC dc) {
    if (!EraseBackground(dc)) {
        TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, 0};
        DefaultHandler(erase);
    }
    PaintWindow(dc);
    PaintControls(dc, nullptr);
}

void TWinControl::PaintBuffered(HDC dc, const RECT& area) {
    RECT client;
    GetClientRect(handle_, &client);
    if (IsRectEmpty(&client)) return;
    MemoryDC buffer(dc);
    GdiBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (!buffer || !bitmap) {
        EraseAndPaint(dc);  // without room for the bitmap, straight onto the window
        return;
    }
    SelectGuard select(buffer.Get(), bitmap.Get());
    IntersectClipRect(buffer.Get(), area.left, area.top, area.right, area.bottom);
    EraseAndPaint(buffer.Get());
    BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, buffer.Get(), area.left, area.top,
           SRCCOPY);
}

bool TWinControl::EraseBackground(HDC dc) {
    SavedDC keep(dc);
    // Opaque windowless children paint their whole rectangle themselves.
    for (TControl* c : controls_)
        if (!c->IsWindowed() && c->Visible() && c->HasStyle(csOpaque)) {
            RECT r = c->BoundsRect();
            ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
        }
    RECT client;
    GetClientRect(handle_, &client);
    GdiBrush brush(CreateSolidBrush(ColorToRGB(Color())));
    FillRect(dc, &client, brush.Get());
    return true;
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    bool started = first == nullptr;
    RECT clip;
    GetClipBox(dc, &clip);
    for (TControl* c : controls_) {
        if (c == first) started = true;
        if (!started || c->IsWindowed() || !c->Visible()) continue;
        RECT r = c->BoundsRect(), common;
        if (!IntersectRect(&common, &r, &clip)) continue;
        SavedDC keep(dc);
        POINT origin;
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + r.left, origin.y + r.top, nullptr);
        IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
        TCanvas canvas;
        BorrowedDC borrowed(canvas, dc);
        c->PaintOn(canvas);
    }
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) { SetClassName("TCustomControl"); }

void TCustomControl::PaintWindow(HDC dc) {
    BorrowedDC borrowed(canvas_, dc);
    canvas_.Font.Assign(Font);
    canvas_.Brush.SetColor(Color());
    Paint();
}
