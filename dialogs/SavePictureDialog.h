#pragma once
// The save-picture dialog: the platform's save dialog with the picture preview pane.
#include "dialogs/OpenPictureDialog.h"

class TSavePictureDialog : public TOpenPictureDialog {
public:
    explicit TSavePictureDialog(TComponent* owner);

    // True when the user confirmed a file name: FileName and FilterIndex then
    // hold the path as typed or chosen (no extension is added) and the file type.
    bool Execute() override;
};
