#pragma once
// The one window of the program: its components, its working state and its handlers.
#include <memory>
#include <string>
#include <vector>

#include "app/IconExport.h"
#include "app/IconListFill.h"
#include "framework/Form.h"
#include "graphics/IconSource.h"
#include "iconfile/IconFile.h"

class TPanel;
class TImage;
class TSpeedButton;
class TDriveComboBox;
class TDirectoryListBox;
class TFileListBox;
class TFilterComboBox;
class TSplitter;
class TListView;
class TStatusBar;
class TImageList;
class TSavePictureDialog;
class TFolderDialog;

// What the save dialog offers, in the order of its filter and counted from 1
// as the dialog counts its file types.
enum class TSaveKind { skBitmap = 1, skBitmapAsIco, skJpeg, skIcoFile, skPng };
constexpr int kSaveKindCount = 5;
// The extension a kind adds to the chosen name; its filter mask is "*" and this.
const char* SaveKindExtension(TSaveKind kind);

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* owner);
    ~TForm1() override;

    TPanel* Panel1 = nullptr;
    TImage* Image1 = nullptr;
    TPanel* Panel2 = nullptr;
    TPanel* Panel3 = nullptr;
    TPanel* Panel6 = nullptr;
    TPanel* Panel9 = nullptr;
    TImage* Image2 = nullptr;
    TPanel* Panel7 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TSpeedButton* SpeedButton4 = nullptr;
    TPanel* Panel4 = nullptr;
    TDriveComboBox* DriveComboBox1 = nullptr;
    TDirectoryListBox* DirectoryListBox1 = nullptr;
    TPanel* Panel5 = nullptr;
    TFileListBox* FileListBox1 = nullptr;
    TFilterComboBox* FilterComboBox1 = nullptr;
    TPanel* Panel8 = nullptr;
    TPanel* Panel10 = nullptr;
    TPanel* Panel11 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TPanel* Panel12 = nullptr;
    TListView* ListView1 = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TImageList* ImageList1 = nullptr;
    TSavePictureDialog* SavePictureDialog1 = nullptr;
    TFolderDialog* FolderDialog1 = nullptr;

    // Working state shared by the user actions.
    std::string FilePath;
    // The icons of FilePath, as its last count read them.
    TIconSource IconSource;
    // The icon list's fill; the scan starts it, and the message loop runs it.
    TIconListFill& IconFill();
    int IconCount = 0;
    int ZoomLevel = 0;
    // The maker's web page that the banner opens.
    const std::string& WebAddress() const { return webAddress_; }

    void FormCreate(TObject* sender);
    void FormCloseQuery(TObject* sender, bool& canClose);
    void FormDropFiles(TObject* sender, const std::vector<std::string>& paths);
    void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
    void DriveComboBox1Change(TObject* sender);
    void DirectoryListBox1Change(TObject* sender);
    void FilterComboBox1Change(TObject* sender);
    void FileListBox1Change(TObject* sender);
    void ListView1Click(TObject* sender);
    void ListView1ContextPopup(TObject* sender, POINT at, bool byKeyboard);
    void SpeedButton1Click(TObject* sender);
    void SpeedButton2Click(TObject* sender);
    void SpeedButton3Click(TObject* sender);
    void SpeedButton4Click(TObject* sender);
    void Image1Click(TObject* sender);

    // What the user can do to the preview, whatever asked for it.
    void ZoomIn();
    void ZoomOut();
    void CopyPreview();
    // Saves the shown icon as `kind` under `name` with the kind's extension
    // added; an existing file stays as it was unless the new one is complete.
    void SaveShownIcon(TSaveKind kind, const std::string& name);
    // Asks for the name and kind in the save dialog, then saves the shown icon.
    void SaveShownIconAs();

    // Shows a file or folder as if the user had browsed to it: the lists move
    // to its folder, and a file is selected and scanned as a click does, the
    // filter first moving to the entry for all files when it hides the file.
    // A path that does not exist raises the platform's message.
    void OpenPath(const std::string& path);
    // The same once the window is up and the message loop has nothing else to do.
    void OpenPathWhenIdle(const std::string& path);

    // Writes every icon of the scanned file into `folder`, a few between
    // messages, with the progress in status panel 0; Esc stops it. The first
    // failure ends it and is raised; the files written before it stay.
    void ExportAllIcons(TExportKind kind, const std::string& folder);
    void StopExport();
    bool Exporting() const { return export_ != nullptr; }
    // Asks for the folder in the folder picker, then exports every icon into it.
    void SaveAllIcons(TExportKind kind);

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;
    void Loaded() override;

private:
    // ZoomLevel, brought into the zoom table's range first.
    int CheckedZoomLevel();
    // Sizes the preview for ZoomLevel.
    void SizePreview();
    // Sizes the preview for ZoomLevel and names the ratio.
    void ApplyZoom();
    // Shows icon `index` of FilePath, rendered at its own size on white.
    void PreviewIcon(int index);
    // Puts the preview in the middle of its area.
    void CentrePreview();
    // Previews the icon at `position` of the icon list, as a click on it does.
    void PreviewListedIcon(int position);
    void SetToolButtonsEnabled(bool enabled);
    // Moves the drive, folder and file lists to `folder`.
    void ShowFolder(const std::string& folder);
    // One step of the export; false once it is over.
    bool ExportStep();
    void ShowExportProgress();
    // Every image of the icon the preview shows; "图标图象无效" when there is none.
    TIconGroup ShownIconGroup() const;
    template <typename T>
    void Bind(T*& field, const char* name);

    std::string webAddress_;
    std::unique_ptr<TIconListFill> iconFill_;
    std::unique_ptr<TIconExport> export_;  // the export under way
    int shownIcon_ = 0;  // the icon of FilePath in the preview
};
