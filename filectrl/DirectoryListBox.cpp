#include "filectrl/DirectoryListBox.h"

#include "framework/FormReader.h"

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TCustomListBox(owner) {
    SetClassName("TDirectoryListBox");
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    SetWidth(145);
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    directory_ = dir;
}

void TDirectoryListBox::SetDriveLetter(char letter) {
    if (letter == 0 || (letter | 32) == (DriveLetter() | 32)) return;
    char target[3] = {letter, ':', 0};
    SetCurrentDirectoryA(target);
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    directory_ = dir;
    if (OnChange) OnChange(this);
}

void TDirectoryListBox::SetDirPath(const std::string& path) {
    if (path.empty() || lstrcmpiA(path.c_str(), directory_.c_str()) == 0) return;
    SetCurrentDirectoryA(path.c_str());
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    directory_ = dir;
    if (OnChange) OnChange(this);
}

bool TDirectoryListBox::SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) {
    if (name == "OnChange") OnChange = reader.Handler(value);
    else return TCustomListBox::SetProperty(name, value, reader);
    return true;
}
