#include "lists/ListView.h"

#include "base/PropertyValue.h"

namespace {
constexpr int kRoleIds[] = {LVSIL_NORMAL, LVSIL_SMALL, LVSIL_STATE};
// Sub-item images and info tips.
constexpr DWORD kExtendedStyles = LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;
}  // namespace

void TIconOptions::SetArrangement(TIconArrangement value) {
    if (value == arrangement_) return;
    arrangement_ = value;
    view_->RecreateIfMade();
}

void TIconOptions::SetAutoArrange(bool value) {
    if (value == autoArrange_) return;
    autoArrange_ = value;
    view_->RecreateIfMade();
}

void TIconOptions::SetWrapText(bool value) {
    if (value == wrapText_) return;
    wrapText_ = value;
    view_->RecreateIfMade();
}

TCustomListView::TCustomListView(TComponent* owner) : TCustomMultiSelectListControl(owner) {
    SetClassName("TCustomListView");
    ownPaint_ = false;
    tabStop_ = true;
    SetColor(clWindow);
    SetBounds(0, 0, 250, 150);
    for (int role = 0; role < 3; ++role) {
        images_[role].change.OnChange = [this](TCustomImageList* sender) { RefreshImageRole(sender); };
        // A list that goes has already let its change links go.
        images_[role].list.OnDropped = [this, role] { SendImageRole(role, nullptr); };
    }
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::CreateParams(TCreateParams& params) {
    TCustomMultiSelectListControl::CreateParams(params);
    params.baseClass = WC_LISTVIEWA;
    static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    params.style |= WS_CLIPCHILDREN | LVS_SHAREIMAGELISTS | views[static_cast<int>(viewStyle_)];
    if (iconOptions_.Arrangement() == TIconArrangement::iaLeft) params.style |= LVS_ALIGNLEFT;
    if (!readOnly_) params.style |= LVS_EDITLABELS;
    if (!multiSelect_) params.style |= LVS_SINGLESEL;
    if (!hideSelection_) params.style |= LVS_SHOWSELALWAYS;
    if (iconOptions_.AutoArrange()) params.style |= LVS_AUTOARRANGE;
    if (!iconOptions_.WrapText()) params.style |= LVS_NOLABELWRAP;
    if (!showColumnHeaders_) params.style |= LVS_NOCOLUMNHEADER;
    if (!columnClick_) params.style |= LVS_NOSORTHEADER;
    // The single border drawn in the 3-D look.
    params.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListView::CreateWnd() {
    TCustomMultiSelectListControl::CreateWnd();
    HWND wnd = WindowHandle();
    SendMessageA(wnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, kExtendedStyles);
    SendMessageA(wnd, LVM_SETTEXTCOLOR, 0, ColorToRGB(Font.Color()));
    SendMessageA(wnd, LVM_SETTEXTBKCOLOR, 0, ColorToRGB(Color()));
    SendMessageA(wnd, LVM_SETBKCOLOR, 0, ColorToRGB(Color()));
    for (int role = 0; role < 3; ++role)
        if (images_[role].list && images_[role].list->HandleAllocated()) SendImageRole(role, images_[role].list);
    // Items kept from the window before come back in their order.
    std::vector<TListItem*> kept = std::move(kept_);
    kept_.clear();
    for (TListItem* item : kept) {
        LVITEMA platform{};
        platform.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_TEXT;
        platform.iItem = ItemCount();
        platform.iImage = I_IMAGECALLBACK;
        platform.pszText = LPSTR_TEXTCALLBACKA;
        platform.lParam = reinterpret_cast<LPARAM>(item);
        SendMessageA(wnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&platform));
    }
}

void TCustomListView::DestroyWnd() {
    kept_.clear();
    for (int i = 0, n = ItemCount(); i < n; ++i) kept_.push_back(ItemAt(i));
    // The platform deletes its items with the window; the objects stay for the next one.
    keepingItems_ = true;
    TCustomMultiSelectListControl::DestroyWnd();
    keepingItems_ = false;
    for (ImageRole& slot : images_) slot.sent = nullptr;
}

void TCustomListView::RecreateIfMade() {
    if (WindowHandle()) RecreateWnd();
}

int TCustomListView::ItemCount() const {
    return WindowHandle() ? static_cast<int>(SendMessageA(WindowHandle(), LVM_GETITEMCOUNT, 0, 0)) : 0;
}

TListItem* TCustomListView::AppendItem(int imageIndex) {
    TListItem* item = items_.Make();
    // The control asks for the picture when it draws the item.
    item->imageIndex_ = imageIndex;
    // Each item added to a shown view lays out its scroll bars again.
    HoldRedrawUntilIdle();
    LVITEMA platform{};
    platform.mask = LVIF_IMAGE | LVIF_PARAM;
    platform.iItem = ItemCount();
    item->positionHint_ = platform.iItem;
    platform.iImage = I_IMAGECALLBACK;
    platform.lParam = reinterpret_cast<LPARAM>(item);
    if (SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&platform)) < 0) {
        items_.Release(item);
        return nullptr;
    }
    return item;
}

TListItem* TCustomListView::ItemAt(int position) const {
    if (!WindowHandle()) return nullptr;
    LVITEMA platform{};
    platform.mask = LVIF_PARAM;
    platform.iItem = position;
    if (!SendMessageA(WindowHandle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&platform))) return nullptr;
    return reinterpret_cast<TListItem*>(platform.lParam);
}

int TCustomListView::ItemPosition(const TListItem* item) const {
    if (!WindowHandle() || !item) return -1;
    // Most asks are about an item just appended: its hint is checked in one step.
    if (item->positionHint_ >= 0 && ItemAt(item->positionHint_) == item) return item->positionHint_;
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(item);
    return item->positionHint_ = static_cast<int>(SendMessageA(WindowHandle(), LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(&find)));
}

void TCustomListView::RemoveAllItems() {
    if (WindowHandle()) SendMessageA(WindowHandle(), LVM_DELETEALLITEMS, 0, 0);
}

void TCustomListView::ReleaseAllItems() {
    // Last position first, each item once.
    for (int i = ItemCount() - 1; i >= 0; --i) {
        TListItem* item = ItemAt(i);
        if (!item) continue;
        if (OnDeletion) OnDeletion(this, item);
        items_.Release(item);
    }
}

void TCustomListView::SetItemImageIndex(TListItem* item, int index) {
    if (!item || index == item->imageIndex_) return;
    item->imageIndex_ = index;
    int position = ItemPosition(item);
    if (position < 0) return;
    LVITEMA platform{};
    platform.mask = LVIF_IMAGE;
    platform.iItem = position;
    platform.iImage = I_IMAGECALLBACK;
    SendMessageA(WindowHandle(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&platform));
    SendMessageA(WindowHandle(), LVM_REDRAWITEMS, position, position);
}

void TCustomListView::SetItemCaption(TListItem* item, const std::string& text) {
    if (!item || text == item->caption_) return;
    item->caption_ = text;
    int position = ItemPosition(item);
    if (position >= 0) {
        LVITEMA platform{};
        platform.mask = LVIF_TEXT;
        platform.iItem = position;
        platform.pszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(WindowHandle(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&platform));
    }
    if (sortType_ == TSortType::stText || sortType_ == TSortType::stBoth) SortByCaption();
}

void TCustomListView::SetItemData(TListItem* item, void* data) {
    if (!item || data == item->data_) return;
    item->data_ = data;
    if (sortType_ == TSortType::stData || sortType_ == TSortType::stBoth) SortByCaption();
}

void TCustomListView::RedrawItems(int first, int last) {
    if (!WindowHandle()) return;
    // The platform invalidates item by item, each a trip to its server: a
    // long range costs less as the whole view, which draws only what shows.
    constexpr int kItemByItem = 32;
    if (last - first >= kItemByItem) Invalidate();
    else SendMessageA(WindowHandle(), LVM_REDRAWITEMS, first, last);
}

void TCustomListView::BeginUpdate() {
    HoldRedraw();
    if (updateCount_++ > 0) return;
    sortAfterUpdate_ = sortType_;
    SetSortType(TSortType::stNone);
}

void TCustomListView::EndUpdate() {
    if (updateCount_ == 0) return;
    // Restoring the sort type is a change like any other: it sorts.
    if (--updateCount_ == 0) SetSortType(sortAfterUpdate_);
    ReleaseRedraw();
}

int TCustomListView::SelectedPosition() const {
    if (!WindowHandle()) return -1;
    int found = static_cast<int>(
        SendMessageA(WindowHandle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
    return found < 0 ? -1 : ItemPosition(ItemAt(found));
}

int TCustomListView::PositionAt(POINT at) const {
    if (!WindowHandle()) return -1;
    LVHITTESTINFO hit{};
    hit.pt = at;
    const int found = static_cast<int>(SendMessageA(WindowHandle(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return found >= 0 && (hit.flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)) ? found : -1;
}

void TCustomListView::SortByCaption() {
    if (WindowHandle())
        SendMessageA(WindowHandle(), LVM_SORTITEMS, reinterpret_cast<WPARAM>(this),
                     reinterpret_cast<LPARAM>(&TCustomListView::CompareItems));
}

void TCustomListView::AttachImageList(TImageRole role, TCustomImageList* list) {
    ImageRole& slot = images_[static_cast<int>(role)];
    if (slot.list == list) return;
    if (slot.list) slot.list->DetachListener(&slot.change);
    slot.list.Set(list);
    if (list) {
        list->AttachListener(&slot.change);
        list->PlatformHandle();
    }
    SendImageRole(static_cast<int>(role), list);
    Invalidate();
}

void TCustomListView::SendImageRole(int role, TCustomImageList* list) {
    ImageRole& slot = images_[role];
    slot.sent = nullptr;
    if (!WindowHandle()) return;
    HIMAGELIST handle = list && list->HandleAllocated() ? list->PlatformHandle() : nullptr;
    SendMessageA(WindowHandle(), LVM_SETIMAGELIST, kRoleIds[role], reinterpret_cast<LPARAM>(handle));
    slot.sent = handle;
    slot.sentCell = {list ? list->Width() : 0, list ? list->Height() : 0};
}

void TCustomListView::RefreshImageRole(TCustomImageList* sender) {
    // One list in several roles is found in the first of them.
    for (int role = 0; role < 3; ++role)
        if (sender == images_[role].list) {
            const ImageRole& slot = images_[role];
            // Giving the control the same list again lays out every item anew:
            // new pictures in the same list and cells only need drawing.
            const bool same = WindowHandle() && slot.sent && sender->HandleAllocated() &&
                              slot.sent == sender->PlatformHandle() && slot.sentCell.cx == sender->Width() &&
                              slot.sentCell.cy == sender->Height();
            if (same) Invalidate();
            else SendImageRole(role, sender);
            return;
        }
}

void TCustomListView::SetViewStyle(TViewStyle value) {
    if (value == viewStyle_) return;
    viewStyle_ = value;
    RecreateIfMade();
}

void TCustomListView::SetSortType(TSortType value) {
    if (value == sortType_) return;
    sortType_ = value;
    bool byText = value == TSortType::stText || value == TSortType::stBoth;
    bool byData = (value == TSortType::stData || value == TSortType::stBoth) && OnCompare;
    if (byText || byData) SortByCaption();
}

void TCustomListView::SetReadOnly(bool value) {
    if (value == readOnly_) return;
    readOnly_ = value;
    RecreateIfMade();
}

void TCustomListView::SetHideSelection(bool value) {
    if (value == hideSelection_) return;
    hideSelection_ = value;
    RecreateIfMade();
}

bool TCustomListView::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    auto imageRole = [&](TImageRole role) {
        reader.ResolveReference(value,
                                [this, role](TComponent* c) { AttachImageList(role, dynamic_cast<TCustomImageList*>(c)); });
    };
    if (name == "ViewStyle")
        SetViewStyle(IdentToEnum<TViewStyle>(value, {{"vsIcon", TViewStyle::vsIcon},
                                                     {"vsSmallIcon", TViewStyle::vsSmallIcon},
                                                     {"vsList", TViewStyle::vsList},
                                                     {"vsReport", TViewStyle::vsReport}}));
    else if (name == "SortType")
        SetSortType(IdentToEnum<TSortType>(value, {{"stNone", TSortType::stNone}, {"stData", TSortType::stData},
                                                   {"stText", TSortType::stText}, {"stBoth", TSortType::stBoth}}));
    else if (name == "IconOptions.AutoArrange") iconOptions_.SetAutoArrange(value.AsBoolean());
    else if (name == "IconOptions.WrapText") iconOptions_.SetWrapText(value.AsBoolean());
    else if (name == "IconOptions.Arrangement")
        iconOptions_.SetArrangement(IdentToEnum<TIconArrangement>(
            value, {{"iaTop", TIconArrangement::iaTop}, {"iaLeft", TIconArrangement::iaLeft}}));
    else if (name == "ReadOnly") SetReadOnly(value.AsBoolean());
    else if (name == "HideSelection") SetHideSelection(value.AsBoolean());
    else if (name == "MultiSelect") multiSelect_ = value.AsBoolean();
    else if (name == "ColumnClick") columnClick_ = value.AsBoolean();
    else if (name == "ShowColumnHeaders") showColumnHeaders_ = value.AsBoolean();
    else if (name == "LargeImages") imageRole(TImageRole::Large);
    else if (name == "SmallImages") imageRole(TImageRole::Small);
    else if (name == "StateImages") imageRole(TImageRole::State);
    else if (name == "OnContextPopup") OnContextPopup = reader.HandlerOf<TContextPopupEvent>(value);
    else return TCustomMultiSelectListControl::SetProperty(name, value, reader);
    return true;
}

TListView::TListView(TComponent* owner) : TCustomListView(owner) { SetClassName("TListView"); }
