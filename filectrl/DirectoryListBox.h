#pragma once
// The directory list: the chain of folders from the drive root down to the
// current directory, then its sub-directories. Double-click or Enter opens
// the selected entry; a change moves a linked file list and label.
#include <memory>

#include "base/ComponentLink.h"
#include "framework/ListBox.h"

class TBitmap;
class TDriveComboBox;
class TFileListBox;
class TLabel;

class TDirectoryListBox : public TCustomListBox {
public:
    explicit TDirectoryListBox(TComponent* owner);
    ~TDirectoryListBox() override;

    const std::string& DirPath() const { return directory_; }
    virtual void SetDirPath(const std::string& target);
    // The directory's first character ('\' for a UNC directory).
    char DriveLetter() const { return directory_.empty() ? 0 : directory_[0]; }
    void SetDriveLetter(char letter);
    // The full path an item stands for; empty beyond the last item.
    std::string PathOfItem(int index) const;
    void OpenSelected();
    // The drive-change step a linked drive combo box runs.
    void SwitchDrive(char letter);

    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* list);
    TLabel* DirLabel() const { return dirLabel_; }
    void SetDirLabel(TLabel* label);
    // Set by the drive combo box that links this list, cleared when it goes.
    TDriveComboBox* DriveCombo() const { return driveCombo_; }
    void SetDriveCombo(TDriveComboBox* combo);

    bool PreserveCase() const { return preserveCase_; }
    bool CaseSensitive() const { return caseSensitive_; }
    TBitmap* ClosedGlyph() const { return closed_.get(); }
    TBitmap* OpenedGlyph() const { return opened_.get(); }
    TBitmap* CurrentGlyph() const { return current_.get(); }
    void FitItemHeight();

    TNotifyEvent OnChange;
    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    virtual void NotifyChange();
    virtual void LoadGlyphs();
    virtual void RebuildItems();
    void CreateWnd() override;
    void DrawItem(int index, RECT rect, UINT state) override;
    void DblClick() override;
    void KeyPress(char& key) override;
    void FontChanged() override;

private:
    void UpdateLabel();
    void AddSubDirectories();

    TComponentLink<TFileListBox> fileList_;
    TComponentLink<TDriveComboBox> driveCombo_;
    TComponentLink<TLabel> dirLabel_;
    bool inSetDir_ = false;
    bool preserveCase_ = true;
    bool caseSensitive_ = false;
    std::unique_ptr<TBitmap> closed_;
    std::unique_ptr<TBitmap> opened_;
    std::unique_ptr<TBitmap> current_;
    std::string directory_;
};
