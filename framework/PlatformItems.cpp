#include "framework/PlatformItems.h"

#include <algorithm>

const TListKind ListBoxKind{"LISTBOX",
    LB_ADDSTRING,   LB_INSERTSTRING, LB_DELETESTRING,    LB_RESETCONTENT, LB_GETCOUNT,  LB_GETTEXT, LB_GETTEXTLEN,
    LB_GETITEMDATA, LB_SETITEMDATA,  LB_FINDSTRINGEXACT, LB_GETCURSEL,    LB_SETCURSEL, static_cast<UINT>(LB_ERR),
    LB_SETITEMHEIGHT, LBN_SELCHANGE, LBN_DBLCLK};
const TListKind ComboBoxKind{"COMBOBOX",
    CB_ADDSTRING,   CB_INSERTSTRING, CB_DELETESTRING,    CB_RESETCONTENT, CB_GETCOUNT,  CB_GETLBTEXT, CB_GETLBTEXTLEN,
    CB_GETITEMDATA, CB_SETITEMDATA,  CB_FINDSTRINGEXACT, CB_GETCURSEL,    CB_SETCURSEL, static_cast<UINT>(CB_ERR),
    CB_SETITEMHEIGHT, CBN_SELCHANGE, CBN_DBLCLK};

void TPlatformItems::Attach(HWND wnd) {
    wnd_ = wnd;
    // A sorting window may place the selected item elsewhere: follow it.
    LRESULT selected = -1;
    for (size_t i = 0; i < kept_.size(); ++i) {
        LRESULT at = SendMessageA(wnd_, m_.addString, 0, reinterpret_cast<LPARAM>(kept_[i].text.c_str()));
        if (at < 0) continue;
        SendMessageA(wnd_, m_.setItemData, at, reinterpret_cast<LPARAM>(kept_[i].object));
        if (selected >= at) ++selected;
        if (static_cast<int>(i) == keptIndex_) selected = at;
    }
    kept_.clear();
    SendMessageA(wnd_, m_.setCurSel, selected, 0);
}

void TPlatformItems::Detach() {
    if (!wnd_) return;
    kept_.clear();
    int count = Count();
    for (int i = 0; i < count; ++i) kept_.push_back({Strings(i), Objects(i)});
    keptIndex_ = ItemIndex();
    wnd_ = nullptr;
}

int TPlatformItems::Count() const {
    if (!wnd_) return static_cast<int>(kept_.size());
    return static_cast<int>(SendMessageA(wnd_, m_.getCount, 0, 0));
}

int TPlatformItems::Add(const std::string& text, TObject* object) {
    if (!wnd_) {
        auto at = kept_.end();
        if (sorted_)
            at = std::find_if(kept_.begin(), kept_.end(),
                              [&](const Item& i) { return lstrcmpiA(i.text.c_str(), text.c_str()) > 0; });
        at = kept_.insert(at, {text, object});
        int index = static_cast<int>(at - kept_.begin());
        if (keptIndex_ >= index) ++keptIndex_;  // the selection stays on its item
        return index;
    }
    LRESULT at = SendMessageA(wnd_, m_.addString, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (at < 0) return -1;
    SendMessageA(wnd_, m_.setItemData, at, reinterpret_cast<LPARAM>(object));
    return static_cast<int>(at);
}

void TPlatformItems::Insert(int index, const std::string& text, TObject* object) {
    if (!wnd_) {
        index = std::clamp(index, 0, static_cast<int>(kept_.size()));
        kept_.insert(kept_.begin() + index, {text, object});
        if (keptIndex_ >= index) ++keptIndex_;
        return;
    }
    LRESULT at = SendMessageA(wnd_, m_.insertString, index, reinterpret_cast<LPARAM>(text.c_str()));
    if (at >= 0) SendMessageA(wnd_, m_.setItemData, at, reinterpret_cast<LPARAM>(object));
}

void TPlatformItems::Delete(int index) {
    if (!wnd_) {
        if (index < 0 || index >= static_cast<int>(kept_.size())) return;
        kept_.erase(kept_.begin() + index);
        if (keptIndex_ == index) keptIndex_ = -1;
        else if (keptIndex_ > index) --keptIndex_;
        return;
    }
    SendMessageA(wnd_, m_.deleteString, index, 0);
}

void TPlatformItems::Clear() {
    kept_.clear();
    keptIndex_ = -1;
    if (wnd_) SendMessageA(wnd_, m_.resetContent, 0, 0);
}

std::string TPlatformItems::Strings(int index) const {
    if (!wnd_) return index >= 0 && index < static_cast<int>(kept_.size()) ? kept_[index].text : std::string();
    LRESULT length = SendMessageA(wnd_, m_.getTextLen, index, 0);
    if (length < 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = SendMessageA(wnd_, m_.getText, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got < 0 ? 0 : static_cast<size_t>(got));
    return text;
}

TObject* TPlatformItems::Objects(int index) const {
    if (!wnd_) return index >= 0 && index < static_cast<int>(kept_.size()) ? kept_[index].object : nullptr;
    LRESULT data = SendMessageA(wnd_, m_.getItemData, index, 0);
    return data == static_cast<LRESULT>(m_.errorResult) ? nullptr : reinterpret_cast<TObject*>(data);
}

void TPlatformItems::SetObject(int index, TObject* object) {
    if (!wnd_) {
        if (index >= 0 && index < static_cast<int>(kept_.size())) kept_[index].object = object;
        return;
    }
    SendMessageA(wnd_, m_.setItemData, index, reinterpret_cast<LPARAM>(object));
}

int TPlatformItems::FindExact(const std::string& text, int start) const {
    if (!wnd_) {
        int count = static_cast<int>(kept_.size());
        if (count == 0) return -1;
        for (int n = 1; n <= count; ++n) {
            int i = (start + n + count) % count;
            if (lstrcmpiA(kept_[i].text.c_str(), text.c_str()) == 0) return i;
        }
        return -1;
    }
    LRESULT at = SendMessageA(wnd_, m_.findStringExact, start, reinterpret_cast<LPARAM>(text.c_str()));
    return at < 0 ? -1 : static_cast<int>(at);
}

int TPlatformItems::ItemIndex() const {
    if (!wnd_) return keptIndex_;
    return static_cast<int>(SendMessageA(wnd_, m_.getCurSel, 0, 0));
}

void TPlatformItems::SetItemIndex(int index) {
    if (!wnd_) {
        keptIndex_ = index;
        return;
    }
    SendMessageA(wnd_, m_.setCurSel, index, 0);
}
