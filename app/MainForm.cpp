#include "app/MainForm.h"

#include <algorithm>
#include <iterator>

#include <shellapi.h>

#include "base/Exceptions.h"
#include "base/FileHandle.h"
#include "base/LateBound.h"
#include "base/PlatformError.h"
#include "base/ResStrings.h"
#include "base/UniqueHandle.h"
#include "buttons/SpeedButton.h"
#include "dialogs/FolderDialog.h"
#include "dialogs/SavePictureDialog.h"
#include "filectrl/DirectoryListBox.h"
#include "filectrl/DriveComboBox.h"
#include "filectrl/FileListBox.h"
#include "filectrl/FilterComboBox.h"
#include "filectrl/PathHelpers.h"
#include "framework/Application.h"
#include "framework/Image.h"
#include "framework/Panel.h"
#include "framework/Splitter.h"
#include "framework/StatusBar.h"
#include "graphics/Bitmap.h"
#include "graphics/Icon.h"
#include "graphics/IconSource.h"
#include "lists/ImageList.h"
#include "lists/ListView.h"
#include "resources/StringIds.h"

TForm1::TForm1(TComponent* owner) : TForm(owner) {
    SetClassName("TForm1");
    RegisterHandler<TNotifyEvent>("FormCreate", [this](TObject* s) { FormCreate(s); });
    RegisterHandler<TCloseQueryEvent>("FormCloseQuery", [this](TObject* s, bool& c) { FormCloseQuery(s, c); });
    RegisterHandler<TDropFilesEvent>("FormDropFiles",
                                     [this](TObject* s, const std::vector<std::string>& p) { FormDropFiles(s, p); });
    RegisterHandler<TKeyEvent>("FormKeyDown", [this](TObject* s, WORD& k, TShiftState t) { FormKeyDown(s, k, t); });
    RegisterHandler<TNotifyEvent>("DriveComboBox1Change", [this](TObject* s) { DriveComboBox1Change(s); });
    RegisterHandler<TNotifyEvent>("DirectoryListBox1Change", [this](TObject* s) { DirectoryListBox1Change(s); });
    RegisterHandler<TNotifyEvent>("FilterComboBox1Change", [this](TObject* s) { FilterComboBox1Change(s); });
    RegisterHandler<TNotifyEvent>("FileListBox1Change", [this](TObject* s) { FileListBox1Change(s); });
    RegisterHandler<TNotifyEvent>("ListView1Click", [this](TObject* s) { ListView1Click(s); });
    RegisterHandler<TContextPopupEvent>("ListView1ContextPopup",
                                        [this](TObject* s, POINT at, bool k) { ListView1ContextPopup(s, at, k); });
    RegisterHandler<TNotifyEvent>("SpeedButton1Click", [this](TObject* s) { SpeedButton1Click(s); });
    RegisterHandler<TNotifyEvent>("SpeedButton2Click", [this](TObject* s) { SpeedButton2Click(s); });
    RegisterHandler<TNotifyEvent>("SpeedButton3Click", [this](TObject* s) { SpeedButton3Click(s); });
    RegisterHandler<TNotifyEvent>("SpeedButton4Click", [this](TObject* s) { SpeedButton4Click(s); });
    RegisterHandler<TNotifyEvent>("Image1Click", [this](TObject* s) { Image1Click(s); });
}

TForm1::~TForm1() {
    Application.CancelIdleWork(this);
    Application.CancelIdleWork(&export_);
}

template <typename T>
void TForm1::Bind(T*& field, const char* name) {
    field = dynamic_cast<T*>(FindComponent(name));
    if (!field) throw EReadError(Format(LoadStr(SUnknownReference), {name}));
}

void TForm1::Loaded() {
    TForm::Loaded();
    Bind(Panel1, "Panel1");
    Bind(Image1, "Image1");
    Bind(Panel2, "Panel2");
    Bind(Panel3, "Panel3");
    Bind(Panel6, "Panel6");
    Bind(Panel9, "Panel9");
    Bind(Image2, "Image2");
    Bind(Panel7, "Panel7");
    Bind(SpeedButton1, "SpeedButton1");
    Bind(SpeedButton2, "SpeedButton2");
    Bind(SpeedButton3, "SpeedButton3");
    Bind(SpeedButton4, "SpeedButton4");
    Bind(Panel4, "Panel4");
    Bind(DriveComboBox1, "DriveComboBox1");
    Bind(DirectoryListBox1, "DirectoryListBox1");
    Bind(Panel5, "Panel5");
    Bind(FileListBox1, "FileListBox1");
    Bind(FilterComboBox1, "FilterComboBox1");
    Bind(Panel8, "Panel8");
    Bind(Panel10, "Panel10");
    Bind(Panel11, "Panel11");
    Bind(Splitter1, "Splitter1");
    Bind(Panel12, "Panel12");
    Bind(ListView1, "ListView1");
    Bind(StatusBar1, "StatusBar1");
    Bind(ImageList1, "ImageList1");
    Bind(SavePictureDialog1, "SavePictureDialog1");
    Bind(FolderDialog1, "FolderDialog1");
}

bool TForm1::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "WebAddress") webAddress_ = value.AsString();
    else return TForm::SetProperty(name, value, reader);
    return true;
}

void TForm1::FormCreate(TObject*) {
    ZoomLevel = 3;
    StatusBar1->SetPanelWidth(0, 130);
}

void TForm1::FormCloseQuery(TObject*, bool& canClose) { canClose = true; }

// Of several dropped at once, the first is shown: the window shows one file.
void TForm1::FormDropFiles(TObject*, const std::vector<std::string>& paths) { OpenPath(paths.front()); }

// Whichever control has the focus, Esc stops an export.
void TForm1::FormKeyDown(TObject*, WORD& key, TShiftState) {
    if (key != VK_ESCAPE || !Exporting()) return;
    StopExport();
    key = 0;
}

void TForm1::DriveComboBox1Change(TObject*) { DirectoryListBox1->SetDriveLetter(DriveComboBox1->DriveLetter()); }

void TForm1::DirectoryListBox1Change(TObject*) {
    FileListBox1->SetSelectedPath(DirectoryListBox1->DirPath());
    FileListBox1->SetMask(FilterComboBox1->CurrentMask());
}

void TForm1::FilterComboBox1Change(TObject*) { FileListBox1->SetMask(FilterComboBox1->CurrentMask()); }

namespace {
struct ZoomStep {
    int side;
    unsigned label;
};
const ZoomStep kZoomSteps[] = {{16, SZoomHalf}, {32, SZoomOne}, {64, SZoomTwo}, {96, SZoomThree}};

// The file's size in bytes. The file is opened for reading, denying others
// write access, so that a file that cannot be read fails here as it always did.
long long FileSizeOf(const std::string& path) {
    const FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.Get(), &size))
        throw EFOpenError(Format(LoadStr(SFOpenError), {path}));
    return size.QuadPart;
}
}  // namespace

int TForm1::CheckedZoomLevel() {
    // A level set anywhere else than by the zoom buttons never reads past the table.
    ZoomLevel = std::clamp(ZoomLevel, 1, static_cast<int>(std::size(kZoomSteps)));
    return ZoomLevel;
}

void TForm1::SizePreview() {
    int side = kZoomSteps[CheckedZoomLevel() - 1].side;
    Image2->SetBounds(Image2->Left(), Image2->Top(), side, side);
}

void TForm1::ApplyZoom() {
    SizePreview();
    Panel6->SetCaption(LoadStr(kZoomSteps[CheckedZoomLevel() - 1].label));
}

void TForm1::PreviewIcon(int index) {
    shownIcon_ = index;
    TIcon icon;
    TBitmap bitmap;
    icon.SetGdiHandle(IconSource.Icon(index));
    bitmap.SetWidth(icon.Width());
    bitmap.SetHeight(icon.Height());
    bitmap.Surface().Draw(0, 0, &icon);
    // The preview shares the rendered image: it outlives this bitmap object.
    Image2->Picture().Bitmap()->ShareFrom(&bitmap);
}

void TForm1::CentrePreview() {
    Image2->SetBounds(Panel9->Width() / 2 - Image2->Width() / 2, Panel9->Height() / 2 - Image2->Height() / 2,
                      Image2->Width(), Image2->Height());
}

TIconListFill& TForm1::IconFill() {
    if (!iconFill_) {
        iconFill_ = std::make_unique<TIconListFill>(IconSource, *ImageList1, *ListView1);
        iconFill_->OnFillingChange = [this](bool filling) { ListView1->SetCursor(filling ? crAppStart : crDefault); };
    }
    return *iconFill_;
}

void TForm1::SetToolButtonsEnabled(bool enabled) {
    for (TSpeedButton* button : {SpeedButton1, SpeedButton2, SpeedButton3, SpeedButton4}) button->SetEnabled(enabled);
}

void TForm1::FileListBox1Change(TObject*) {
    FilePath = FileListBox1->SelectedPath();
    IconCount = IconSource.Count(FilePath);
    PreviewIcon(0);
    ApplyZoom();
    CentrePreview();
    // The list fills in steps between messages, after the texts below.
    IconFill().Start(IconCount);
    StatusBar1->SetPanelText(1, LoadStr(SFileLocation) + FilePath);
    Panel11->SetCaption(IconCount != 0 ? LoadStr(SSelectedIconPrefix) + "1" + LoadStr(SSelectedIconSuffix) : "");
    if (FilePath.empty()) return;
    const std::string& dir = FileListBox1->DirPath();
    long long size = FileSizeOf(FilePath);
    std::string name = FilePath.substr(EndsWithChar(dir, '\\') ? dir.size() : dir.size() + 1);
    if (IconCount != 0) {
        Panel12->SetCaption(LoadStr(SFileNameLabel) + name + LoadStr(SIconCountLabel) + IntToStr(IconCount) +
                            LoadStr(SIconCountSuffix) + IntToStr(size) + LoadStr(SBytesSuffix));
        SetToolButtonsEnabled(true);
    } else {
        Panel12->SetCaption(LoadStr(SFileNameLabel) + name + LoadStr(SNoIconsLabel) + IntToStr(size) +
                            LoadStr(SBytesSuffix));
        SetToolButtonsEnabled(false);
    }
}

void TForm1::ListView1Click(TObject*) { PreviewListedIcon(ListView1->SelectedPosition()); }

void TForm1::PreviewListedIcon(int position) {
    // The item's position names the icon, whatever picture the item shows; the
    // path is the one the last scan read, not the file list's selection now.
    if (position < 0 || position >= IconCount) return;
    PreviewIcon(position);
    SizePreview();
    CentrePreview();
    Panel11->SetCaption(LoadStr(SSelectedIconPrefix) + IntToStr(position + 1) + LoadStr(SSelectedIconSuffix));
}

namespace {
enum TIconMenuItem : UINT { imNone, imCopy, imSave, imSaveAllIco, imSaveAllPng };
}  // namespace

void TForm1::ListView1ContextPopup(TObject*, POINT at, bool byKeyboard) {
    const int icon = byKeyboard ? ListView1->SelectedPosition() : ListView1->PositionAt(at);
    const bool onIcon = icon >= 0 && icon < IconCount;
    // The menu's copy and save act on the preview, so it shows the icon they are for.
    if (onIcon) PreviewListedIcon(icon);
    const bool canExport = !FilePath.empty() && IconCount > 0 && !Exporting();
    const UniqueHandle<HMENU, DestroyMenu> menu(CreatePopupMenu());
    if (!menu) RaiseLastPlatformError();
    const auto add = [&menu](UINT item, unsigned text, bool enabled) {
        AppendMenuA(menu.Get(), MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), item, LoadStr(text).c_str());
    };
    add(imCopy, SMenuCopy, onIcon);
    add(imSave, SMenuSave, onIcon);
    AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
    add(imSaveAllIco, SMenuSaveAllIco, canExport);
    add(imSaveAllPng, SMenuSaveAllPng, canExport);
    const POINT screen = ListView1->ClientToScreen(at);
    const auto chosen = static_cast<UINT>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                         screen.x, screen.y, 0, WindowHandle(), nullptr));
    switch (chosen) {
    case imCopy: CopyPreview(); break;
    case imSave: SaveShownIconAs(); break;
    case imSaveAllIco: SaveAllIcons(TExportKind::ekIco); break;
    case imSaveAllPng: SaveAllIcons(TExportKind::ekPng); break;
    default: break;
    }
}

void TForm1::ZoomIn() {
    ZoomLevel = std::min(ZoomLevel + 1, static_cast<int>(std::size(kZoomSteps)));
    ApplyZoom();
    CentrePreview();
}

void TForm1::ZoomOut() {
    ZoomLevel = std::max(ZoomLevel - 1, 1);
    ApplyZoom();
    CentrePreview();
}

void TForm1::SpeedButton1Click(TObject*) { ZoomIn(); }

void TForm1::SpeedButton2Click(TObject*) { ZoomOut(); }

void TForm1::ShowFolder(const std::string& folder) {
    // The directory list changes drive by itself and moves the file list; the
    // drive box then only shows the drive.
    DirectoryListBox1->SetDirPath(folder);
    const char drive = DirectoryListBox1->DriveLetter();
    if (drive != 0 && drive != '\\') DriveComboBox1->SetDriveLetter(drive);
}

void TForm1::OpenPath(const std::string& path) {
    // A relative path is taken from the current folder, as the shell that started us meant it.
    const DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::string full(size, '\0');
    if (size == 0 || GetFullPathNameA(path.c_str(), size, full.data(), nullptr) + 1 != size)
        RaiseLastPlatformError();
    full.resize(size - 1);
    const DWORD attributes = GetFileAttributesA(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) RaiseLastPlatformError();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        ShowFolder(full);
        return;
    }
    ShowFolder(DirectoryPart(full));
    const std::string name = NamePart(full);
    FileListBox1->SetSelectedName(name);
    if (SameFileName(FileListBox1->SelectedName(), name)) return;
    // The filter hides the file: the entry that shows every file takes over.
    const int allFiles = FilterComboBox1->EntryOfMask("*.*");
    if (allFiles < 0) return;
    FilterComboBox1->SetItemIndex(allFiles);
    FilterComboBox1Change(FilterComboBox1);
    FileListBox1->SetSelectedName(name);
}

void TForm1::OpenPathWhenIdle(const std::string& path) {
    Application.StartIdleWork(this, [this, path] {
        OpenPath(path);
        return false;
    });
}

void TForm1::Image1Click(TObject*) {
    // What the shell makes of the address is its own affair: nothing is reported.
    static const TLateBound<decltype(ShellExecuteA)> execute{"shell32.dll", "ShellExecuteA"};
    execute(WindowHandle(), nullptr, webAddress_.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
