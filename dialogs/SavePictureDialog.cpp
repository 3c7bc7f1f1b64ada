#include "dialogs/SavePictureDialog.h"

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TOpenPictureDialog(owner) {
    SetClassName("TSavePictureDialog");
}

bool TSavePictureDialog::Execute() { return ExecuteWithPreview(SaveFunction()); }
