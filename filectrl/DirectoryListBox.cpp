#include "filectrl/DirectoryListBox.h"

#include <algorithm>
#include <vector>

#include "base/FindHandle.h"
#include "base/PropertyValue.h"
#include "base/ScopeGuard.h"
#include "filectrl/DriveComboBox.h"
#include "filectrl/FileListBox.h"
#include "filectrl/ListGlyphs.h"
#include "filectrl/PathHelpers.h"
#include "framework/Label.h"
#include "graphics/Bitmap.h"

namespace {
// Names in the locale's order regardless of letter case; a name equal to one
// already there apart from case is dropped.
void InsertName(std::vector<std::string>& names, const std::string& name) {
    auto less = [](const std::string& a, const std::string& b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_LESS_THAN;
    };
    auto at = std::lower_bound(names.begin(), names.end(), name, less);
    if (at != names.end() && !less(name, *at)) return;
    names.insert(at, name);
}
}  // namespace

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TCustomListBox(owner) {
    SetClassName("TDirectoryListBox");
    SetWidth(145);
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    SetSorted(false);
    LoadGlyphs();
    directory_ = CurrentDirectory();
    FitItemHeight();
}

TDirectoryListBox::~TDirectoryListBox() { SetFileList(nullptr); }

void TDirectoryListBox::LoadGlyphs() {
    closed_ = ResourceGlyph("CLOSEDFOLDER");
    opened_ = ResourceGlyph("OPENFOLDER");
    current_ = ResourceGlyph("CURRENTFOLDER");
}

void TDirectoryListBox::FitItemHeight() {
    SetItemHeight(std::max(FontLineHeight(Font), opened_->Height() + 1));
}

void TDirectoryListBox::FontChanged() {
    TCustomListBox::FontChanged();
    FitItemHeight();
}

void TDirectoryListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    RebuildItems();
}

void TDirectoryListBox::RebuildItems() {
    int currentItem;
    {
        auto update = BeginEnd(*this, &TCustomListBox::BeginUpdate, &TCustomListBox::EndUpdate);
        Items().Clear();
        const std::string root = DrivePart(directory_) + "\\";
        DWORD flags = 0;
        // A volume that cannot say keeps names as they are.
        if (GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) {
            preserveCase_ = (flags & (FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES)) != 0;
            caseSensitive_ = (flags & FILE_CASE_SENSITIVE_SEARCH) != 0;
        } else {
            preserveCase_ = true;
            caseSensitive_ = false;
        }
        int level = 0;
        std::string rest = directory_;
        if (root.size() > 1 && root[1] == '\\') {
            Items().Add(root, opened_.get());
            level = 1;
            rest = directory_.size() > root.size() ? directory_.substr(root.size()) : std::string();
        }
        if (!rest.empty()) {
            if (!EndsWithChar(rest, '\\')) {
                for (size_t p = FirstDelimiter(rest, "\\"); p != std::string::npos; p = FirstDelimiter(rest, "\\")) {
                    std::string segment = rest.substr(0, p);
                    if (level == 0) segment += "\\";  // the drive C: becomes the root item C:\ .
                    rest.erase(0, p + 1);
                    Items().Add(segment, opened_.get());
                    ++level;
                }
            }
            Items().Add(rest, current_.get());
        }
        currentItem = Items().Count() - 1;
        AddSubDirectories();
    }
    if (WindowHandle()) SetItemIndex(currentItem);
}

void TDirectoryListBox::AddSubDirectories() {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    FindHandle search = AdoptFindHandle(FindFirstFileExA(JoinPath(directory_, "*.*").c_str(), FindExInfoStandard,
                                                         &found, FindExSearchLimitToDirectories, nullptr, 0));
    if (!search) return;
    const DWORD unseen = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & unseen) &&
            name != "." && name != "..")
            InsertName(names, name);
    } while (FindNextFileA(search.Get(), &found));
    search.Reset();
    for (const std::string& name : names) Items().Add(name, closed_.get());
}

void TDirectoryListBox::DrawItem(int index, RECT rect, UINT) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    int glyphWidth = 16;
    int indent = 4 * index + 2;
    if (auto* glyph = dynamic_cast<TBitmap*>(Items().Objects(index)); glyph && !glyph->Empty()) {
        // Sub-directories are indented by the depth of the whole path, however the chain is drawn.
        if (glyph == closed_.get()) indent = 4 * PathDepth(directory_) + 6;
        glyphWidth = DrawListGlyph(canvas, *glyph, rect.left + indent, rect);
    }
    std::string text = Items().Strings(index);
    if (!preserveCase_ && !caseSensitive_) text = LowerForDisplay(text);
    canvas.TextOut(rect.left + glyphWidth + indent + 4, rect.top, text);
}

std::string TDirectoryListBox::PathOfItem(int index) const {
    if (index < 0 || index >= Items().Count()) return {};
    const std::string drive = DrivePart(directory_);
    if (index == 0) return drive + "\\";
    TObject* glyph = Items().Objects(index);
    if (glyph == closed_.get()) return JoinPath(directory_, Items().Strings(index));
    if (glyph == current_.get()) return directory_;
    // A folder of the chain: the directory up to its (index + 1)-th backslash.
    const std::string text = directory_.substr(drive.size());
    int counted = 0;
    size_t end = text.size();
    for (size_t i = 0; i < text.size(); i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1) {
        if (text[i] == '\\' && ++counted == index + 1) {
            end = i;
            break;
        }
    }
    return drive + text.substr(0, end);
}

void TDirectoryListBox::OpenSelected() { SetDirPath(PathOfItem(ItemIndex())); }

void TDirectoryListBox::DblClick() {
    TCustomListBox::DblClick();
    OpenSelected();
}

void TDirectoryListBox::KeyPress(char& key) {
    TCustomListBox::KeyPress(key);
    if (key == '\r') OpenSelected();
}

void TDirectoryListBox::SetDirPath(const std::string& target) {
    if (target.empty()) return;
    if (caseSensitive_ ? target == directory_ : SameFileName(target, directory_)) return;
    char letter = 0;
    std::string folder, tail;
    SplitTypedPath(target, letter, folder, tail);
    if (DriveLetter() != letter) {
        // The drive changes first, without a rebuild of its own.
        struct Raised {
            bool& flag;
            explicit Raised(bool& f) : flag(f) { flag = true; }
            ~Raised() { flag = false; }
        } raised{inSetDir_};
        if (driveCombo_) driveCombo_->SetDriveLetter(letter);
        else SwitchDrive(letter);
    }
    if (DirectoryExists(directory_)) ChangeDirectory(directory_);
    ChangeDirectory(folder);
    directory_ = CurrentDirectory();
    RebuildItems();
    NotifyChange();
}

void TDirectoryListBox::SwitchDrive(char letter) {
    if (UpperAscii(letter) == UpperAscii(DriveLetter())) return;
    if (letter != 0) {
        // Starting from our own directory, a drive that cannot be entered leaves us there.
        if (DirectoryExists(directory_)) ChangeDirectory(directory_);
        ChangeDirectory(std::string(1, letter) + ":");  // the drive's remembered directory
        directory_ = CurrentDirectory();
    }
    if (!inSetDir_) {
        RebuildItems();
        NotifyChange();
    }
}

void TDirectoryListBox::SetDriveLetter(char letter) {
    if (letter == 0 || UpperAscii(letter) == UpperAscii(DriveLetter())) return;
    SetDirPath(std::string(1, letter) + ":");
}

void TDirectoryListBox::NotifyChange() {
    if (fileList_) fileList_->SetDirPath(directory_);
    if (dirLabel_) UpdateLabel();
    if (OnChange) OnChange(this);
}

void TDirectoryListBox::UpdateLabel() {
    TScreenCanvas measure(dirLabel_->Font);
    int width = dirLabel_->AutoSize() ? Width() : dirLabel_->Width();
    dirLabel_->SetCaption(FitPathToWidth(directory_, measure, width));
}

void TDirectoryListBox::SetFileList(TFileListBox* list) {
    if (fileList_) fileList_->SetDirectoryList(nullptr);
    fileList_.Set(list);
    if (list) list->SetDirectoryList(this);
}

void TDirectoryListBox::SetDriveCombo(TDriveComboBox* combo) { driveCombo_.Set(combo); }

void TDirectoryListBox::SetDirLabel(TLabel* label) {
    dirLabel_.Set(label);
    if (label) UpdateLabel();
}

bool TDirectoryListBox::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "OnChange") OnChange = reader.Handler(value);
    else if (name == "FileList")
        reader.ResolveReference(value, [this](TComponent* c) { SetFileList(dynamic_cast<TFileListBox*>(c)); });
    else if (name == "DirLabel")
        reader.ResolveReference(value, [this](TComponent* c) { SetDirLabel(dynamic_cast<TLabel*>(c)); });
    else return TCustomListBox::SetProperty(name, value, reader);
    return true;
}
