#include "framework/ListBox.h"

#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

TCustomListBox::TCustomListBox(TComponent* owner) : TWinControl(owner) {
    SetClassName("TCustomListBox");
    ownPaint_ = false;
    tabStop_ = true;
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.baseClass = "LISTBOX";
    params.style |= WS_VSCROLL | LBS_NOTIFY;
    params.exStyle |= WS_EX_CLIENTEDGE;
    if (sorted_) params.style |= LBS_SORT;
    if (!integralHeight_) params.style |= LBS_NOINTEGRALHEIGHT;
    if (style_ == TListBoxStyle::lbOwnerDrawFixed) params.style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    items_.Attach(WindowHandle());
    if (style_ == TListBoxStyle::lbOwnerDrawFixed) SendMessageA(WindowHandle(), LB_SETITEMHEIGHT, 0, itemHeight_);
}

void TCustomListBox::DestroyWnd() {
    items_.Detach();
    TWinControl::DestroyWnd();
}

void TCustomListBox::SetItemIndex(int index) {
    if (index == ItemIndex()) return;
    items_.SetItemIndex(index);
}

bool TCustomListBox::Selected(int index) const {
    if (!WindowHandle()) return index >= 0 && index == items_.ItemIndex();
    return SendMessageA(WindowHandle(), LB_GETSEL, index, 0) > 0;
}

RECT TCustomListBox::ItemRect(int index) const {
    RECT r{};
    if (WindowHandle()) SendMessageA(WindowHandle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TCustomListBox::SetItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) return;
    itemHeight_ = height;
    if (WindowHandle() && style_ == TListBoxStyle::lbOwnerDrawFixed) {
        SendMessageA(WindowHandle(), LB_SETITEMHEIGHT, 0, height);
        Invalidate();
    }
}

void TCustomListBox::SetStyle(TListBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

void TCustomListBox::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    sorted_ = sorted;
    items_.SetSorted(sorted);
    RecreateWnd();
}

void TCustomListBox::BeginUpdate() {
    if (updateCount_++ == 0 && WindowHandle()) SendMessageA(WindowHandle(), WM_SETREDRAW, FALSE, 0);
}

void TCustomListBox::EndUpdate() {
    if (--updateCount_ == 0 && WindowHandle()) {
        SendMessageA(WindowHandle(), WM_SETREDRAW, TRUE, 0);
        Invalidate();
    }
}

void TCustomListBox::DrawItem(int index, RECT rect, UINT) {
    canvas_.FillRect(rect);
    canvas_.TextOut(rect.left + 2, rect.top, items_.Strings(index));
}

void TCustomListBox::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

void TCustomListBox::WndProc(TMessage& message) {
    if (OwnerDrawMessage(message, canvas_, Font, Color(), itemHeight_,
                         [this](int index, RECT rect, UINT state) { DrawItem(index, rect, state); }))
        return;
    switch (message.Msg) {
    case CN_COMMAND:
        switch (HIWORD(message.WParam)) {
        case LBN_SELCHANGE: Click(); break;
        case LBN_DBLCLK: DblClick(); break;
        default: break;
        }
        return;
    case WM_CHAR: {
        char key = static_cast<char>(message.WParam);
        KeyPress(key);
        if (key == 0) return;
        message.WParam = static_cast<unsigned char>(key);
        break;
    }
    default:
        break;
    }
    TWinControl::WndProc(message);
}

bool TCustomListBox::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "ItemHeight") SetItemHeight(value.AsInt());
    else if (name == "Sorted") SetSorted(value.AsBoolean());
    else if (name == "IntegralHeight") integralHeight_ = value.AsBoolean();
    else if (name == "Style")
        SetStyle(IdentToEnum<TListBoxStyle>(value, {{"lbStandard", TListBoxStyle::lbStandard},
                                                   {"lbOwnerDrawFixed", TListBoxStyle::lbOwnerDrawFixed}}));
    else if (name == "OnKeyPress") OnKeyPress = reader.HandlerOf<TKeyPressEvent>(value);
    else return TWinControl::SetProperty(name, value, reader);
    return true;
}
