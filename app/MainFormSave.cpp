// What the window makes of its icons: the preview copied or saved in one of
// the save dialog's kinds, and every icon of the scanned file written into a
// folder in steps between messages.
#include "app/MainForm.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/IconExport.h"
#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "dialogs/FolderDialog.h"
#include "dialogs/SavePictureDialog.h"
#include "filectrl/FileListBox.h"
#include "framework/Application.h"
#include "framework/Clipboard.h"
#include "framework/Image.h"
#include "framework/StatusBar.h"
#include "graphics/Bitmap.h"
#include "graphics/BmpWriter.h"
#include "jpeg/JPEGImage.h"
#include "resources/StringIds.h"

void TForm1::CopyPreview() {
    Clipboard().PutPicture(&Image2->Picture());
    StatusBar1->SetPanelText(0, LoadStr(SCopiedToClipboard));
}

TIconGroup TForm1::ShownIconGroup() const {
    std::optional<TIconGroup> group;
    if (!FilePath.empty()) group = IconSource.Group(shownIcon_);
    if (!group) throw EInvalidGraphic(LoadStr(SInvalidIcon));
    return std::move(*group);
}

const char* SaveKindExtension(TSaveKind kind) {
    switch (kind) {
    case TSaveKind::skBitmap: return ".bmp";
    case TSaveKind::skBitmapAsIco: return ".ico";
    case TSaveKind::skJpeg: return ".jpg";
    case TSaveKind::skIcoFile: return ".ico";
    case TSaveKind::skPng: return ".png";
    }
    return "";
}

void TForm1::SaveShownIcon(TSaveKind kind, const std::string& name) {
    // The bitmap kinds save the rendered icon at its own size, whatever the
    // zoom; the icon kinds the icon itself, from the file's bytes.
    const std::string fileName = name + SaveKindExtension(kind);
    TBitmap& bitmap = *Image2->Picture().Bitmap();
    switch (kind) {
    case TSaveKind::skBitmap:
    case TSaveKind::skBitmapAsIco:  // BMP bytes under the icon's extension
        WriteBmpFile(bitmap, fileName);
        break;
    case TSaveKind::skJpeg: {
        TJPEGImage jpeg;
        jpeg.CopyFromBitmap(bitmap);
        jpeg.Encode();
        jpeg.WriteToFile(fileName);
        break;
    }
    case TSaveKind::skIcoFile:
        WriteIconGroup(ShownIconGroup(), TExportKind::ekIco, fileName);
        break;
    case TSaveKind::skPng:
        WriteIconGroup(ShownIconGroup(), TExportKind::ekPng, fileName);
        break;
    }
    StatusBar1->SetPanelText(0, LoadStr(SFileSaved));
}

void TForm1::SpeedButton3Click(TObject*) { CopyPreview(); }

void TForm1::SpeedButton4Click(TObject*) { SaveShownIconAs(); }

void TForm1::SaveShownIconAs() {
    SavePictureDialog1->SetTitle(LoadStr(SSaveIconTitle));
    if (!SavePictureDialog1->Execute()) return;
    const int type = SavePictureDialog1->FilterIndex();
    if (type < 1 || type > kSaveKindCount) return;
    SaveShownIcon(static_cast<TSaveKind>(type), SavePictureDialog1->FileName());
}

void TForm1::ExportAllIcons(TExportKind kind, const std::string& folder) {
    StopExport();
    auto work = std::make_unique<TIconExport>(FilePath, folder, kind);
    if (FilePath.empty() || work->Count() == 0) throw EInvalidGraphic(LoadStr(SInvalidIcon));
    export_ = std::move(work);
    ShowExportProgress();
    Application.StartIdleWork(&export_, [this] { return ExportStep(); });
}

bool TForm1::ExportStep() {
    if (!export_) return false;
    try {
        const bool more = export_->Step();
        ShowExportProgress();
        if (!more) export_.reset();
        return more;
    } catch (...) {
        // The count shows the files written before the failure, which stay.
        ShowExportProgress();
        export_.reset();
        throw;
    }
}

void TForm1::ShowExportProgress() {
    const std::string written = IntToStr(export_->Written()), count = IntToStr(export_->Count());
    StatusBar1->SetPanelText(0, written == count ? Format(LoadStr(SExportDone), {count})
                                                 : Format(LoadStr(SExportProgress), {written, count}));
}

void TForm1::SaveAllIcons(TExportKind kind) {
    FolderDialog1->SetTitle(LoadStr(SExportFolderTitle));
    // First beside the file; afterwards where the last export went.
    if (FolderDialog1->Folder().empty()) FolderDialog1->SetFolder(FileListBox1->DirPath());
    if (!FolderDialog1->Execute()) return;
    ExportAllIcons(kind, FolderDialog1->Folder());
}

void TForm1::StopExport() {
    if (!export_) return;
    Application.CancelIdleWork(&export_);
    const std::string written = IntToStr(export_->Written()), count = IntToStr(export_->Count());
    StatusBar1->SetPanelText(0, Format(LoadStr(SExportStopped), {written, count}));
    export_.reset();
}

