#include "framework/Application.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>

#include "base/Exceptions.h"
#include "base/GbkText.h"
#include "framework/Barrier.h"
#include "framework/Form.h"
#include "framework/HintWindow.h"

TApplication Application;

namespace {
constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
}  // namespace

std::string ExceptionBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

std::string TitleFromExeName(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = path[i];
        if (c == '\\' || c == '/' || c == ':') start = i + 1;
        else if (IsLeadByte(c)) ++i;
    }
    std::string title;
    bool first = true;
    for (size_t i = start; i < path.size(); ++i) {
        unsigned char c = path[i];
        if (c == '.') break;
        if (IsLeadByte(c) && i + 1 < path.size()) {
            title += path.substr(i, 2);
            ++i;
        } else {
            title += (!first && c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : static_cast<char>(c);
        }
        first = false;
    }
    return title;
}

TApplication::TApplication() = default;
TApplication::~TApplication() = default;

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    title_ = TitleFromExeName(path);
    if (!utility_) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = UtilityProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TApplication";
        RegisterClassExA(&wc);
        utility_.Reset(CreateWindowExA(0, "TApplication", title_.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, wc.hInstance, nullptr));
    }
    terminated_ = false;
}

void TApplication::SetMainForm(TForm* form) { mainForm_ = form; }

void TApplication::Run() {
    if (mainForm_) mainForm_->Show();
    MSG msg;
    while (!terminated_) {
        // Waiting work runs only when the queue is empty: input and painting
        // always come first.
        if (IdleWorkPending() && !PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DoIdleWork();
            continue;
        }
        if (!IdleWorkPending()) {
            BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == 0 || got == -1) break;
        } else if (msg.message == WM_QUIT) {
            break;
        }
        if (IsAccelerator(msg) || IsPreviewedKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    terminated_ = true;
}

double IdleClockMilliseconds() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void TApplication::StartIdleWork(const void* owner, std::function<bool()> step) {
    CancelIdleWork(owner);
    idleWork_.push_back({owner, ++idleSerial_, std::move(step)});
}

void TApplication::CancelIdleWork(const void* owner) {
    idleWork_.erase(std::remove_if(idleWork_.begin(), idleWork_.end(),
                                   [owner](const TIdleWork& work) { return work.owner == owner; }),
                    idleWork_.end());
}

bool TApplication::DoIdleWork() {
    // A step may start, replace or cancel work, its own included: each runs
    // from a copy, and only the very piece that said it is done is taken out.
    const std::vector<TIdleWork> waiting = idleWork_;
    for (const TIdleWork& work : waiting) {
        const bool cancelled = std::none_of(idleWork_.begin(), idleWork_.end(),
                                            [&](const TIdleWork& w) { return w.serial == work.serial; });
        if (cancelled) continue;
        const bool more = CallbackBarrier(false, [&] { return work.step(); });
        if (!more)
            idleWork_.erase(std::remove_if(idleWork_.begin(), idleWork_.end(),
                                           [&](const TIdleWork& w) { return w.serial == work.serial; }),
                            idleWork_.end());
    }
    RunAfterMessageHook();
    return IdleWorkPending();
}

bool TApplication::IsAccelerator(const MSG& msg) {
    if (msg.message != WM_SYSCHAR) return false;
    TWinControl* form = TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT));
    if (!form) return false;
    return CallbackBarrier(true, [&] { return form->DialogChar(static_cast<char>(msg.wParam)); });
}

bool TApplication::IsPreviewedKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
    if (!form) return false;
    return CallbackBarrier(true, [&] { return form->PreviewKeyDown(static_cast<WORD>(msg.wParam)); });
}

void TApplication::Terminate() {
    terminated_ = true;
    PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        if (IsAccelerator(msg) || IsPreviewedKey(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
    const char* what = "";
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
    }
    try {
        ShowException(what);
    } catch (...) {
        // Building the text or the sink failed; the message itself still shows.
        MessageBoxA(GetActiveWindow(), what, title_.c_str(), MB_OK | MB_ICONERROR);
    }
}

void HandleEscapedException(std::exception_ptr error) noexcept { Application.HandleException(error); }

void TApplication::ShowException(const std::string& message) {
    std::string text = ExceptionBoxText(message);
    if (sink_) {
        sink_(text);
        return;
    }
    HWND owner = GetActiveWindow();
    MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::SetScreenCursor(TCursor cursor) {
    if (cursor == screenCursor_) return;
    screenCursor_ = cursor;
    if (cursor != crDefault) {
        SetCursor(CursorHandle(cursor));
    } else {
        // Let the control under the pointer choose again.
        POINT pt;
        GetCursorPos(&pt);
        SetCursorPos(pt.x, pt.y);
    }
}

void TApplication::HintMouseMove(TControl* control) {
    if (control == hintControl_) return;
    HintCancel();
    hintControl_ = control;
    if (control && control->ShowHint() && !control->Hint().empty() && utility_)
        SetTimer(utility_.Get(), kHintShowTimer, hintShown_ ? 50 : HintPause, nullptr);
}

void TApplication::HintMouseLeave(TControl* control) {
    // Leaving the window also leaves every windowless child in it.
    TControl* c = hintControl_;
    while (c && c != control) c = c->Parent();
    if (c == control) {
        HintCancel();
        hintControl_ = nullptr;
        hintShown_ = false;
    }
}

void TApplication::HintCancel() {
    if (utility_) {
        KillTimer(utility_.Get(), kHintShowTimer);
        KillTimer(utility_.Get(), kHintHideTimer);
    }
    if (hint_ && hint_->Active()) hint_->ReleaseHint();
}

void TApplication::ControlDestroyed(TControl* control) {
    if (control == hintControl_) {
        HintCancel();
        hintControl_ = nullptr;
    }
}

void TApplication::ShowHintNow() {
    KillTimer(utility_.Get(), kHintShowTimer);
    if (!hintControl_ || !hintControl_->Showing()) return;
    POINT cursor;
    GetCursorPos(&cursor);
    if (!hint_) hint_ = std::make_unique<THintWindow>(nullptr);
    hint_->ActivateHint({cursor.x, cursor.y + 20}, hintControl_->Hint());
    hintShown_ = true;
    SetTimer(utility_.Get(), kHintHideTimer, HintHidePause, nullptr);
}

LRESULT CALLBACK TApplication::UtilityProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        CallbackBarrier([wParam] {
            if (wParam == kHintShowTimer) Application.ShowHintNow();
            else if (wParam == kHintHideTimer) Application.HintCancel();
        });
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
