#include "filectrl/DriveComboBox.h"

TDriveComboBox::TDriveComboBox(TComponent* owner) : TCustomComboBox(owner) {
    SetClassName("TDriveComboBox");
    SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    drive_ = dir[0] == '\\' ? 0 : dir[0];
}

void TDriveComboBox::SetDriveLetter(char letter) {
    if (letter == drive_) return;
    drive_ = letter;
    Change();
}
