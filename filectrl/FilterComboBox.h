#pragma once
// The file-type filter list. For now it keeps its filter text and file list link.
#include "framework/ComboBox.h"

class TFileListBox;

class TFilterComboBox : public TCustomComboBox {
public:
    explicit TFilterComboBox(TComponent* owner);

    const std::string& Filter() const { return filter_; }
    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* list);
    std::string CurrentMask() const { return "*.*"; }

    bool SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::string filter_;
    TFileListBox* fileList_ = nullptr;
};
