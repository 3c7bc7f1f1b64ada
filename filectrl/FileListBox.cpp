#include "filectrl/FileListBox.h"

#include "filectrl/DirectoryListBox.h"
#include "filectrl/FilterComboBox.h"
#include "filectrl/ListGlyphs.h"
#include "filectrl/PathHelpers.h"
#include "framework/Edit.h"
#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "graphics/Bitmap.h"
#include "resources/StringIds.h"

TFileListBox::TFileListBox(TComponent* owner) : TCustomListBox(owner) {
    SetClassName("TFileListBox");
    SetWidth(145);
    SetSorted(true);
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    LoadGlyphs();
    directory_ = CurrentDirectory();
    FitItemHeight();
}

TFileListBox::~TFileListBox() {
    SetFileEdit(nullptr);
    SetDirectoryList(nullptr);
    SetFilterComboBox(nullptr);
}

void TFileListBox::LoadGlyphs() {
    executable_ = ResourceGlyph("EXECUTABLE");
    directory_glyph_ = ResourceGlyph("CLOSEDFOLDER");
    unknown_ = ResourceGlyph("UNKNOWNFILE");
}

void TFileListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    RescanFiles();
}

void TFileListBox::NotifyChange() {
    lastSelection_ = ItemIndex();
    if (fileEdit_) {
        std::string name = SelectedName();
        fileEdit_->SetText(name.empty() ? mask_ : name);
        fileEdit_->SelectAll();
    }
    if (OnChange) OnChange(this);
}

void TFileListBox::Click() {
    TCustomListBox::Click();
    if (ItemIndex() != lastSelection_) NotifyChange();
}

std::string TFileListBox::SelectedName() const {
    int index = ItemIndex();
    if (index < 0 || Items().Count() == 0 || !Selected(index)) return {};
    return Items().Strings(index);
}

void TFileListBox::SetSelectedName(const std::string& wanted) {
    if (SameFileName(wanted, SelectedName())) return;
    // The platform's exact search, starting after the first item and wrapping to it.
    SetItemIndex(Items().FindExact(wanted, 0));
    NotifyChange();
}

std::string TFileListBox::SelectedPath() const {
    std::string name = SelectedName();
    return name.empty() ? name : JoinPath(directory_, name);
}

void TFileListBox::SetSelectedPath(const std::string& text) {
    if (text.empty() || SameFileName(text, SelectedPath())) return;
    char drive = 0;
    std::string folder, tail;
    SplitTypedPath(text, drive, folder, tail);
    if (directoryList_) directoryList_->SetDirPath(text);
    else SetDirPath(drive ? std::string(1, drive) + ":" + folder : folder);
    if (tail.find_first_of("*?") != std::string::npos) {
        SetMask(tail);
    } else if (!tail.empty()) {
        SetSelectedName(tail);
        if (!FileExists(tail)) throw EInvalidOperation(Format(LoadStr(SInvalidFileName), {text}));
        if (SelectedName().empty()) {
            // The file exists but is not listed: let the mask take it in.
            SetMask(tail);
            SetSelectedName(tail);
        }
    }
}

void TFileListBox::SetDirPath(const std::string& target) {
    if (SameFileName(target, directory_)) return;
    if (DirectoryExists(directory_)) ChangeDirectory(directory_);
    ChangeDirectory(target);
    directory_ = CurrentDirectory();
    RescanFiles();
}

void TFileListBox::SetMask(const std::string& mask) {
    if (mask == mask_) return;  // byte for byte: other letter case rescans
    mask_ = mask;
    RescanFiles();
}

void TFileListBox::SetFileType(TFileType type) {
    if (type == fileType_) return;
    fileType_ = type;
    RescanFiles();
}

void TFileListBox::SetShowGlyphs(bool value) {
    if (value == showGlyphs_) return;
    showGlyphs_ = value;
    if (value && ItemHeight() < executable_->Height() + 1) FitItemHeight();
    Invalidate();
}

void TFileListBox::FitItemHeight() {
    int height = FontLineHeight(Font);
    if (showGlyphs_ && height < executable_->Height() + 1) height = executable_->Height() + 1;
    SetItemHeight(height);
}

void TFileListBox::FontChanged() {
    TCustomListBox::FontChanged();
    FitItemHeight();
}

void TFileListBox::SetFileEdit(TEdit* edit) {
    fileEdit_.Set(edit);
    if (!edit) return;
    std::string name = SelectedName();
    edit->SetText(name.empty() ? mask_ : name);
}

void TFileListBox::SetDirectoryList(TDirectoryListBox* list) { directoryList_.Set(list); }

void TFileListBox::SetFilterComboBox(TFilterComboBox* combo) { filterComboBox_.Set(combo); }

bool TFileListBox::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Mask") SetMask(value.AsString());
    else if (name == "ShowGlyphs") SetShowGlyphs(value.AsBoolean());
    else if (name == "FileType") {
        SetFileType(SetToFlags<TFileType>(value, {{"ftReadOnly", FileTypeOf({ftReadOnly})},
                                                  {"ftHidden", FileTypeOf({ftHidden})},
                                                  {"ftSystem", FileTypeOf({ftSystem})},
                                                  {"ftVolumeID", FileTypeOf({ftVolumeID})},
                                                  {"ftDirectory", FileTypeOf({ftDirectory})},
                                                  {"ftArchive", FileTypeOf({ftArchive})},
                                                  {"ftNormal", FileTypeOf({ftNormal})}}));
    } else if (name == "FileEdit") {
        reader.ResolveReference(value, [this](TComponent* c) { SetFileEdit(dynamic_cast<TEdit*>(c)); });
    } else if (name == "OnChange") {
        OnChange = reader.Handler(value);
    } else {
        return TCustomListBox::SetProperty(name, value, reader);
    }
    return true;
}
