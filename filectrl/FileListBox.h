#pragma once
// The file list: the entries of one directory that match a mask and a set of
// entry kinds, sorted. It tells its owner when the selection or the listing changes.
#include <cstdint>
#include <memory>

#include "base/ComponentLink.h"
#include "framework/ListBox.h"

class TBitmap;
class TEdit;
class TDirectoryListBox;
class TFilterComboBox;

enum TFileAttr : uint8_t { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };
using TFileType = uint8_t;  // bit n for the n-th TFileAttr
constexpr TFileType FileTypeOf(std::initializer_list<TFileAttr> attrs) {
    TFileType set = 0;
    for (TFileAttr a : attrs) set = static_cast<TFileType>(set | (1u << a));
    return set;
}

class TFileListBox : public TCustomListBox {
public:
    explicit TFileListBox(TComponent* owner);
    ~TFileListBox() override;

    const std::string& DirPath() const { return directory_; }
    void SetDirPath(const std::string& path);
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& mask);
    TFileType FileType() const { return fileType_; }
    void SetFileType(TFileType type);
    bool ShowGlyphs() const { return showGlyphs_; }
    void SetShowGlyphs(bool value);
    TEdit* FileEdit() const { return fileEdit_; }
    void SetFileEdit(TEdit* edit);

    // The selected item's text ("[name]" for a directory), empty with nothing selected.
    std::string SelectedName() const;
    void SetSelectedName(const std::string& wanted);
    std::string SelectedPath() const;
    // Applies a path a user typed: moves to its folder, and selects, masks or
    // refuses its last part ("无效的文件名 - %s").
    void SetSelectedPath(const std::string& text);

    // Lists the directory again; nothing is selected afterwards and OnChange fires.
    void RescanFiles();
    void FitItemHeight();

    // The glyphs items carry (for callers that check which one an item got).
    TBitmap* ExecutableGlyph() const { return executable_.get(); }
    TBitmap* DirectoryGlyph() const { return directory_glyph_.get(); }
    TBitmap* UnknownGlyph() const { return unknown_.get(); }

    // Set by the linked directory list and filter combo box, cleared when they go.
    TDirectoryListBox* DirectoryList() const { return directoryList_; }
    void SetDirectoryList(TDirectoryListBox* list);
    TFilterComboBox* FilterComboBox() const { return filterComboBox_; }
    void SetFilterComboBox(TFilterComboBox* combo);

    TNotifyEvent OnChange;
    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void CreateWnd() override;
    void Click() override;
    void DrawItem(int index, RECT rect, UINT state) override;
    void FontChanged() override;
    virtual void NotifyChange();
    virtual void LoadGlyphs();

private:
    std::string directory_;
    std::string mask_ = "*.*";
    TFileType fileType_ = FileTypeOf({ftNormal});
    TComponentLink<TEdit> fileEdit_;
    TComponentLink<TDirectoryListBox> directoryList_;
    TComponentLink<TFilterComboBox> filterComboBox_;
    std::unique_ptr<TBitmap> executable_;
    std::unique_ptr<TBitmap> directory_glyph_;
    std::unique_ptr<TBitmap> unknown_;
    int lastSelection_ = -1;
    bool showGlyphs_ = false;
};
