#pragma once
// The file list: the files of one directory that match a mask, sorted. It
// reports a change after every listing and whenever the user picks another file.
#include "framework/ListBox.h"

class TFilterComboBox;

class TFileListBox : public TCustomListBox {
public:
    explicit TFileListBox(TComponent* owner);

    const std::string& DirPath() const { return directory_; }
    void SetDirPath(const std::string& path);
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& mask);
    std::string SelectedName() const;
    std::string SelectedPath() const;
    // Moves to the directory of a typed path.
    void SetSelectedPath(const std::string& path);
    // Lists the directory again; nothing is selected afterwards.
    void RescanFiles();

    // Set by a filter combo box when it links this list, cleared when it goes.
    TFilterComboBox* FilterComboBox() const { return filterComboBox_; }
    void SetFilterComboBox(TFilterComboBox* combo);

    TNotifyEvent OnChange;
    bool SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) override;

protected:
    void CreateWnd() override;
    void Click() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void NotifyChange();

    std::string directory_;
    std::string mask_ = "*.*";
    int lastSelection_ = -1;
    TFilterComboBox* filterComboBox_ = nullptr;
};
