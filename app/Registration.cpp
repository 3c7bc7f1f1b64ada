#include "app/Registration.h"

#include "app/MainForm.h"
#include "buttons/SpeedButton.h"
#include "dialogs/FolderDialog.h"
#include "dialogs/SavePictureDialog.h"
#include "filectrl/DirectoryListBox.h"
#include "filectrl/DriveComboBox.h"
#include "filectrl/FileListBox.h"
#include "filectrl/FilterComboBox.h"
#include "framework/FormReader.h"
#include "jpeg/JPEGImage.h"
#include "lists/ImageList.h"
#include "lists/ListView.h"

void RegisterFormClasses() {
    RegisterFrameworkClasses();
    RegisterJPEGImage();
    RegisterComponentClass<TSpeedButton>("TSpeedButton");
    RegisterComponentClass<TDriveComboBox>("TDriveComboBox");
    RegisterComponentClass<TDirectoryListBox>("TDirectoryListBox");
    RegisterComponentClass<TFileListBox>("TFileListBox");
    RegisterComponentClass<TFilterComboBox>("TFilterComboBox");
    RegisterComponentClass<TListView>("TListView");
    RegisterComponentClass<TImageList>("TImageList");
    RegisterComponentClass<TSavePictureDialog>("TSavePictureDialog");
    RegisterComponentClass<TFolderDialog>("TFolderDialog");
}

void UnregisterPictureKinds() { UnregisterJPEGImage(); }
