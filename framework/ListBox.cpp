#include "framework/ListBox.h"

#include "base/PropertyValue.h"

TCustomListBox::TCustomListBox(TComponent* owner) : TStringListControl(owner, ListBoxKind) {
    SetClassName("TCustomListBox");
    SetBounds(0, 0, 121, 97);
}

void TCustomListBox::CreateParams(TCreateParams& params) {
    TStringListControl::CreateParams(params);
    params.style |= LBS_NOTIFY;
    params.exStyle |= WS_EX_CLIENTEDGE;
    if (sorted_) params.style |= LBS_SORT;
    if (!integralHeight_) params.style |= LBS_NOINTEGRALHEIGHT;
    if (OwnerDrawn()) params.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
}

bool TCustomListBox::Selected(int index) const {
    if (!WindowHandle()) return index >= 0 && index == ItemIndex();
    return SendMessageA(WindowHandle(), LB_GETSEL, index, 0) > 0;
}

RECT TCustomListBox::ItemRect(int index) const {
    RECT r{};
    if (WindowHandle()) SendMessageA(WindowHandle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TCustomListBox::SetStyle(TListBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

void TCustomListBox::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    sorted_ = sorted;
    Items().SetSorted(sorted);
    RecreateWnd();
}

void TCustomListBox::BeginUpdate() { HoldRedraw(); }

void TCustomListBox::EndUpdate() { ReleaseRedraw(); }

void TCustomListBox::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TCustomListBox::WndProc(TMessage& message) {
    if (message.Msg == WM_CHAR) {
        char key = static_cast<char>(message.WParam);
        KeyPress(key);
        if (key == 0) return;
        message.WParam = static_cast<unsigned char>(key);
    }
    TStringListControl::WndProc(message);
}

bool TCustomListBox::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Sorted") SetSorted(value.AsBoolean());
    else if (name == "IntegralHeight") integralHeight_ = value.AsBoolean();
    else if (name == "Style")
        SetStyle(IdentToEnum<TListBoxStyle>(value, {{"lbStandard", TListBoxStyle::lbStandard},
                                                   {"lbOwnerDrawFixed", TListBoxStyle::lbOwnerDrawFixed}}));
    else if (name == "OnKeyPress") OnKeyPress = reader.HandlerOf<TKeyPressEvent>(value);
    else return TStringListControl::SetProperty(name, value, reader);
    return true;
}
