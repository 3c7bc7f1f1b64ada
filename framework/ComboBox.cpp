#include "framework/ComboBox.h"

#include <algorithm>

#include "base/PropertyValue.h"

TCustomComboBox::TCustomComboBox(TComponent* owner) : TStringListControl(owner, ComboBoxKind) {
    SetClassName("TCustomComboBox");
    SetBounds(0, 0, 145, 21);
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
    TStringListControl::CreateParams(params);
    params.style |= CBS_DROPDOWNLIST;
    if (OwnerDrawn()) params.style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    params.height = WindowHeight();
}

void TCustomComboBox::CreateWnd() {
    TStringListControl::CreateWnd();
    FitFieldHeight();
}

void TCustomComboBox::FitFieldHeight() {
    if (OwnerDrawn())
        SendMessageA(WindowHandle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(Height() - 6, 1));
}

void TCustomComboBox::BoundsChanged() {
    if (HWND wnd = WindowHandle()) {
        FitFieldHeight();
        SetWindowPos(wnd, nullptr, Left(), Top(), Width(), WindowHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

std::string TCustomComboBox::Text() const {
    if (!WindowHandle()) {
        int index = ItemIndex();
        return index >= 0 ? Items().Strings(index) : std::string();
    }
    int length = GetWindowTextLengthA(WindowHandle());
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(GetWindowTextA(WindowHandle(), &text[0], length + 1));
    return text;
}

bool TCustomComboBox::DroppedDown() const {
    return WindowHandle() && SendMessageA(WindowHandle(), CB_GETDROPPEDSTATE, 0, 0);
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() { Change(); }

void TCustomComboBox::ListNotification(WORD code) {
    // The picked item is already the field's text when the steps run.
    if (code == CBN_SELCHANGE) SetWindowTextA(WindowHandle(), Items().Strings(ItemIndex()).c_str());
    if (code == CBN_DROPDOWN && OnDropDown) OnDropDown(this);
    TStringListControl::ListNotification(code);
}

bool TCustomComboBox::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "DropDownCount") dropDownCount_ = std::max(1, value.AsInt());
    else if (name == "Style")
        SetStyle(IdentToEnum<TComboBoxStyle>(value, {{"csDropDownList", TComboBoxStyle::csDropDownList},
                                                    {"csOwnerDrawFixed", TComboBoxStyle::csOwnerDrawFixed}}));
    else if (name == "OnChange") OnChange = reader.Handler(value);
    else if (name == "OnDropDown") OnDropDown = reader.Handler(value);
    else return TStringListControl::SetProperty(name, value, reader);
    return true;
}
