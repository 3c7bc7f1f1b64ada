#include "filectrl/DirectoryListBox.h"

#include "filectrl/PathHelpers.h"
#include "base/PropertyValue.h"

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TCustomListBox(owner) {
    SetClassName("TDirectoryListBox");
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    SetWidth(145);
    directory_ = CurrentDirectory();
}

void TDirectoryListBox::SetDriveLetter(char letter) {
    if (letter == 0 || (letter | 32) == (DriveLetter() | 32)) return;
    SetDirPath(std::string(1, letter) + ":");
}

void TDirectoryListBox::SetDirPath(const std::string& path) {
    if (path.empty() || SameFileName(path, directory_)) return;
    ChangeDirectory(path);
    directory_ = CurrentDirectory();
    if (OnChange) OnChange(this);
}

bool TDirectoryListBox::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "OnChange") OnChange = reader.Handler(value);
    else return TCustomListBox::SetProperty(name, value, reader);
    return true;
}
