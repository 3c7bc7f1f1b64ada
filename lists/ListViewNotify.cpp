// What the platform list view tells its view: clicks, the pictures and texts
// it draws, deleted items, label edits and the comparisons of a sort.
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "framework/Barrier.h"
#include "lists/ListView.h"

namespace {
void CopyCaption(const std::string& caption, LVITEMA& asked) {
    size_t n = std::min(caption.size(), static_cast<size_t>(asked.cchTextMax - 1));
    std::memcpy(asked.pszText, caption.data(), n);
    asked.pszText[n] = '\0';
}

void CopyCaption(const std::string& caption, LVITEMW& asked) {
    int n = MultiByteToWideChar(CP_ACP, 0, caption.data(), static_cast<int>(caption.size()), asked.pszText,
                                asked.cchTextMax - 1);
    asked.pszText[n > 0 ? n : 0] = L'\0';
}
}  // namespace

void TCustomListView::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_NOTIFY: {
        LRESULT result = 0;
        if (Notified(*reinterpret_cast<NMHDR*>(message.LParam), result)) {
            message.Result = result;
            return;
        }
        break;
    }
    case WM_LBUTTONDOWN:
        SetFocus();
        clicked_ = false;
        TCustomMultiSelectListControl::WndProc(message);
        // Some platforms finish the whole click inside the press.
        if (clicked_) ClickAfterPlatform(message.LParam, false);
        return;
    case WM_LBUTTONUP:
        TCustomMultiSelectListControl::WndProc(message);
        if (clicked_) ClickAfterPlatform(message.LParam, true);
        return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        rightClickPopup_ = false;
        TCustomMultiSelectListControl::WndProc(message);
        rightClickPopup_ = false;
        return;
    case WM_CONTEXTMENU:
        // After a right click whose menu was shown the platform may still ask for one.
        if (rightClickPopup_) return;
        if (message.LParam == -1) {
            if (ContextPopup(KeyboardPopupPoint(), true)) return;
        } else {
            POINT at{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
            ::ScreenToClient(WindowHandle(), &at);
            if (ContextPopup(at, false)) return;
        }
        break;
    default:
        break;
    }
    TCustomMultiSelectListControl::WndProc(message);
}

void TCustomListView::ClickAfterPlatform(LPARAM releasePoint, bool fromRelease) {
    clicked_ = false;
    POINT at{GET_X_LPARAM(releasePoint), GET_Y_LPARAM(releasePoint)};
    if (!fromRelease) {
        // The press's own point is not where the button came up.
        GetCursorPos(&at);
        ::ScreenToClient(WindowHandle(), &at);
    }
    RECT client = ClientRect();
    if (PtInRect(&client, at)) Click();
}

bool TCustomListView::ContextPopup(POINT at, bool byKeyboard) {
    if (!OnContextPopup) return false;
    OnContextPopup(this, at, byKeyboard);
    return true;
}

POINT TCustomListView::KeyboardPopupPoint() const {
    const int selected = static_cast<int>(
        SendMessageA(WindowHandle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
    RECT r{LVIR_ICON, 0, 0, 0};
    if (selected < 0 || !SendMessageA(WindowHandle(), LVM_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&r)))
        return {0, 0};
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

bool TCustomListView::Notified(NMHDR& header, LRESULT& result) {
    switch (header.code) {
    case NM_CLICK:
        clicked_ = true;
        return true;
    case NM_RCLICK:  // a right click is no click, but may ask for a menu
        rightClickPopup_ = ContextPopup(reinterpret_cast<NMITEMACTIVATE&>(header).ptAction, false);
        result = rightClickPopup_ ? TRUE : FALSE;
        return true;
    case LVN_GETDISPINFOA:
        GiveDisplayInfo(reinterpret_cast<NMLVDISPINFOA&>(header).item);
        return true;
    case LVN_GETDISPINFOW:
        GiveDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header).item);
        return true;
    case LVN_DELETEALLITEMS:
        if (!keepingItems_) ReleaseAllItems();
        // Every object is released: no notice per item is wanted.
        result = TRUE;
        return true;
    case LVN_DELETEITEM:
        if (!keepingItems_) {
            auto* item = reinterpret_cast<TListItem*>(reinterpret_cast<NMLISTVIEW&>(header).lParam);
            if (item && OnDeletion) OnDeletion(this, item);
            items_.Release(item);
        }
        return true;
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW: {
        auto& info = reinterpret_cast<NMLVDISPINFOA&>(header);
        bool allow = true;
        if (OnEditing) OnEditing(this, reinterpret_cast<TListItem*>(info.item.lParam), allow);
        result = allow ? FALSE : TRUE;
        return true;
    }
    case LVN_ENDLABELEDITA: {
        auto& info = reinterpret_cast<NMLVDISPINFOA&>(header);
        if (info.item.pszText) EndLabelEdit(info.item.iItem, info.item.pszText);
        result = FALSE;  // the text is ours: the control asks for it
        return true;
    }
    case LVN_ENDLABELEDITW: {
        auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        if (info.item.pszText) {
            int size = WideCharToMultiByte(CP_ACP, 0, info.item.pszText, -1, nullptr, 0, nullptr, nullptr);
            std::string text(size > 0 ? size : 1, '\0');
            WideCharToMultiByte(CP_ACP, 0, info.item.pszText, -1, &text[0], size, nullptr, nullptr);
            EndLabelEdit(info.item.iItem, text.c_str());
        }
        result = FALSE;
        return true;
    }
    default:
        return false;
    }
}

void TCustomListView::EndLabelEdit(int position, const char* text) {
    TListItem* item = ItemAt(position);
    if (!item) return;
    std::string edited = text;
    if (OnEdited) OnEdited(this, item, edited);
    SetItemCaption(item, edited);
}

template <typename Item>
void TCustomListView::GiveDisplayInfo(Item& asked) {
    auto* item = reinterpret_cast<TListItem*>(asked.lParam);
    if (!item) return;
    if ((asked.mask & LVIF_IMAGE) && asked.iSubItem == 0) {
        if (OnGetImageIndex) OnGetImageIndex(this, item);
        asked.iImage = item->ImageIndex();
        if (StateImages()) {
            asked.mask |= LVIF_STATE;
            asked.state = INDEXTOSTATEIMAGEMASK(item->StateIndex() + 1);
            asked.stateMask = LVIS_STATEIMAGEMASK;
        }
    }
    if ((asked.mask & LVIF_TEXT) && asked.pszText && asked.cchTextMax > 0) CopyCaption(item->Caption(), asked);
    if (asked.mask & LVIF_INDENT) asked.iIndent = item->Indent();
}

int CALLBACK TCustomListView::CompareItems(LPARAM first, LPARAM second, LPARAM view) {
    return CallbackBarrier(0, [&] {
        auto* self = reinterpret_cast<TCustomListView*>(view);
        auto* a = reinterpret_cast<TListItem*>(first);
        auto* b = reinterpret_cast<TListItem*>(second);
        if (self->OnCompare) {
            int compare = 0;
            self->OnCompare(self, a, b, 0, compare);
            return compare;
        }
        return lstrcmpA(a->Caption().c_str(), b->Caption().c_str());
    });
}
