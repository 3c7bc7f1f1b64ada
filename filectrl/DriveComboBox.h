#pragma once
// The drive list: every drive of the machine with a glyph for its type and its
// volume label or network share. Picking one moves a linked directory list.
#include <memory>

#include "base/ComponentLink.h"
#include "framework/ComboBox.h"

class TBitmap;
class TDirectoryListBox;

enum class TTextCase { tcLowerCase, tcUpperCase };

class TDriveComboBox : public TCustomComboBox {
public:
    explicit TDriveComboBox(TComponent* owner);
    ~TDriveComboBox() override;

    // The selected drive's letter in the TextCase case, or 0 for none.
    char DriveLetter() const { return drive_; }
    void SetDriveLetter(char letter);
    TTextCase TextCase() const { return textCase_; }
    void SetTextCase(TTextCase value);
    TDirectoryListBox* DirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* list);

    // The glyph shown for a platform drive type, or none for a type not listed.
    TBitmap* GlyphOfType(UINT driveType) const;
    void FitItemHeight();

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    virtual void RebuildItems();
    void CreateWnd() override;
    void DrawItem(int index, RECT rect, UINT state) override;
    void Click() override;
    void FontChanged() override;

private:
    TComponentLink<TDirectoryListBox> dirList_;
    char drive_ = 0;
    TTextCase textCase_ = TTextCase::tcLowerCase;
    std::unique_ptr<TBitmap> floppy_;
    std::unique_ptr<TBitmap> hard_;
    std::unique_ptr<TBitmap> network_;
    std::unique_ptr<TBitmap> cdrom_;
    std::unique_ptr<TBitmap> ram_;
};
