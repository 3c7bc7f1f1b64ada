#include "dialogs/PicturePreview.h"

#include <algorithm>

#include "base/ResStrings.h"
#include "dialogs/CommonDialog.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Panel.h"
#include "graphics/Picture.h"
#include "resources/StringIds.h"

namespace {
// A sizeable tool window, owned by the window that was active when it was
// made, so that it stays above the dialog it was opened from.
class TPreviewForm : public TForm {
public:
    explicit TPreviewForm(HWND owner) : TForm(nullptr), owner_(owner) {}

protected:
    void CreateParams(TCreateParams& params) override {
        TForm::CreateParams(params);
        params.style = WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_CLIPCHILDREN;
        params.exStyle = WS_EX_TOOLWINDOW;
        params.parentWindow = owner_;
    }

private:
    HWND owner_;
};

class TFramedPanel : public TPanel {
public:
    using TPanel::TPanel;

protected:
    void CreateParams(TCreateParams& params) override {
        TPanel::CreateParams(params);
        params.style |= WS_BORDER;
    }
};

// Runs the messages of the thread until the form's window is gone; Esc typed
// anywhere in the form closes it before any control sees the key.
void RunUntilClosed(TForm& form) {
    MSG msg;
    while (form.HandleAllocated()) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // the program's own loop ends too
            break;
        }
        HWND wnd = form.WindowHandle();
        if (msg.message == WM_CHAR && msg.wParam == VK_ESCAPE && (msg.hwnd == wnd || IsChild(wnd, msg.hwnd))) {
            form.Close();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
}  // namespace

void ShowPicturePreview(TPicture& picture) {
    TPreviewForm form(GetActiveWindow());
    form.SetName("PreviewForm");
    form.SetCaption(LoadStr(SPreview));
    form.SetClientSize(320, 240);

    auto* panel = new TFramedPanel(&form);
    panel->SetName("Panel");
    panel->SetCaption("");
    panel->SetBevelOuter(TBevelCut::bvNone);
    panel->SetBorderWidth(5);
    panel->SetColor(clWindow);
    panel->SetDoubleBuffered(true);  // a sized picture is redrawn without flicker
    panel->SetAlign(TAlign::alClient);
    panel->SetParent(&form);

    auto* image = new TImage(&form);
    image->SetName("Image");
    image->SetAlign(TAlign::alClient);
    image->SetStretch(true);
    image->SetProportional(true);
    image->SetCenter(true);
    image->Picture().ShareFrom(&picture);
    image->SetParent(panel);

    HWND wnd = form.Handle();  // the panel's frame decides its client size
    if (picture.Width() > 0) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& m = monitor.rcMonitor;
        // The picture at its own size inside the panel's frame and border, up
        // to three quarters of the monitor.
        const int width = std::min<int>((m.right - m.left) * 3 / 4,
                                        form.ClientWidth() + picture.Width() - panel->ClientWidth() + 10);
        const int height = std::min<int>((m.bottom - m.top) * 3 / 4,
                                         form.ClientHeight() + picture.Height() - panel->ClientHeight() + 10);
        form.SetClientSize(width, height);
    }
    form.SetBounds((GetSystemMetrics(SM_CXSCREEN) - form.Width()) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - form.Height()) / 2, form.Width(), form.Height());

    TModalScope modal;  // before showing: the form itself stays enabled
    form.Show();
    RunUntilClosed(form);
}
