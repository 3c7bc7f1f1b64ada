#include "filectrl/DriveComboBox.h"

#include <algorithm>

#include "base/PropertyValue.h"
#include "filectrl/DirectoryListBox.h"
#include "filectrl/ListGlyphs.h"
#include "filectrl/PathHelpers.h"
#include "graphics/Bitmap.h"

TDriveComboBox::TDriveComboBox(TComponent* owner) : TCustomComboBox(owner) {
    SetClassName("TDriveComboBox");
    SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    floppy_ = ResourceGlyph("FLOPPY");
    hard_ = ResourceGlyph("HARD");
    network_ = ResourceGlyph("NETWORK");
    cdrom_ = ResourceGlyph("CDROM");
    ram_ = ResourceGlyph("RAM");
    std::string dir = CurrentDirectory();
    drive_ = dir.empty() || dir[0] == '\\' ? 0 : dir[0];
    FitItemHeight();
}

TDriveComboBox::~TDriveComboBox() { SetDirList(nullptr); }

TBitmap* TDriveComboBox::GlyphOfType(UINT driveType) const {
    switch (driveType) {
    case DRIVE_REMOVABLE: return floppy_.get();
    case DRIVE_FIXED: return hard_.get();
    case DRIVE_REMOTE: return network_.get();
    case DRIVE_CDROM: return cdrom_.get();
    case DRIVE_RAMDISK: return ram_.get();
    default: return nullptr;
    }
}

void TDriveComboBox::FitItemHeight() { SetItemHeight(std::max(FontLineHeight(Font), floppy_->Height())); }

void TDriveComboBox::FontChanged() {
    TCustomComboBox::FontChanged();
    FitItemHeight();
    RecreateWnd();
}

void TDriveComboBox::CreateWnd() {
    TCustomComboBox::CreateWnd();
    RebuildItems();
    // Nothing is selected now, so this always selects the drive and tells of it.
    SetDriveLetter(drive_);
}

void TDriveComboBox::RebuildItems() {
    Items().Clear();
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        char letter = static_cast<char>('a' + i);
        const char root[] = {letter, ':', '\\', 0};
        const UINT type = GetDriveTypeA(root);
        TBitmap* glyph = GlyphOfType(type);
        if (!glyph) continue;
        if (textCase_ == TTextCase::tcUpperCase) letter = UpperAscii(letter);
        std::string text(1, letter);
        // A removable drive's medium is never touched.
        if (type == DRIVE_REMOVABLE) text += ":";
        else text += ": " + (type == DRIVE_REMOTE ? NetworkDriveText(letter) : VolumeLabelText(letter));
        Items().Add(text, glyph);
    }
}

void TDriveComboBox::SetDriveLetter(char letter) {
    if (ItemIndex() >= 0 && UpperAscii(letter) == UpperAscii(drive_)) return;
    if (letter == 0) {
        drive_ = 0;
        SetItemIndex(-1);
    } else {
        drive_ = textCase_ == TTextCase::tcUpperCase ? UpperAscii(letter) : static_cast<char>(UpperAscii(letter) + 32);
        for (int i = 0, n = Items().Count(); i < n; ++i) {
            const std::string text = Items().Strings(i);
            if (text.size() >= 2 && UpperAscii(text[0]) == UpperAscii(drive_) && text[1] == ':') {
                SetItemIndex(i);
                break;
            }
        }
    }
    if (dirList_) dirList_->SwitchDrive(drive_);
    Change();
}

void TDriveComboBox::SetTextCase(TTextCase value) {
    textCase_ = value;
    const char remembered = drive_;
    if (!WindowHandle()) {
        // The items come with the window; the drive takes the case now.
        if (drive_) drive_ = value == TTextCase::tcUpperCase ? UpperAscii(drive_) : static_cast<char>(UpperAscii(drive_) + 32);
        return;
    }
    RebuildItems();
    SetDriveLetter(remembered);
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) {
    if (dirList_) dirList_->SetDriveCombo(nullptr);
    dirList_.Set(list);
    if (list) list->SetDriveCombo(this);
}

void TDriveComboBox::Click() {
    TCustomComboBox::Click();
    if (ItemIndex() >= 0) SetDriveLetter(Items().Strings(ItemIndex())[0]);
}

void TDriveComboBox::DrawItem(int index, RECT rect, UINT) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    int glyphWidth = 16;
    if (auto* glyph = dynamic_cast<TBitmap*>(Items().Objects(index)); glyph && !glyph->Empty())
        glyphWidth = DrawListGlyph(canvas, *glyph, rect.left + 2, rect);
    rect.left += glyphWidth + 6;
    canvas.TextRect(rect, Items().Strings(index), DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

bool TDriveComboBox::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "TextCase")
        SetTextCase(IdentToEnum<TTextCase>(
            value, {{"tcLowerCase", TTextCase::tcLowerCase}, {"tcUpperCase", TTextCase::tcUpperCase}}));
    else if (name == "DirList")
        reader.ResolveReference(value, [this](TComponent* c) { SetDirList(dynamic_cast<TDirectoryListBox*>(c)); });
    else return TCustomComboBox::SetProperty(name, value, reader);
    return true;
}
