// Where a control of a running program is on the screen, for scripts that
// click it from outside: the platform's child windows are no X windows, so
// only the program's own window tree can tell.
//   ControlPlace FORMCLASS CONTROLCLASS
// prints "LEFT TOP RIGHT BOTTOM" of the first visible CONTROLCLASS window
// inside the visible top-level FORMCLASS window, in screen pixels; exits 1
// when there is none.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {
struct Search {
    const char* className;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::strcmp(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ControlPlace FORMCLASS CONTROLCLASS\n");
        return 2;
    }
    Search form{argv[1], nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&form));
    if (!form.found) return 1;
    Search control{argv[2], nullptr};
    EnumChildWindows(form.found, Visit, reinterpret_cast<LPARAM>(&control));
    RECT place{};
    if (!control.found || !GetWindowRect(control.found, &place)) return 1;
    std::printf("%ld %ld %ld %ld\n", place.left, place.top, place.right, place.bottom);
    return 0;
}
