#pragma once
// The directory tree list. For now a plain owner-drawn list holding the
// current directory.
#include "framework/ListBox.h"

class TDirectoryListBox : public TCustomListBox {
public:
    explicit TDirectoryListBox(TComponent* owner);
    const std::string& DirPath() const { return directory_; }
    char DriveLetter() const { return directory_.empty() ? 0 : directory_[0]; }
    void SetDriveLetter(char letter);
    void SetDirPath(const std::string& path);

    TNotifyEvent OnChange;
    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

private:
    std::string directory_;
};
