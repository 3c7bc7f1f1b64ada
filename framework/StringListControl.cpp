#include "framework/StringListControl.h"

#include "base/PropertyValue.h"

TStringListControl::TStringListControl(TComponent* owner, const TListKind& kind)
    : TWinControl(owner), kind_(kind), items_(kind) {
    SetClassName("TStringListControl");
    ownPaint_ = false;
    tabStop_ = true;
    SetColor(clWindow);
}

void TStringListControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.baseClass = kind_.windowClass;
    params.style |= WS_VSCROLL;
}

void TStringListControl::CreateWnd() {
    TWinControl::CreateWnd();
    items_.Attach(WindowHandle());
    if (OwnerDrawn()) SendMessageA(WindowHandle(), kind_.setItemHeight, 0, itemHeight_);
}

void TStringListControl::DestroyWnd() {
    items_.Detach();
    TWinControl::DestroyWnd();
}

void TStringListControl::SetItemIndex(int index) {
    if (index == ItemIndex()) return;
    items_.SetItemIndex(index);
}

void TStringListControl::SetItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) return;
    itemHeight_ = height;
    if (WindowHandle() && OwnerDrawn()) {
        SendMessageA(WindowHandle(), kind_.setItemHeight, 0, height);
        Invalidate();
    }
}

void TStringListControl::ListNotification(WORD code) {
    if (code == kind_.selChange) {
        Click();
        Select();
    } else if (code == kind_.dblClick) {
        DblClick();
    }
}

void TStringListControl::DrawItem(int index, RECT rect, UINT) {
    canvas_.FillRect(rect);
    canvas_.TextOut(rect.left + 2, rect.top, items_.Strings(index));
}

// The canvas gets the item's context, font and colours (highlight for a selected
// item); the focus rectangle goes over whatever DrawItem drew.
void TStringListControl::DrawItemMessage(const DRAWITEMSTRUCT& item) {
    BorrowedDC borrowed(canvas_, item.hDC);
    canvas_.Font.Assign(Font);
    if (item.itemState & ODS_SELECTED) {
        canvas_.Brush.SetColor(clHighlight);
        canvas_.Font.SetColor(clHighlightText);
    } else {
        canvas_.Brush.SetColor(Color());
    }
    if (static_cast<int>(item.itemID) >= 0) DrawItem(static_cast<int>(item.itemID), item.rcItem, item.itemState);
    else canvas_.FillRect(item.rcItem);
    if (item.itemState & ODS_FOCUS) canvas_.DrawFocusRect(item.rcItem);
}

void TStringListControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam)->itemHeight = itemHeight_;
        message.Result = TRUE;
        return;
    case CN_DRAWITEM:
        DrawItemMessage(*reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam));
        message.Result = TRUE;
        return;
    case CN_COMMAND:
        ListNotification(HIWORD(message.WParam));
        return;
    default:
        TWinControl::WndProc(message);
        return;
    }
}

bool TStringListControl::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "ItemHeight") SetItemHeight(value.AsInt());
    else return TWinControl::SetProperty(name, value, reader);
    return true;
}
