#include "app/MainForm.h"

#include <shellapi.h>

#include "buttons/SpeedButton.h"
#include "filectrl/DirectoryListBox.h"
#include "filectrl/DriveComboBox.h"
#include "filectrl/FileListBox.h"
#include "filectrl/FilterComboBox.h"
#include "framework/Exceptions.h"
#include "framework/Panel.h"
#include "framework/ResStrings.h"
#include "framework/Splitter.h"
#include "framework/StatusBar.h"
#include "graphics/Image.h"
#include "jpeg/SavePictureDialog.h"
#include "lists/ImageList.h"
#include "lists/ListView.h"
#include "resources/StringIds.h"

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    SetClassName("TForm1");
    RegisterHandler<TNotifyEvent>("FormCreate", [this](TObject* s) { FormCreate(s); });
    RegisterHandler<TCloseQueryEvent>("FormCloseQuery", [this](TObject* s, bool& c) { FormCloseQuery(s, c); });
    RegisterHandler<TNotifyEvent>("DriveComboBox1Change", [this](TObject* s) { DriveComboBox1Change(s); });
    RegisterHandler<TNotifyEvent>("DirectoryListBox1Change", [this](TObject* s) { DirectoryListBox1Change(s); });
    RegisterHandler<TNotifyEvent>("FilterComboBox1Change", [this](TObject* s) { FilterComboBox1Change(s); });
    RegisterHandler<TNotifyEvent>("FileListBox1Change", [this](TObject* s) { FileListBox1Change(s); });
    RegisterHandler<TNotifyEvent>("ListView1Click", [this](TObject* s) { ListView1Click(s); });
    RegisterHandler<TNotifyEvent>("SpeedButton1Click", [this](TObject* s) { SpeedButton1Click(s); });
    RegisterHandler<TNotifyEvent>("SpeedButton2Click", [this](TObject* s) { SpeedButton2Click(s); });
    RegisterHandler<TNotifyEvent>("SpeedButton3Click", [this](TObject* s) { SpeedButton3Click(s); });
    RegisterHandler<TNotifyEvent>("SpeedButton4Click", [this](TObject* s) { SpeedButton4Click(s); });
    RegisterHandler<TNotifyEvent>("Image1Click", [this](TObject* s) { Image1Click(s); });
}

template <typename T>
void TForm1::Bind(T*& field, const char* name) {
    field = dynamic_cast<T*>(FindComponent(name));
    if (!field) throw EReadError(Format(LoadStr(SUnknownReference), {name}));
}

void TForm1::Loaded() {
    TForm::Loaded();
    Bind(Panel1, "Panel1");
    Bind(Image1, "Image1");
    Bind(Panel2, "Panel2");
    Bind(Panel3, "Panel3");
    Bind(Panel6, "Panel6");
    Bind(Panel9, "Panel9");
    Bind(Image2, "Image2");
    Bind(Panel7, "Panel7");
    Bind(SpeedButton1, "SpeedButton1");
    Bind(SpeedButton2, "SpeedButton2");
    Bind(SpeedButton3, "SpeedButton3");
    Bind(SpeedButton4, "SpeedButton4");
    Bind(Panel4, "Panel4");
    Bind(DriveComboBox1, "DriveComboBox1");
    Bind(DirectoryListBox1, "DirectoryListBox1");
    Bind(Panel5, "Panel5");
    Bind(FileListBox1, "FileListBox1");
    Bind(FilterComboBox1, "FilterComboBox1");
    Bind(Panel8, "Panel8");
    Bind(Panel10, "Panel10");
    Bind(Panel11, "Panel11");
    Bind(Splitter1, "Splitter1");
    Bind(Panel12, "Panel12");
    Bind(ListView1, "ListView1");
    Bind(StatusBar1, "StatusBar1");
    Bind(ImageList1, "ImageList1");
    Bind(SavePictureDialog1, "SavePictureDialog1");
}

bool TForm1::SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) {
    if (name == "WebAddress") webAddress_ = value.AsString();
    else return TForm::SetProperty(name, value, reader);
    return true;
}

void TForm1::FormCreate(TObject*) {
    ZoomLevel = 3;
    StatusBar1->SetPanelWidth(0, 130);
}

void TForm1::FormCloseQuery(TObject*, bool& canClose) { canClose = true; }

void TForm1::DriveComboBox1Change(TObject*) { DirectoryListBox1->SetDriveLetter(DriveComboBox1->DriveLetter()); }

void TForm1::DirectoryListBox1Change(TObject*) {
    FileListBox1->SetSelectedPath(DirectoryListBox1->DirPath());
    FileListBox1->SetMask(FilterComboBox1->CurrentMask());
}

void TForm1::FilterComboBox1Change(TObject*) { FileListBox1->SetMask(FilterComboBox1->CurrentMask()); }

// The icon scan, icon selection, zoom, copy and save come with their own parts
// of the window; until then these handlers leave the window as it is.
void TForm1::FileListBox1Change(TObject*) {}
void TForm1::ListView1Click(TObject*) {}
void TForm1::SpeedButton1Click(TObject*) {}
void TForm1::SpeedButton2Click(TObject*) {}
void TForm1::SpeedButton3Click(TObject*) {}
void TForm1::SpeedButton4Click(TObject*) {}

void TForm1::Image1Click(TObject*) {
    // What the shell makes of the address is its own affair: nothing is reported.
    ShellExecuteA(WindowHandle(), nullptr, webAddress_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
