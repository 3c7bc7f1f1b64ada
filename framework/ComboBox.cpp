#include "framework/ComboBox.h"

#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWinControl(owner) {
    SetClassName("TCustomComboBox");
    ownPaint_ = false;
    tabStop_ = true;
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

void TCustomComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.baseClass = "COMBOBOX";
    params.style |= CBS_DROPDOWNLIST | WS_VSCROLL;
    if (style_ == TComboBoxStyle::csOwnerDrawFixed) params.style |= CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
    // The window's height includes the dropped-down list.
    params.height = Height() + itemHeight_ * dropDownCount_ + 2;
}

void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    items_.Attach(WindowHandle());
    if (style_ == TComboBoxStyle::csOwnerDrawFixed) {
        SendMessageA(WindowHandle(), CB_SETITEMHEIGHT, 0, itemHeight_);
        // The selection field keeps the designed height: the frame takes six pixels.
        SendMessageA(WindowHandle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(Height() - 6, 1));
    }
}

void TCustomComboBox::DestroyWnd() {
    items_.Detach();
    TWinControl::DestroyWnd();
}

void TCustomComboBox::BoundsChanged() {
    if (HWND wnd = WindowHandle()) {
        if (style_ == TComboBoxStyle::csOwnerDrawFixed)
            SendMessageA(wnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(Height() - 6, 1));
        SetWindowPos(wnd, nullptr, Left(), Top(), Width(), Height() + itemHeight_ * dropDownCount_ + 2,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TCustomComboBox::SetItemIndex(int index) {
    if (index == ItemIndex()) return;
    items_.SetItemIndex(index);
}

void TCustomComboBox::SetItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) return;
    itemHeight_ = height;
    if (WindowHandle() && style_ == TComboBoxStyle::csOwnerDrawFixed)
        SendMessageA(WindowHandle(), CB_SETITEMHEIGHT, 0, height);
}

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

std::string TCustomComboBox::Text() const {
    if (!WindowHandle()) {
        int index = items_.ItemIndex();
        return index >= 0 ? items_.Strings(index) : std::string();
    }
    int length = GetWindowTextLengthA(WindowHandle());
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(GetWindowTextA(WindowHandle(), &text[0], length + 1));
    return text;
}

bool TCustomComboBox::DroppedDown() const {
    return WindowHandle() && SendMessageA(WindowHandle(), CB_GETDROPPEDSTATE, 0, 0);
}

void TCustomComboBox::DrawItem(int index, RECT rect, UINT) {
    canvas_.FillRect(rect);
    canvas_.TextOut(rect.left + 2, rect.top, items_.Strings(index));
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() { Change(); }

void TCustomComboBox::WndProc(TMessage& message) {
    if (OwnerDrawMessage(message, canvas_, Font, Color(), itemHeight_,
                         [this](int index, RECT rect, UINT state) { DrawItem(index, rect, state); }))
        return;
    switch (message.Msg) {
    case CN_COMMAND:
        switch (HIWORD(message.WParam)) {
        case CBN_SELCHANGE:
            // The picked item is already the field's text when the steps run.
            SetWindowTextA(WindowHandle(), items_.Strings(ItemIndex()).c_str());
            Click();
            Select();
            break;
        case CBN_DBLCLK: DblClick(); break;
        case CBN_DROPDOWN:
            if (OnDropDown) OnDropDown(this);
            break;
        default: break;
        }
        return;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

bool TCustomComboBox::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "ItemHeight") SetItemHeight(value.AsInt());
    else if (name == "DropDownCount") dropDownCount_ = std::max(1, value.AsInt());
    else if (name == "Style")
        SetStyle(IdentToEnum<TComboBoxStyle>(value, {{"csDropDownList", TComboBoxStyle::csDropDownList},
                                                    {"csOwnerDrawFixed", TComboBoxStyle::csOwnerDrawFixed}}));
    else if (name == "OnChange") OnChange = reader.Handler(value);
    else if (name == "OnDropDown") OnDropDown = reader.Handler(value);
    else return TWinControl::SetProperty(name, value, reader);
    return true;
}
