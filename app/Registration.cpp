#include "app/Registration.h"

#include "app/MainForm.h"
#include "buttons/SpeedButton.h"
#include "filectrl/DirectoryListBox.h"
#include "filectrl/DriveComboBox.h"
#include "filectrl/FileListBox.h"
#include "filectrl/FilterComboBox.h"
#include "framework/FormReader.h"
#include "framework/Panel.h"
#include "framework/Splitter.h"
#include "framework/StatusBar.h"
#include "graphics/Image.h"
#include "jpeg/SavePictureDialog.h"
#include "lists/ImageList.h"
#include "lists/ListView.h"

namespace {
template <typename T>
void Register(const char* name) {
    RegisterComponentClass(name, [](TComponent* owner) -> TComponent* { return new T(owner); });
}
}  // namespace

void RegisterFormClasses() {
    Register<TPanel>("TPanel");
    Register<TSplitter>("TSplitter");
    Register<TStatusBar>("TStatusBar");
    Register<TImage>("TImage");
    Register<TSpeedButton>("TSpeedButton");
    Register<TDriveComboBox>("TDriveComboBox");
    Register<TDirectoryListBox>("TDirectoryListBox");
    Register<TFileListBox>("TFileListBox");
    Register<TFilterComboBox>("TFilterComboBox");
    Register<TListView>("TListView");
    Register<TImageList>("TImageList");
    Register<TSavePictureDialog>("TSavePictureDialog");
}
