#include "lists/ListView.h"

#include <commctrl.h>

#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "lists/ImageList.h"
#include "resources/StringIds.h"

TListView::TListView(TComponent* owner) : TWinControl(owner) {
    SetClassName("TListView");
    ownPaint_ = false;
    tabStop_ = true;
    SetColor(clWindow);
    SetBounds(0, 0, 250, 150);
}

void TListView::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.baseClass = WC_LISTVIEWA;
    params.exStyle |= WS_EX_CLIENTEDGE;
    switch (viewStyle_) {
    case TViewStyle::vsIcon: params.style |= LVS_ICON; break;
    case TViewStyle::vsSmallIcon: params.style |= LVS_SMALLICON; break;
    case TViewStyle::vsList: params.style |= LVS_LIST; break;
    case TViewStyle::vsReport: params.style |= LVS_REPORT; break;
    }
    if (autoArrange_) params.style |= LVS_AUTOARRANGE;
    params.style |= LVS_SHAREIMAGELISTS | LVS_SINGLESEL;
}

void TListView::CreateWnd() {
    TWinControl::CreateWnd();
    if (largeImages_) SendMessageA(WindowHandle(), LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeImages_->Handle()));
    if (smallImages_) SendMessageA(WindowHandle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(smallImages_->Handle()));
    if (stateImages_) SendMessageA(WindowHandle(), LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(stateImages_->Handle()));
}

int TListView::ItemCount() const {
    return WindowHandle() ? static_cast<int>(SendMessageA(WindowHandle(), LVM_GETITEMCOUNT, 0, 0)) : 0;
}

void TListView::ClearItems() {
    if (WindowHandle()) SendMessageA(WindowHandle(), LVM_DELETEALLITEMS, 0, 0);
}

void TListView::AddItem(const std::string& caption, int imageIndex) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = ItemCount();
    item.pszText = const_cast<char*>(caption.c_str());
    item.iImage = imageIndex;
    SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int TListView::ItemImage(int index) const {
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = index;
    if (!WindowHandle() || !SendMessageA(WindowHandle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return item.iImage;
}

void TListView::WndProc(TMessage& message) {
    if (message.Msg == CN_NOTIFY) {
        if (reinterpret_cast<NMHDR*>(message.LParam)->code == static_cast<UINT>(NM_CLICK)) Click();
        return;
    }
    TWinControl::WndProc(message);
}

bool TListView::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "ViewStyle")
        viewStyle_ = IdentToEnum<TViewStyle>(value, {{"vsIcon", TViewStyle::vsIcon},
                                                     {"vsSmallIcon", TViewStyle::vsSmallIcon},
                                                     {"vsList", TViewStyle::vsList},
                                                     {"vsReport", TViewStyle::vsReport}});
    else if (name == "SortType")
        sortType_ = IdentToEnum<TSortType>(value, {{"stNone", TSortType::stNone}, {"stData", TSortType::stData},
                                                   {"stText", TSortType::stText}, {"stBoth", TSortType::stBoth}});
    else if (name == "IconOptions.AutoArrange") autoArrange_ = value.AsBoolean();
    else if (name == "LargeImages") reader.ResolveReference(value, [this](TComponent* c) { largeImages_.Set(dynamic_cast<TImageList*>(c)); });
    else if (name == "SmallImages") reader.ResolveReference(value, [this](TComponent* c) { smallImages_.Set(dynamic_cast<TImageList*>(c)); });
    else if (name == "StateImages") reader.ResolveReference(value, [this](TComponent* c) { stateImages_.Set(dynamic_cast<TImageList*>(c)); });
    else return TWinControl::SetProperty(name, value, reader);
    return true;
}
