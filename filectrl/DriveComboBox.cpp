#include "filectrl/DriveComboBox.h"

#include "filectrl/PathHelpers.h"

TDriveComboBox::TDriveComboBox(TComponent* owner) : TCustomComboBox(owner) {
    SetClassName("TDriveComboBox");
    SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    std::string dir = CurrentDirectory();
    drive_ = dir.empty() || dir[0] == '\\' ? 0 : dir[0];
}

void TDriveComboBox::SetDriveLetter(char letter) {
    if (letter == drive_) return;
    drive_ = letter;
    Change();
}
