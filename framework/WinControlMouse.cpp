// The mouse over a windowed control: which windowless child it is over, enter and
// leave, capture while a child holds a button, the hint, and the cursor shown.
#include "framework/WinControl.h"

#include <windowsx.h>

#include "framework/Application.h"

namespace {
TShiftState ShiftFromKeys(WPARAM keys) {
    TShiftState shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

TMouseButton ButtonOf(UINT msg) {
    switch (msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return TMouseButton::mbRight;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return TMouseButton::mbMiddle;
    default: return TMouseButton::mbLeft;
    }
}
}  // namespace

void TWinControl::TrackMouseOver(TControl* control) {
    if (control == mouseControl_) return;
    TControl* old = mouseControl_;
    mouseControl_ = control;
    if (old) old->MouseLeave();
    if (control) control->MouseEnter();
}

void TWinControl::ForgetMouseControl(TControl* control) {
    if (control == mouseControl_) mouseControl_ = nullptr;
    if (control == captureControl_) {
        captureControl_ = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
}

void TWinControl::MouseLeftWindow() {
    trackingLeave_ = false;
    mouseInside_ = false;
    TrackMouseOver(nullptr);
    MouseLeave();
    Application.HintMouseLeave(this);
}

void TWinControl::MouseMovedOver(TControl* under) {
    // The platform tells of leaving only when asked, once per entry.
    if (!trackingLeave_) {
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, handle_, 0};
        trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
    }
    if (!mouseInside_) {
        mouseInside_ = true;
        MouseEnter();
    }
    TrackMouseOver(under);
    Application.HintMouseMove(under ? under : this);
}

void TWinControl::MouseMessage(TMessage& message) {
    if (message.Msg == WM_MOUSELEAVE) {
        MouseLeftWindow();
        return;
    }
    POINT pt{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    TShiftState shift = ShiftFromKeys(message.WParam);
    TControl* under = ControlAtPos(pt, true);
    if (under && under->IsWindowed()) under = nullptr;
    if (message.Msg == WM_MOUSEMOVE) MouseMovedOver(under);
    else Application.HintCancel();

    // A child holding the mouse gets everything; else the enabled windowless child under it.
    TControl* target = captureControl_;
    if (!target) target = (under && under->Enabled()) ? under : nullptr;
    if (!target) {
        if (under) return;  // a disabled windowless control swallows the mouse
        target = this;
    }
    int x = pt.x, y = pt.y;
    if (target != this) {
        x -= target->Left();
        y -= target->Top();
    }
    TMouseButton button = ButtonOf(message.Msg);
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        target->MouseMove(shift, x, y);
        break;
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        if (target->HasStyle(csDoubleClicks) && button == TMouseButton::mbLeft) target->DblClick();
        [[fallthrough]];  // the second press of a double click is a press like any other
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        if (target != this && target->HasStyle(csCaptureMouse) && button == TMouseButton::mbLeft) {
            captureControl_ = target;
            SetCapture(handle_);
        }
        target->MouseDown(button, shift, x, y);
        break;
    default:  // button released
        if (target == captureControl_ && button == TMouseButton::mbLeft) {
            captureControl_ = nullptr;
            if (GetCapture() == handle_) ReleaseCapture();
        }
        target->MouseUp(button, shift, x, y);
        break;
    }
}

bool TWinControl::CursorMessage(TMessage& message) {
    if (LOWORD(message.LParam) != HTCLIENT) return false;
    TCursor cursor = Application.ScreenCursor();
    if (cursor == crDefault) {
        POINT pt;
        GetCursorPos(&pt);
        ::ScreenToClient(handle_, &pt);
        TControl* under = ControlAtPos(pt, true);
        TControl* over = (under && !under->IsWindowed()) ? under : this;
        cursor = over->Cursor();
    }
    if (cursor == crDefault) return false;
    ::SetCursor(CursorHandle(cursor));
    message.Result = TRUE;
    return true;
}
