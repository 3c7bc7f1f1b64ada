#include "dialogs/CommonDialog.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Barrier.h"
#include "framework/Form.h"

namespace {
const char kDialogProp[] = "TulvarDialog";
}  // namespace

TModalScope::TModalScope() : active_(GetActiveWindow()), focus_(GetFocus()) {
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK TModalScope::DisableOne(HWND wnd, LPARAM scope) {
    // A failure ends the walk; what was disabled so far is enabled again with the scope.
    return CallbackBarrier<BOOL>(FALSE, [&] {
        // Hidden windows (the application's own, a hint) are left alone, as are
        // windows that something else disabled: those stay disabled afterwards.
        if (IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
            auto* self = reinterpret_cast<TModalScope*>(scope);
            self->disabled_.push_back(wnd);
            EnableWindow(wnd, FALSE);
        }
        return TRUE;
    });
}

TModalScope::~TModalScope() {
    for (HWND wnd : disabled_)
        if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
    if (active_ && IsWindow(active_)) SetActiveWindow(active_);
    if (focus_ && IsWindow(focus_)) SetFocus(focus_);
}

TCommonDialog::TCommonDialog(TComponent* owner) : TComponent(owner) { SetClassName("TCommonDialog"); }

TCommonDialog::~TCommonDialog() {
    // Runs are modal, so a window can only outlive the object if a run was cut short.
    if (handle_ && IsWindow(handle_)) {
        SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
        RemovePropA(handle_, kDialogProp);
    }
}

void TCommonDialog::BeginRun(const TModalScope& scope) {
    HWND active = scope.ActiveWindow();
    if (dynamic_cast<TForm*>(TWinControl::FromHandle(active))) formWindow_ = active;
    else formWindow_ = Application.MainForm() ? Application.MainForm()->WindowHandle() : nullptr;
}

void TCommonDialog::Attach(HWND wnd) {
    handle_ = wnd;
    SetPropA(wnd, kDialogProp, this);
    previousProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DialogWindowProc)));
}

LRESULT CALLBACK TCommonDialog::DialogWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TCommonDialog*>(GetPropA(wnd, kDialogProp));
    if (!self) return DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    CallbackBarrier([&] { self->WndProc(message); });
    if (msg == WM_NCDESTROY) {
        RemovePropA(wnd, kDialogProp);
        self->handle_ = nullptr;
        self->previousProc_ = nullptr;
    }
    return message.Result;
}

void TCommonDialog::WndProc(TMessage& message) {
    if (message.Msg == WM_DESTROY) DoClose();
    DefaultHandler(message);
}

void TCommonDialog::DefaultHandler(TMessage& message) {
    message.Result = CallWindowProcA(previousProc_, handle_, message.Msg, message.WParam, message.LParam);
}

void TCommonDialog::CenterWindow(HWND wnd) const {
    HMONITOR monitor = formWindow_ ? MonitorFromWindow(formWindow_, MONITOR_DEFAULTTOPRIMARY)
                                   : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT window;
    if (!GetMonitorInfoA(monitor, &info) || !GetWindowRect(wnd, &window)) return;
    const RECT& area = info.rcMonitor;
    const int width = window.right - window.left, height = window.bottom - window.top;
    // A dialog bigger than the monitor keeps its caption on the screen.
    const int left = area.left + std::max(0L, (area.right - area.left - width) / 2);
    const int top = area.top + std::max(0L, (area.bottom - area.top - height) / 3);
    SetWindowPos(wnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCommonDialog::DoShow() {
    if (OnShow) OnShow(this);
}

void TCommonDialog::DoClose() {
    if (OnClose) OnClose(this);
    Application.HintCancel();
}
