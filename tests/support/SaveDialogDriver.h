#pragma once
// Answers the program's save dialog as a user would, from another thread, so
// that tests can run the real dialog unattended.
#include <functional>
#include <string>

struct TDialogAnswer {
    std::string name;   // typed into the name box; empty leaves it as it is
    int type = 0;       // 1-based file type to pick; 0 keeps the shown one
    bool confirm = true;  // OK, or Cancel
};

// Runs `work`, which opens a save dialog of this process, and answers the
// dialog once it shows. Returns false when no dialog showed within seconds
// (the work is then left to finish by itself).
bool AnswerSaveDialog(const std::function<void()>& work, const TDialogAnswer& answer);
