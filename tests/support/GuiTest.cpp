#include "tests/support/GuiTest.h"

#include <cstring>
#include <thread>

#include "framework/Application.h"

void PumpMessages(int ms) {
    DWORD end = GetTickCount() + ms;
    do {
        Application.ProcessMessages();
        if (ms > 0) Sleep(5);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        Application.ProcessMessages();
        if (done()) return true;
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
        Sleep(5);
    }
}

COLORREF WindowPixel(HWND wnd, int x, int y) {
    UpdateWindow(wnd);
    GdiFlush();
    HDC dc = GetDC(wnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

std::string WindowText(HWND wnd) {
    char buffer[1024] = {};
    int n = static_cast<int>(SendMessageA(wnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)));
    return std::string(buffer, n > 0 ? n : 0);
}

TTestForm::TTestForm(int clientWidth, int clientHeight) : TForm(nullptr) {
    SetClassName("TTestForm");
    SetBounds(40, 40, 100, 100);
    SetClientSize(clientWidth, clientHeight);
}

void SendMouse(HWND wnd, UINT msg, int x, int y, WPARAM keys) {
    SendMessageA(wnd, msg, keys, MAKELPARAM(x, y));
}

void ClickAt(HWND wnd, int x, int y) {
    SendMouse(wnd, WM_MOUSEMOVE, x, y);
    SendMouse(wnd, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    SendMouse(wnd, WM_LBUTTONUP, x, y);
}

std::string WhileWatching(const std::function<void()>& work, const std::function<std::string()>& watch) {
    std::string seen;
    std::thread watcher([&] { seen = watch(); });
    work();
    watcher.join();
    return seen;
}

namespace {
struct WindowSearch {
    DWORD pid;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (owner == search->pid && strcmp(cls, search->className) == 0 && IsWindowVisible(wnd)) {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindProcessWindow(DWORD pid, const char* className) {
    WindowSearch search{pid, className, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
