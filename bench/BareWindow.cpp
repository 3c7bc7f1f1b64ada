// The start-up yardsticks: Tulvar's window made with the platform's calls alone.
// Same client size, the same kinds and number of child windows in the same
// places (twelve panels, two drop-down lists, two lists, an icon list view, a
// status bar), the same caption and texts, and the same Song-style font, whose
// first use costs the platform a good part of a start-up. With "/plain" only
// the empty frame of the same size and caption: the least any window costs.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

namespace {
LRESULT CALLBACK FrameProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HFONT songFont = nullptr;

HWND Child(HWND parent, DWORD exStyle, const char* cls, const char* text, DWORD style, int x, int y, int w, int h) {
    HWND child = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(songFont), FALSE);
    return child;
}

int Run(HWND frame, int show) {
    ShowWindow(frame, show);
    UpdateWindow(frame);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

// A panel: a plain window with a sunken or raised edge and, maybe, a text.
HWND Panel(HWND parent, const char* text, int x, int y, int w, int h) {
    return Child(parent, WS_EX_STATICEDGE, "STATIC", text, SS_CENTER | SS_CENTERIMAGE, x, y, w, h);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    const bool plain = std::strstr(commandLine, "/plain") != nullptr;
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
    HWND frame = CreateWindowA("BareWindow", "Tulvar      ( 程序制作:  Morven )", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, nullptr);
    if (!frame) return 1;
    if (plain) return Run(frame, show);
    songFont = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "宋体");
    Panel(frame, "", 0, 0, 522, 69);
    HWND browse = Panel(frame, "", 0, 69, 522, 154);
    HWND preview = Panel(browse, "", 0, 0, 146, 154);
    Panel(preview, "图标显示比例 2:1", 0, 0, 146, 25);
    Panel(preview, "", 0, 25, 146, 104);
    Panel(preview, "", 0, 129, 146, 25);
    HWND folders = Panel(browse, "", 146, 0, 187, 154);
    HWND drives = Child(folders, 0, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, 4, 4, 179, 200);
    SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("c: [System]"));
    SendMessageA(drives, CB_SETCURSEL, 0, 0);
    HWND dirs = Child(folders, WS_EX_CLIENTEDGE, "LISTBOX", "", LBS_NOTIFY | WS_VSCROLL, 4, 28, 179, 121);
    SendMessageA(dirs, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("c:\\"));
    HWND filesPanel = Panel(browse, "", 333, 0, 189, 154);
    HWND files = Child(filesPanel, WS_EX_CLIENTEDGE, "LISTBOX", "", LBS_NOTIFY | LBS_SORT | WS_VSCROLL, 4, 4, 179, 119);
    SendMessageA(files, LB_DIR, DDL_READWRITE, reinterpret_cast<LPARAM>("*.*"));
    HWND filter = Child(filesPanel, 0, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, 4, 128, 179, 200);
    SendMessageA(filter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("所有图标文件 (*.exe;*.ico;*.bmp;*.dll;*.icl)"));
    SendMessageA(filter, CB_SETCURSEL, 0, 0);
    HWND icons = Panel(frame, "", 0, 223, 522, 108);
    HWND strip = Panel(icons, "", 0, 0, 522, 22);
    Panel(strip, "所选图标为: 第1个图标", 0, 0, 146, 22);
    Panel(strip, " 文件名: ", 148, 0, 374, 22);
    Child(icons, WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", LVS_ICON | LVS_AUTOARRANGE | LVS_SINGLESEL, 2, 24, 518, 83);
    HWND status = Child(frame, 0, STATUSCLASSNAMEA, "", 0, 0, 0, 0, 0);
    int parts[] = {130, -1};
    SendMessageA(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageA(status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(" 当前文件位置: "));
    const int result = Run(frame, show);
    DeleteObject(songFont);
    return result;
}
