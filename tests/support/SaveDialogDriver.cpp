#include "tests/support/SaveDialogDriver.h"

#include <shlobj.h>

#include <cstring>

namespace {
struct Script {
    std::vector<Step> steps;
    int childId;
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

HWND DialogOfThisThread(int childId) {
    WindowSearch search{"#32770", childId, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!script) return;
    HWND dialog = DialogOfThisThread(script->childId);
    if (!dialog) return;
    if (static_cast<int>(GetTickCount() - script->deadline) > 0) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    if (script->done < script->steps.size() && script->steps[script->done](dialog)) ++script->done;
}
}  // namespace

size_t RunDialogSteps(const std::function<void()>& work, std::vector<Step> steps, int childId) {
    Script run{std::move(steps), childId, 0, GetTickCount() + 8000};
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

Step SelectFolder(const std::string& folder) {
    return Check([folder](HWND dialog) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
    });
}

bool AnswerFolderDialog(const std::function<void()>& work, const std::string& folder, bool confirm) {
    std::vector<Step> steps{SelectFolder(folder), Press(confirm ? IDOK : IDCANCEL)};
    return RunDialogSteps(work, std::move(steps), kFolderTree) == 2;
}
