#include "filectrl/FilterComboBox.h"

#include "filectrl/FileListBox.h"
#include "filectrl/PathHelpers.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

TFilterComboBox::TFilterComboBox(TComponent* owner) : TCustomComboBox(owner) {
    SetClassName("TFilterComboBox");
    filter_ = LoadStr(SDefaultFilter);
}

void TFilterComboBox::CreateWnd() {
    TCustomComboBox::CreateWnd();
    BuildEntries();
}

// Walked by characters: the second byte of a GBK character (東 is 96 7C) may be '|'.
void TFilterComboBox::BuildEntries() {
    Items().Clear();
    masks_.clear();
    std::string rest = filter_;
    size_t bar = FirstDelimiter(rest, "|");
    while (bar != std::string::npos) {
        std::string description = rest.substr(0, bar);
        rest.erase(0, bar + 1);
        std::string mask;
        size_t next = FirstDelimiter(rest, "|");
        if (next == std::string::npos) {
            mask = rest;
            rest.clear();
        } else {
            mask = rest.substr(0, next);
            rest.erase(0, next + 1);
        }
        Items().Add(description);
        masks_.push_back(mask);
        bar = FirstDelimiter(rest, "|");
    }
    if (Items().Count() > 0) Items().SetItemIndex(0);
}

std::string TFilterComboBox::CurrentMask() {
    if (ItemIndex() < 0) Items().SetItemIndex(Items().Count() - 1);
    int index = ItemIndex();
    if (index >= 0 && index < static_cast<int>(masks_.size())) return masks_[index];
    return "*.*";
}

int TFilterComboBox::EntryOfMask(const std::string& mask) const {
    for (size_t i = 0; i < masks_.size(); ++i)
        if (masks_[i] == mask) return static_cast<int>(i);
    return -1;
}

void TFilterComboBox::Change() {
    if (fileList_) fileList_->SetMask(CurrentMask());
    TCustomComboBox::Change();
}

void TFilterComboBox::Click() {
    TCustomComboBox::Click();
    Change();
}

void TFilterComboBox::SetFilter(const std::string& filter) {
    if (SameFileName(filter, filter_)) return;
    filter_ = filter;
    if (WindowHandle()) BuildEntries();
    Change();
}

void TFilterComboBox::SetFileList(TFileListBox* list) {
    if (fileList_) fileList_->SetFilterComboBox(nullptr);
    fileList_.Set(list);
    if (fileList_) fileList_->SetFilterComboBox(this);
}

bool TFilterComboBox::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Filter") SetFilter(value.AsString());
    else if (name == "FileList")
        reader.ResolveReference(value, [this](TComponent* c) { SetFileList(dynamic_cast<TFileListBox*>(c)); });
    else return TCustomComboBox::SetProperty(name, value, reader);
    return true;
}
