// Notifications a parent receives about a child go back to that child as CN_ messages,
// so a list box hears of its own clicks and draws its own items.
#include "framework/WinControl.h"

bool TWinControl::ReflectToChild(TMessage& message) {
    HWND child = nullptr;
    switch (message.Msg) {
    case WM_COMMAND:
        child = reinterpret_cast<HWND>(message.LParam);
        break;
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom;
        break;
    case WM_DRAWITEM:
        child = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam)->hwndItem;
        break;
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
        child = GetDlgItem(handle_, static_cast<int>(mis->CtlID));
        break;
    }
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        child = reinterpret_cast<HWND>(message.LParam);
        break;
    default:
        return false;
    }
    TWinControl* target = FromHandle(child);
    if (!target || target == this) return false;
    TMessage reflected{message.Msg >= WM_CTLCOLORMSGBOX && message.Msg <= WM_CTLCOLORSTATIC ? CN_CTLCOLOR
                                                                                             : CN_BASE + message.Msg,
                       message.WParam, message.LParam, 0};
    target->WndProc(reflected);
    message.Result = reflected.Result;
    return true;
}
