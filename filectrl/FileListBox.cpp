#include "filectrl/FileListBox.h"

#include "framework/FormReader.h"

TFileListBox::TFileListBox(TComponent* owner) : TCustomListBox(owner) {
    SetClassName("TFileListBox");
    SetSorted(true);
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    SetWidth(145);
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    directory_ = dir;
}

bool TFileListBox::SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) {
    if (name == "Mask") SetMask(value.AsString());
    else if (name == "OnChange") OnChange = reader.Handler(value);
    else return TCustomListBox::SetProperty(name, value, reader);
    return true;
}
