#pragma once
// Answers the program's file dialogs as a user would, so that tests run the
// real dialog unattended: steps run one per timer tick inside the dialog's own
// message loop, and past a deadline the dialog is cancelled, so that a step
// that never succeeds cannot hang the run.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

constexpr int kDialogNameBox = 0x47C;
constexpr int kDialogTypeBox = 0x470;

// One thing a user does in the dialog; false means "not yet, try again on the next tick".
using Step = std::function<bool(HWND dialog)>;

// Runs `work`, which runs a file dialog of this thread, while `steps` answer
// it; returns how many of them ran.
size_t RunDialogSteps(const std::function<void()>& work, std::vector<Step> steps);

Step Check(std::function<void(HWND dialog)> check);
Step Press(int button);
Step Type(const std::string& name);
// Picks a file type (1-based) as the platform wants it: the choice, then the end of the pick.
Step PickType(int index);
// The first window of that class among the window's descendants, or null.
HWND FindChildWindow(HWND parent, const char* className);

struct TDialogAnswer {
    std::string name;     // typed into the name box; empty leaves it as it is
    int type = 0;         // 1-based file type to pick; 0 keeps the shown one
    bool confirm = true;  // OK, or Cancel
};

// Runs `work`, which opens a save dialog, and answers it; false when the
// answer could not be given.
bool AnswerSaveDialog(const std::function<void()>& work, const TDialogAnswer& answer);
