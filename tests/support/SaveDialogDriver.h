#pragma once
// Answers the program's file and folder dialogs as a user would, so that tests run the
// real dialog unattended: steps run one per timer tick inside the dialog's own
// message loop, and past a deadline the dialog is cancelled, so that a step
// that never succeeds cannot hang the run.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

constexpr int kDialogNameBox = 0x47C;
constexpr int kDialogTypeBox = 0x470;
constexpr int kFolderTree = 0x3741;       // the folder picker's tree
constexpr int kNewFolderButton = 0x3746;  // and its button that makes a folder

// One thing a user does in the dialog; false means "not yet, try again on the next tick".
using Step = std::function<bool(HWND dialog)>;

// Runs `work`, which runs a dialog of this thread, while `steps` answer it;
// returns how many of them ran. The dialog is the one with a child of id
// `childId`: the file dialogs' name box unless said otherwise.
size_t RunDialogSteps(const std::function<void()>& work, std::vector<Step> steps, int childId = kDialogNameBox);

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

// Runs `work`, which opens a folder picker, chooses `folder` in it and confirms
// (or cancels); false when the answer could not be given.
bool AnswerFolderDialog(const std::function<void()>& work, const std::string& folder, bool confirm = true);
// Selects a folder in the folder picker as a click in its tree does.
Step SelectFolder(const std::string& folder);
