#include "framework/HintWindow.h"

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    SetClassName("THintWindow");
    SetVisible(false);
    SetColor(clInfoBk);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        Font.SetName(metrics.lfStatusFont.lfFaceName);
        Font.SetHeight(metrics.lfStatusFont.lfHeight);
        Font.SetCharset(metrics.lfStatusFont.lfCharSet);
    }
    Font.SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.style = WS_POPUP | WS_BORDER;
    params.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.parentWindow = nullptr;
    params.classStyle = CS_SAVEBITS;
}

SIZE THintWindow::CalcHintSize(const std::string& text) {
    WindowDC screen(nullptr);
    RECT r{0, 0, 300, 0};
    SelectGuard font(screen.Get(), Font.Handle());
    DrawTextA(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    return {r.right + 6, r.bottom + 4};
}

void THintWindow::ActivateHint(POINT screenPoint, const std::string& text) {
    SetCaption(text);
    SIZE size = CalcHintSize(text);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int x = std::min<int>(screenPoint.x, work.right - size.cx);
    int y = screenPoint.y;
    if (y + size.cy > work.bottom) y = screenPoint.y - size.cy - 24;
    SetBounds(std::max<int>(x, work.left), std::max<int>(y, work.top), size.cx, size.cy);
    HWND wnd = Handle();
    SetWindowPos(wnd, HWND_TOPMOST, Left(), Top(), Width(), Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(wnd, nullptr, TRUE);
    active_ = true;
}

void THintWindow::ReleaseHint() {
    if (WindowHandle()) ShowWindow(WindowHandle(), SW_HIDE);
    active_ = false;
}

void THintWindow::Paint() {
    RECT r = ClientRect();
    Canvas().FillRect(r);
    r.left += 2;
    r.top += 2;
    SetBkMode(Canvas().GdiHandle(), TRANSPARENT);
    Canvas().TextRect(r, Caption(), DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void THintWindow::WndProc(TMessage& message) {
    if (message.Msg == WM_NCHITTEST) {
        message.Result = HTTRANSPARENT;  // the pointer goes through to what lies below
        return;
    }
    TCustomControl::WndProc(message);
}
