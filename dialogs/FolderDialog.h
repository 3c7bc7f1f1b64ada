#pragma once
// The platform's folder picker, run modally: a tree of the file system's
// folders with a button that makes a new one.
#include <windows.h>

#include <string>

#include "dialogs/CommonDialog.h"

class TFolderDialog : public TCommonDialog {
public:
    explicit TFolderDialog(TComponent* owner);

    // True when the user chose a folder, which Folder() then names.
    bool Execute() override;

    // The text above the tree; empty for the platform's own.
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    // The folder selected when the picker opens; after a confirmed run, the chosen one.
    const std::string& Folder() const { return folder_; }
    void SetFolder(const std::string& folder) { folder_ = folder; }

private:
    static int CALLBACK BrowseCallback(HWND wnd, UINT msg, LPARAM lParam, LPARAM data);

    std::string title_;
    std::string folder_;
};
