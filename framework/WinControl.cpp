#include "framework/WinControl.h"

#include <algorithm>
#include <map>

#include "framework/Barrier.h"
#include "base/PropertyValue.h"
#include "base/PlatformError.h"

LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

namespace {
thread_local TWinControl* creatingControl = nullptr;
std::function<void()> afterMessageHook;
// How many of our window procedures are running on this thread: the hook runs
// when the outermost one is done, not after every message a handler sends.
thread_local int messageDepth = 0;

// Window procedures of the platform classes our classes are made from, by our class name.
std::map<std::string, WNDPROC>& BaseProcs() {
    static std::map<std::string, WNDPROC> procs;
    return procs;
}

// Registers our window class `className` once, made from `params.baseClass` or as
// a plain window; returns the procedure that handles what we leave to the platform.
WNDPROC RegisterControlClass(const std::string& className, const TCreateParams& params, HINSTANCE instance) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (!GetClassInfoExA(instance, className.c_str(), &existing)) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        if (!params.baseClass.empty()) {
            WNDCLASSEXA base{};
            base.cbSize = sizeof base;
            if (!GetClassInfoExA(nullptr, params.baseClass.c_str(), &base)) RaiseLastPlatformError();
            BaseProcs()[className] = base.lpfnWndProc;
            wc = base;
            wc.cbSize = sizeof wc;
        } else {
            BaseProcs()[className] = DefWindowProcA;
            wc.style = params.classStyle;
            wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
            wc.hbrBackground = params.background;
        }
        wc.lpfnWndProc = ControlWindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = className.c_str();
        if (!RegisterClassExA(&wc)) RaiseLastPlatformError();
    }
    return BaseProcs()[className];
}
}  // namespace

void SetAfterMessageHook(std::function<void()> hook) { afterMessageHook = std::move(hook); }

void RunAfterMessageHook() {
    if (afterMessageHook && messageDepth == 0) CallbackBarrier([] { afterMessageHook(); });
}

// The one window procedure of every windowed control. The object pointer lives
// in the window's user data, which our classes leave to us: a window property
// would cost a round trip to the platform's server on every message.
LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (!control && creatingControl) {
        control = creatingControl;
        creatingControl = nullptr;
        control->handle_ = wnd;
        SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    }
    if (!control) return DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    ++messageDepth;
    CallbackBarrier([&] { control->WndProc(message); });
    --messageDepth;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        control->handle_ = nullptr;
    }
    RunAfterMessageHook();
    return message.Result;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { SetClassName("TWinControl"); }

TWinControl::~TWinControl() {
    // Child controls go with their parent window.
    while (!controls_.empty()) delete controls_.back();
    DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
    // Only windows of our classes carry a control in their user data.
    if (!wnd || static_cast<ULONG_PTR>(GetClassLongPtrA(wnd, GCLP_WNDPROC)) !=
                    reinterpret_cast<ULONG_PTR>(&ControlWindowProc))
        return nullptr;
    return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
}

HWND TWinControl::Handle() {
    if (!handle_) CreateHandle();
    return handle_;
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    if (Parent()) Parent()->HandleNeeded();
    CreateWnd();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.caption = Caption();
    params.style = WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible()) params.style |= WS_VISIBLE;
    if (!Enabled()) params.style |= WS_DISABLED;
    if (tabStop_) params.style |= WS_TABSTOP;
    params.x = Left();
    params.y = Top();
    params.width = Width();
    params.height = Height();
    params.parentWindow = Parent() ? Parent()->WindowHandle() : nullptr;
}

void TWinControl::CreateWnd() {
    // The release of a hold until idle went with the window that had it.
    if (idleHold_) {
        idleHold_ = false;
        --redrawHolds_;
    }
    TCreateParams params;
    CreateParams(params);
    std::string className = ClassName();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    defaultProc_ = RegisterControlClass(className, params, instance);
    // Children get distinct identifiers: item measuring finds its list by them.
    static UINT_PTR nextControlId = 100;
    HMENU id = (params.style & WS_CHILD) ? reinterpret_cast<HMENU>(nextControlId++) : nullptr;
    creatingControl = this;
    HWND wnd = CreateWindowExA(params.exStyle, className.c_str(), params.caption.c_str(), params.style,
                               params.x, params.y, params.width, params.height, params.parentWindow,
                               id, instance, nullptr);
    creatingControl = nullptr;
    if (!wnd) RaiseLastPlatformError();
    handle_ = wnd;
    SendMessageA(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Handle()), FALSE);
    for (TControl* child : controls_)
        if (child->IsWindowed()) static_cast<TWinControl*>(child)->CreateHandle();
    AlignControls();
}

void TWinControl::DestroyWnd() {
    if (handle_) DestroyWindow(handle_);
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    destroyingHandle_ = true;
    for (TControl* child : controls_)
        if (child->IsWindowed()) static_cast<TWinControl*>(child)->DestroyHandle();
    DestroyWnd();
    destroyingHandle_ = false;
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    DestroyHandle();
    CreateHandle();
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    control->parent_ = this;
    control->ParentFontChanged();
    control->ParentColorChanged();
    if (control->IsWindowed() && handle_) static_cast<TWinControl*>(control)->CreateHandle();
    if (!control->IsWindowed()) control->Invalidate();
    if (control->Align() != TAlign::alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
    ForgetMouseControl(control);
    if (!control->IsWindowed()) control->Invalidate();
    if (control->IsWindowed()) static_cast<TWinControl*>(control)->DestroyHandle();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    control->parent_ = nullptr;
    if (control->Align() != TAlign::alNone && !Destroying()) AlignControls();
}

TControl* TWinControl::ControlAtPos(POINT point, bool allowDisabled) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, point)) return c;
    }
    return nullptr;
}

void TWinControl::SysColorChanged() {
    for (TControl* child : controls_) child->SysColorChanged();
}

bool TWinControl::DialogChar(char key) {
    for (TControl* child : controls_)
        if (child->DialogChar(key)) return true;
    return false;
}

void TWinControl::TextChanged() {
    if (handle_) SetWindowTextA(handle_, Caption().c_str());
}

void TWinControl::EnabledChanged() {
    if (handle_) EnableWindow(handle_, Enabled());
    Invalidate();
}

void TWinControl::VisibleChanged() {
    if (handle_) ShowWindow(handle_, Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::FontChanged() {
    if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Handle()), TRUE);
    for (TControl* child : controls_) child->ParentFontChanged();
    Invalidate();
}

void TWinControl::ColorChanged() {
    for (TControl* child : controls_) child->ParentColorChanged();
    Invalidate();
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
    if (Handle()) ::SetFocus(handle_);
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_COMMAND: case WM_NOTIFY: case WM_DRAWITEM: case WM_MEASUREITEM:
    case WM_CTLCOLORLISTBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN:
        if (ReflectToChild(message)) return;
        break;
    case WM_ERASEBKGND: case WM_PAINT:
        if (PaintMessage(message)) return;
        break;
    case WM_SETCURSOR:
        if (CursorMessage(message)) return;
        break;
    case WM_MOUSEMOVE: case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
        MouseMessage(message);
        break;
    case WM_SIZE:
        if (message.WParam != SIZE_MINIMIZED) AlignControls();
        break;
    case WM_SYSCOLORCHANGE:
        SysColorChanged();
        break;
    case CM_RELEASEREDRAW:
        if (idleHold_) {
            idleHold_ = false;
            ReleaseRedraw();
        }
        return;
    default:
        break;
    }
    DefaultHandler(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
    message.Result = CallWindowProcA(defaultProc_ ? defaultProc_ : DefWindowProcA, handle_, message.Msg,
                                     message.WParam, message.LParam);
}

bool TWinControl::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "TabOrder") SetTabOrder(value.AsInt());
    else if (name == "TabStop") tabStop_ = value.AsBoolean();
    else return TControl::SetProperty(name, value, reader);
    return true;
}
