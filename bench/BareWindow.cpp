// The start-up yardstick: a window of Tulvar's client size with child controls
// of the same kinds (a file list, a drop-down list, an icon list view, a status
// bar), made with the platform's calls alone.
#include <windows.h>
#include <commctrl.h>

namespace {
LRESULT CALLBACK FrameProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND Child(HWND parent, DWORD exStyle, const char* cls, DWORD style, int x, int y, int w, int h) {
    return CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA cls{};
    cls.lpfnWndProc = FrameProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = "BareWindow";
    if (!RegisterClassA(&cls)) return 1;
    RECT r{0, 0, 522, 350};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND frame = CreateWindowA("BareWindow", "Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                               r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!frame) return 1;
    HWND combo = Child(frame, 0, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 4, 74, 160, 200);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("c: [System]"));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    HWND files = Child(frame, WS_EX_CLIENTEDGE, "LISTBOX", LBS_NOTIFY | LBS_SORT | WS_VSCROLL, 170, 74, 348, 140);
    SendMessageA(files, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>("*.*"));
    Child(frame, WS_EX_CLIENTEDGE, WC_LISTVIEWA, LVS_ICON | LVS_AUTOARRANGE | LVS_SINGLESEL, 2, 240, 518, 83);
    Child(frame, 0, STATUSCLASSNAMEA, 0, 0, 0, 0, 0);
    ShowWindow(frame, show);
    UpdateWindow(frame);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
