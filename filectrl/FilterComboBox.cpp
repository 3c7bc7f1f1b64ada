#include "filectrl/FilterComboBox.h"

#include "filectrl/FileListBox.h"
#include "framework/FormReader.h"
#include "framework/ResStrings.h"
#include "resources/StringIds.h"

TFilterComboBox::TFilterComboBox(TComponent* owner) : TCustomComboBox(owner) {
    SetClassName("TFilterComboBox");
    filter_ = LoadStr(SDefaultFilter);
}

void TFilterComboBox::SetFileList(TFileListBox* list) {
    if (fileList_) RemoveFreeNotification(fileList_);
    fileList_ = list;
    if (fileList_) FreeNotification(fileList_);
}

void TFilterComboBox::Notification(TComponent* component, TOperation operation) {
    TCustomComboBox::Notification(component, operation);
    if (operation == TOperation::opRemove && component == fileList_) fileList_ = nullptr;
}

bool TFilterComboBox::SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) {
    if (name == "Filter") filter_ = value.AsString();
    else if (name == "FileList")
        reader.ResolveReference(value, [this](TComponent* c) { SetFileList(dynamic_cast<TFileListBox*>(c)); });
    else return TCustomComboBox::SetProperty(name, value, reader);
    return true;
}
