#include "framework/Edit.h"

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    SetClassName("TEdit");
    ownPaint_ = false;
    tabStop_ = true;
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

void TEdit::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.baseClass = "EDIT";
    params.style |= ES_AUTOHSCROLL;
    params.exStyle |= WS_EX_CLIENTEDGE;
}

std::string TEdit::Text() const {
    HWND wnd = WindowHandle();
    if (!wnd) return Caption();
    int length = GetWindowTextLengthA(wnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(GetWindowTextA(wnd, &text[0], length + 1));
    return text;
}

void TEdit::SetText(const std::string& text) { SetCaption(text); }

void TEdit::SelectAll() {
    if (WindowHandle()) SendMessageA(WindowHandle(), EM_SETSEL, 0, -1);
}

std::pair<int, int> TEdit::Selection() const {
    DWORD start = 0, end = 0;
    if (WindowHandle())
        SendMessageA(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}
