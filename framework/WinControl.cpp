#include "framework/WinControl.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

#include "framework/Application.h"
#include "framework/Barrier.h"
#include "base/PropertyValue.h"
#include "base/PlatformError.h"

namespace {
const char kControlProp[] = "TulvarControl";
thread_local TWinControl* creatingControl = nullptr;
std::function<void()> afterMessageHook;

// Window procedures of the platform classes our classes are made from, by our class name.
std::map<std::string, WNDPROC>& BaseProcs() {
    static std::map<std::string, WNDPROC> procs;
    return procs;
}

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
}  // namespace

void SetAfterMessageHook(std::function<void()> hook) { afterMessageHook = std::move(hook); }

// The one window procedure of every windowed control: the object pointer is
// found through a window property.
LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(GetPropA(wnd, kControlProp));
    if (!control && creatingControl) {
        control = creatingControl;
        creatingControl = nullptr;
        control->handle_ = wnd;
        SetPropA(wnd, kControlProp, control);
    }
    if (!control) return DefWindowProcA(wnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    CallbackBarrier([&] { control->WndProc(message); });
    if (msg == WM_NCDESTROY) {
        RemovePropA(wnd, kControlProp);
        control->handle_ = nullptr;
    }
    if (afterMessageHook) CallbackBarrier([] { afterMessageHook(); });
    return message.Result;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { SetClassName("TWinControl"); }

TWinControl::~TWinControl() {
    // Child controls go with their parent window.
    while (!controls_.empty()) delete controls_.back();
    DestroyHandle();
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
    return wnd ? static_cast<TWinControl*>(GetPropA(wnd, kControlProp)) : nullptr;
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
    TCreateParams params;
    CreateParams(params);
    std::string className = ClassName();
    HINSTANCE instance = GetModuleHandleA(nullptr);
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
    defaultProc_ = BaseProcs()[className];
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
    if (control == mouseControl_) mouseControl_ = nullptr;
    if (control == captureControl_) {
        captureControl_ = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
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

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0) AlignControls();
}

void TWinControl::AlignControls() {
    if (alignDisabled_ || aligning_ || Loading()) return;
    aligning_ = true;
    RECT r = AlignRect();
    const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};
    for (TAlign kind : order) {
        for (TControl* c : controls_) {
            if (!c->Visible() || c->Align() != kind) continue;
            int w = std::max(0L, r.right - r.left), h = std::max(0L, r.bottom - r.top);
            switch (kind) {
            case TAlign::alTop:
                c->SetBounds(r.left, r.top, w, c->Height());
                r.top += c->Height();
                break;
            case TAlign::alBottom:
                c->SetBounds(r.left, r.bottom - c->Height(), w, c->Height());
                r.bottom -= c->Height();
                break;
            case TAlign::alLeft:
                c->SetBounds(r.left, r.top, c->Width(), h);
                r.left += c->Width();
                break;
            case TAlign::alRight:
                c->SetBounds(r.right - c->Width(), r.top, c->Width(), h);
                r.right -= c->Width();
                break;
            default:
                c->SetBounds(r.left, r.top, w, h);
                break;
            }
        }
    }
    aligning_ = false;
}

RECT TWinControl::ClientRect() const {
    if (handle_) {
        RECT r;
        GetClientRect(handle_, &r);
        return r;
    }
    return TControl::ClientRect();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
}

void TWinControl::BoundsChanged() {
    if (handle_) {
        RECT r;
        GetWindowRect(handle_, &r);
        HWND parentWnd = GetParent(handle_);
        MapWindowPoints(nullptr, parentWnd, reinterpret_cast<POINT*>(&r), 2);
        if (r.left != Left() || r.top != Top() || r.right - r.left != Width() || r.bottom - r.top != Height())
            SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    AlignControls();
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

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::SetFocus() {
    if (Handle()) ::SetFocus(handle_);
}

void TWinControl::DefaultHandler(TMessage& message) {
    message.Result = CallWindowProcA(defaultProc_ ? defaultProc_ : DefWindowProcA, handle_, message.Msg,
                                     message.WParam, message.LParam);
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
        canvas.SetHandle(dc);
        c->PaintOn(canvas);
        canvas.SetHandle(nullptr);
    }
}

bool TWinControl::ReflectToChild(TMessage& message) {
    HWND child = nullptr;
    switch (message.Msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(message.LParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam)->hwndItem;
        break;
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
        child = GetDlgItem(handle_, static_cast<int>(mis->CtlID));
        break;
    }
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        child = reinterpret_cast<HWND>(message.LParam);
        break;
    default:
        return false;
    }
    TWinControl* target = FromHandle(child);
    if (!target || target == this) return false;
    TMessage reflected{message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC ? CN_CTLCOLOR
                                                                                             : CN_BASE + message.Msg,
                       message.WParam, message.LParam, 0};
    target->WndProc(reflected);
    message.Result = reflected.Result;
    return true;
}

void TWinControl::TrackMouseOver(TControl* control) {
    if (control == mouseControl_) return;
    TControl* old = mouseControl_;
    mouseControl_ = control;
    if (old) old->MouseLeave();
    if (control) control->MouseEnter();
}

void TWinControl::MouseMessage(TMessage& message) {
    POINT pt{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    TShiftState shift = ShiftFromKeys(message.WParam);
    if (message.Msg == WM_MOUSELEAVE) {
        trackingLeave_ = false;
        mouseInside_ = false;
        TrackMouseOver(nullptr);
        MouseLeave();
        Application.HintMouseLeave(this);
        return;
    }
    TControl* under = ControlAtPos(pt, true);
    if (under && under->IsWindowed()) under = nullptr;
    if (message.Msg == WM_MOUSEMOVE) {
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
    } else {
        Application.HintCancel();
    }
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
    TMouseButton button = TMouseButton::mbLeft;
    switch (message.Msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: button = TMouseButton::mbRight; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: button = TMouseButton::mbMiddle; break;
    default: break;
    }
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        target->MouseMove(shift, x, y);
        break;
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        if (target->HasStyle(csDoubleClicks) && button == TMouseButton::mbLeft) target->DblClick();
        target->MouseDown(button, shift, x, y);
        break;
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

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_COMMAND: case WM_NOTIFY: case WM_DRAWITEM: case WM_MEASUREITEM:
    case WM_CTLCOLORLISTBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN:
        if (ReflectToChild(message)) return;
        break;
    case WM_ERASEBKGND:
        if (ownPaint_ && EraseBackground(reinterpret_cast<HDC>(message.WParam))) {
            message.Result = 1;
            return;
        }
        break;
    case WM_PAINT:
        if (ownPaint_) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(handle_, &ps);
            struct End {
                HWND w;
                PAINTSTRUCT* p;
                ~End() { EndPaint(w, p); }
            } end{handle_, &ps};
            PaintWindow(dc);
            PaintControls(dc, nullptr);
            return;
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(message.LParam) == HTCLIENT) {
            TCursor cursor = Application.ScreenCursor();
            if (cursor == crDefault) {
                POINT pt;
                GetCursorPos(&pt);
                ::ScreenToClient(handle_, &pt);
                TControl* under = ControlAtPos(pt, true);
                TControl* over = (under && !under->IsWindowed()) ? under : this;
                cursor = over->Cursor();
            }
            if (cursor != crDefault) {
                ::SetCursor(CursorHandle(cursor));
                message.Result = TRUE;
                return;
            }
        }
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
    default:
        break;
    }
    DefaultHandler(message);
}

bool TWinControl::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "TabOrder") SetTabOrder(value.AsInt());
    else if (name == "TabStop") tabStop_ = value.AsBoolean();
    else return TControl::SetProperty(name, value, reader);
    return true;
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) { SetClassName("TCustomControl"); }

void TCustomControl::PaintWindow(HDC dc) {
    canvas_.SetHandle(dc);
    struct Drop {
        TCanvas& c;
        ~Drop() { c.SetHandle(nullptr); }
    } drop{canvas_};
    canvas_.Font.Assign(Font);
    canvas_.Brush.SetColor(Color());
    Paint();
}
