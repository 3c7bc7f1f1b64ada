#pragma once
// The drive list. For now a plain owner-drawn drop-down list holding the drive
// of the current directory.
#include "framework/ComboBox.h"

class TDriveComboBox : public TCustomComboBox {
public:
    explicit TDriveComboBox(TComponent* owner);
    char DriveLetter() const { return drive_; }
    void SetDriveLetter(char letter);

private:
    char drive_ = 0;
};
