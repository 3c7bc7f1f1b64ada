#include "tests/support/SaveDialogDriver.h"

#include <cstring>

namespace {
struct Script {
    std::vector<Step> steps;
    size_t done = 0;
    DWORD deadline = 0;
};
Script* script = nullptr;

struct WindowSearch {
    const char* className;
    int childId;  // a child the window must have, or 0
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    char cls[32] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    if (std::strcmp(cls, search->className) != 0 || !IsWindowVisible(wnd)) return TRUE;
    if (search->childId && !GetDlgItem(wnd, search->childId)) return TRUE;
    search->found = wnd;
    return FALSE;
}

HWND FileDialogOfThisThread() {
    WindowSearch search{"#32770", kDialogNameBox, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FileDialogOfThisThread();
    if (!script || !dialog) return;
    if (static_cast<int>(GetTickCount() - script->deadline) > 0) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (script->done < script->steps.size() && script->steps[script->done](dialog)) ++script->done;
}
}  // namespace

size_t RunDialogSteps(const std::function<void()>& work, std::vector<Step> steps) {
    Script run{std::move(steps), 0, GetTickCount() + 8000};
    script = &run;
    UINT_PTR timer = SetTimer(nullptr, 0, 40, Tick);
    work();
    KillTimer(nullptr, timer);
    script = nullptr;
    return run.done;
}

HWND FindChildWindow(HWND parent, const char* className) {
    WindowSearch search{className, 0, nullptr};
    EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Step Check(std::function<void(HWND dialog)> check) {
    return [check](HWND dialog) { return check(dialog), true; };
}

Step Press(int button) {
    return Check([button](HWND dialog) { PostMessageA(dialog, WM_COMMAND, button, 0); });
}

Step Type(const std::string& name) {
    return Check([name](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, kDialogNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    });
}

Step PickType(int index) {
    return Check([index](HWND dialog) {
        HWND types = GetDlgItem(dialog, kDialogTypeBox);
        SendMessageA(types, CB_SETCURSEL, index - 1, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kDialogTypeBox, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
    });
}

bool AnswerSaveDialog(const std::function<void()>& work, const TDialogAnswer& answer) {
    std::vector<Step> steps;
    if (answer.type > 0) steps.push_back(PickType(answer.type));
    if (!answer.name.empty()) steps.push_back(Type(answer.name));
    steps.push_back(Press(answer.confirm ? IDOK : IDCANCEL));
    const size_t count = steps.size();
    return RunDialogSteps(work, std::move(steps)) == count;
}
