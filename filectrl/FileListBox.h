#pragma once
// The file list. For now a sorted owner-drawn list that keeps its directory and
// mask; listing files comes with the file list proper.
#include "framework/ListBox.h"

class TFileListBox : public TCustomListBox {
public:
    explicit TFileListBox(TComponent* owner);

    const std::string& DirPath() const { return directory_; }
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& mask) { mask_ = mask; }
    std::string SelectedPath() const { return {}; }
    void SetSelectedPath(const std::string&) {}

    TNotifyEvent OnChange;
    bool SetProperty(const std::string& name, const TPropertyValue& value, TFormReader& reader) override;

private:
    std::string directory_;
    std::string mask_ = "*.*";
};
