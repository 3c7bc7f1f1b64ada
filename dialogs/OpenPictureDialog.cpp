#include "dialogs/OpenPictureDialog.h"

#include <dlgs.h>

#include "base/Exceptions.h"
#include "base/ResStrings.h"
#include "buttons/SpeedButton.h"
#include "dialogs/PicturePreview.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "graphics/Bitmap.h"
#include "graphics/Picture.h"
#include "resources/StringIds.h"

namespace {
// A panel whose paint failures (a picture that cannot be decoded) show as its
// caption instead of reaching the user as an error box on every repaint.
class TSilentPaintPanel : public TPanel {
public:
    using TPanel::TPanel;

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg != WM_PAINT) {
            TPanel::WndProc(message);
            return;
        }
        try {
            TPanel::WndProc(message);
        } catch (const std::exception&) {
            SetCaption(LoadStr(SInvalidStreamFormat));
        }
    }
};
}  // namespace

// A panel placed in a window that is not one of our controls: the child
// dialog that the platform makes from the template.
class TChildDialogPanel : public TPanel {
public:
    using TPanel::TPanel;

    // Creates the window inside `parent` (or moves it there).
    void SetParentWindow(HWND parent) {
        parentWindow_ = parent;
        if (HandleAllocated()) ::SetParent(WindowHandle(), parent);
        else HandleNeeded();
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TPanel::CreateParams(params);
        if (!Parent()) params.parentWindow = parentWindow_;
    }

private:
    HWND parentWindow_ = nullptr;
};

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {
    SetClassName("TOpenPictureDialog");
    SetFilter(TPicture::FilterText<TGraphic>());

    picturePanel_ = new TChildDialogPanel(this);
    picturePanel_->SetName("PicturePanel");
    picturePanel_->SetBounds(204, 5, 169, 200);
    picturePanel_->SetCaption("");
    picturePanel_->SetBevelOuter(TBevelCut::bvNone);
    picturePanel_->SetBorderWidth(6);
    picturePanel_->SetTabOrder(1);

    pictureLabel_ = new TLabel(this);
    pictureLabel_->SetName("PictureLabel");
    pictureLabel_->SetAutoSize(false);
    pictureLabel_->SetBounds(6, 6, 157, 23);
    pictureLabel_->SetAlign(TAlign::alTop);
    pictureLabel_->SetParent(picturePanel_);

    paintPanel_ = new TSilentPaintPanel(this);
    paintPanel_->SetName("PaintPanel");
    paintPanel_->SetBounds(6, 29, 157, 145);
    paintPanel_->SetCaption("");
    paintPanel_->SetBevelInner(TBevelCut::bvRaised);
    paintPanel_->SetBevelOuter(TBevelCut::bvLowered);
    paintPanel_->SetTabOrder(0);
    paintPanel_->SetAlign(TAlign::alClient);
    paintPanel_->SetParent(picturePanel_);

    // Made after the label, so that it lies over the label's right end.
    previewButton_ = new TSpeedButton(this);
    previewButton_->SetName("PreviewButton");
    previewButton_->SetBounds(77, 1, 23, 22);
    previewButton_->SetEnabled(false);
    TBitmap glyph;
    glyph.SetGdiHandle(GdiBitmap(static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), "PREVIEWGLYPH", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))));
    previewButton_->SetGlyph(&glyph);
    previewButton_->SetHint(LoadStr(SPreview));
    previewButton_->SetShowHint(true);
    previewButton_->OnClick = [this](TObject* sender) { PreviewClick(sender); };
    previewButton_->SetParent(picturePanel_);

    paintBox_ = new TImage(this);
    paintBox_->SetName("PaintBox");
    paintBox_->ControlStyle |= csDoubleClicks;
    paintBox_->SetAlign(TAlign::alClient);
    paintBox_->SetProportional(true);
    paintBox_->SetStretch(true);
    paintBox_->SetCenter(true);
    paintBox_->SetIncrementalDisplay(true);
    paintBox_->OnDblClick = [this](TObject* sender) { PreviewClick(sender); };
    paintBox_->SetParent(paintPanel_);
}

TOpenPictureDialog::~TOpenPictureDialog() {
    DestroyComponents();  // the controls' handlers point here
}

TPanel* TOpenPictureDialog::PicturePanel() const { return picturePanel_; }

bool TOpenPictureDialog::Execute() { return ExecuteWithPreview(OpenFunction()); }

bool TOpenPictureDialog::ExecuteWithPreview(DialogFunction function) {
    templateName_ = (Options() & ofOldStyleDialog) ? "" : "DLGTEMPLATE";
    return DoExecute(function);
}

void TOpenPictureDialog::DoShow() {
    // The pane takes the child dialog's area right of the platform's controls.
    HWND child = Handle();
    RECT area;
    GetClientRect(child, &area);
    if (HWND standard = GetDlgItem(child, stc32)) {
        RECT r;
        GetWindowRect(standard, &r);
        MapWindowPoints(nullptr, child, reinterpret_cast<POINT*>(&r), 2);
        area.left = r.right;
    }
    area.top += 4;
    picturePanel_->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
    previewButton_->SetLeft(paintPanel_->Left() + paintPanel_->Width() - previewButton_->Width() - 2);
    // Every run starts with an empty pane, not with what the last run showed.
    paintBox_->Picture().SetContent(nullptr);
    previewed_.clear();
    pictureLabel_->SetCaption("");
    previewButton_->SetEnabled(false);
    paintPanel_->SetCaption(LoadStr(SNoPicture));
    picturePanel_->SetParentWindow(child);
    TOpenDialog::DoShow();
}

void TOpenPictureDialog::DoSelectionChange() {
    const std::string path = FileName();
    if (path != previewed_) {
        previewed_ = path;
        if (!PreviewFile(path)) ShowNoPicture();
    }
    TOpenDialog::DoSelectionChange();
}

bool TOpenPictureDialog::PreviewFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    // Emptied first: what follows may paint the pane at once, and a picture
    // that cannot be painted leaves its own caption there.
    paintPanel_->SetCaption("");
    try {
        // An unknown extension or a damaged file is simply no picture here.
        paintBox_->Picture().LoadFromFile(path);
        pictureLabel_->SetCaption(Format(LoadStr(SPictureSize), {IntToStr(paintBox_->Picture().Width()),
                                                        IntToStr(paintBox_->Picture().Height())}));
    } catch (const std::exception&) {
        return false;
    }
    previewButton_->SetEnabled(true);
    return true;
}

void TOpenPictureDialog::ShowNoPicture() {
    pictureLabel_->SetCaption(LoadStr(SPictureLabel));
    previewButton_->SetEnabled(false);
    paintBox_->Picture().SetContent(nullptr);
    paintPanel_->SetCaption(LoadStr(SNoPicture));
}

void TOpenPictureDialog::PreviewClick(TObject*) { ShowPicturePreview(paintBox_->Picture()); }
