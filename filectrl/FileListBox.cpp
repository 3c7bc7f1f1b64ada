#include "filectrl/FileListBox.h"

#include "filectrl/FilterComboBox.h"
#include "framework/FormReader.h"

namespace {
std::string CurrentDirectory() {
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}
}  // namespace

TFileListBox::TFileListBox(TComponent* owner) : TCustomListBox(owner) {
    SetClassName("TFileListBox");
    SetSorted(true);
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    SetWidth(145);
    directory_ = CurrentDirectory();
}

void TFileListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    RescanFiles();
}

void TFileListBox::RescanFiles() {
    if (!WindowHandle()) return;
    SetCurrentDirectoryA(directory_.c_str());
    Items().Clear();
    size_t start = 0;
    for (;;) {
        size_t end = mask_.find(';', start);
        std::string part = mask_.substr(start, end == std::string::npos ? std::string::npos : end - start);
        WIN32_FIND_DATAA found;
        HANDLE search = part.empty() ? INVALID_HANDLE_VALUE : FindFirstFileA(part.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
                    Items().Add(found.cFileName);
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    NotifyChange();
}

void TFileListBox::NotifyChange() {
    lastSelection_ = ItemIndex();
    if (OnChange) OnChange(this);
}

void TFileListBox::Click() {
    TCustomListBox::Click();
    if (ItemIndex() != lastSelection_) NotifyChange();
}

void TFileListBox::SetFilterComboBox(TFilterComboBox* combo) {
    if (filterComboBox_) RemoveFreeNotification(filterComboBox_);
    filterComboBox_ = combo;
    if (combo) FreeNotification(combo);
}

void TFileListBox::Notification(TComponent* component, TOperation operation) {
    TCustomListBox::Notification(component, operation);
    if (operation == TOperation::opRemove && component == filterComboBox_)
        filterComboBox_ = nullptr;
}

void TFileListBox::SetDirPath(const std::string& path) {
    if (lstrcmpiA(path.c_str(), directory_.c_str()) == 0) return;
    SetCurrentDirectoryA(path.c_str());
    directory_ = CurrentDirectory();
    RescanFiles();
}

void TFileListBox::SetMask(const std::string& mask) {
    if (mask == mask_) return;
    mask_ = mask;
    RescanFiles();
}

std::string TFileListBox::SelectedName() const {
    int index = ItemIndex();
    return index >= 0 ? Items().Strings(index) : std::string();
}

std::string TFileListBox::SelectedPath() const {
    std::string name = SelectedName();
    if (name.empty()) return name;
    return directory_ + (directory_.back() == '\\' ? "" : "\\") + name;
}

void TFileListBox::SetSelectedPath(const std::string& path) {
    if (!path.empty()) SetDirPath(path);
}

bool TFileListBox::SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) {
    if (name == "Mask") SetMask(value.AsString());
    else if (name == "OnChange") OnChange = reader.Handler(value);
    else return TCustomListBox::SetProperty(name, value, reader);
    return true;
}
