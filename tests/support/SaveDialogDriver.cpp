#include "tests/support/SaveDialogDriver.h"

#include <windows.h>

#include "tests/support/GuiTest.h"

namespace {
constexpr int kNameBox = 0x47C;
constexpr int kTypeBox = 0x470;

HWND WaitForDialog() {
    for (int waited = 0; waited < 8000; waited += 20) {
        if (HWND dialog = FindProcessWindow(GetCurrentProcessId(), "#32770")) return dialog;
        Sleep(20);
    }
    return nullptr;
}
}  // namespace

bool AnswerSaveDialog(const std::function<void()>& work, const TDialogAnswer& answer) {
    std::string seen = WhileWatching(work, [&answer]() -> std::string {
        HWND dialog = WaitForDialog();
        if (!dialog) return "none";
        Sleep(100);  // the dialog finishes its set-up on messages of its own
        if (answer.type > 0) {
            HWND types = GetDlgItem(dialog, kTypeBox);
            SendMessageA(types, CB_SETCURSEL, answer.type - 1, 0);
            // The platform acts on the end of a pick, not on the change itself.
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kTypeBox, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
        }
        if (!answer.name.empty())
            SendMessageA(GetDlgItem(dialog, kNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(answer.name.c_str()));
        PostMessageA(dialog, WM_COMMAND, answer.confirm ? IDOK : IDCANCEL, 0);
        return "answered";
    });
    return seen == "answered";
}
