#pragma once
// The file dialog with a picture preview pane beside the platform's controls:
// the picture selected in the file list, scaled to fit, its size in pixels,
// and a button that opens it in a larger preview window.
#include "dialogs/OpenDialog.h"

class TImage;
class TLabel;
class TPanel;
class TSpeedButton;
class TChildDialogPanel;

class TOpenPictureDialog : public TOpenDialog {
public:
    explicit TOpenPictureDialog(TComponent* owner);
    ~TOpenPictureDialog() override;

    bool Execute() override;

    TPanel* PicturePanel() const;
    TLabel* PictureLabel() const { return pictureLabel_; }
    TSpeedButton* PreviewButton() const { return previewButton_; }
    TPanel* PaintPanel() const { return paintPanel_; }
    TImage* PaintBox() const { return paintBox_; }

protected:
    // Runs `function` with the preview pane, unless the old-style dialog is asked for.
    bool ExecuteWithPreview(DialogFunction function);
    void DoShow() override;
    void DoSelectionChange() override;

private:
    // Shows the file in the pane; false when it is no picture that can be shown.
    bool PreviewFile(const std::string& path);
    void ShowNoPicture();
    void PreviewClick(TObject*);

    TChildDialogPanel* picturePanel_;
    TLabel* pictureLabel_;
    TSpeedButton* previewButton_;
    TPanel* paintPanel_;
    TImage* paintBox_;
    std::string previewed_;  // the path last shown, so a repeated selection is not loaded again
};
