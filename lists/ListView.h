#pragma once
// The icon list: the platform list view, its items tied to TListItem objects,
// its image lists attached by role, and a click event that follows the
// platform's own idea of a completed click.
#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "base/ComponentLink.h"
#include "lists/ImageList.h"
#include "lists/ListControl.h"
#include "lists/ListItems.h"

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum class TSortType { stNone, stData, stText, stBoth };
enum class TIconArrangement { iaTop, iaLeft };
enum class TImageRole { Large, Small, State };

class TCustomListView;

class TIconOptions {
public:
    explicit TIconOptions(TCustomListView* view) : view_(view) {}
    TIconArrangement Arrangement() const { return arrangement_; }
    void SetArrangement(TIconArrangement value);
    bool AutoArrange() const { return autoArrange_; }
    void SetAutoArrange(bool value);
    bool WrapText() const { return wrapText_; }
    void SetWrapText(bool value);

private:
    TCustomListView* view_;
    TIconArrangement arrangement_ = TIconArrangement::iaTop;
    bool autoArrange_ = false;
    bool wrapText_ = true;
};

using TLVCompareEvent = std::function<void(TObject*, TListItem*, TListItem*, int data, int& compare)>;
using TLVEditedEvent = std::function<void(TObject*, TListItem*, std::string& text)>;
using TLVEditingEvent = std::function<void(TObject*, TListItem*, bool& allowEdit)>;
using TLVDeletedEvent = std::function<void(TObject*, TListItem*)>;
// A context menu is asked for at `at`, in client coordinates: by a right
// click there, after the platform has selected what lies under it, or from
// the keyboard, at the selected item (the top-left corner with none).
using TContextPopupEvent = std::function<void(TObject* sender, POINT at, bool byKeyboard)>;

class TCustomListView : public TCustomMultiSelectListControl {
public:
    explicit TCustomListView(TComponent* owner);
    ~TCustomListView() override;

    // Items, by position in the platform's order.
    int ItemCount() const override;
    // The new last item, showing picture `imageIndex` of the image list.
    TListItem* AppendItem(int imageIndex = 0);
    TListItem* ItemAt(int position) const;
    int ItemPosition(const TListItem* item) const;
    void RemoveAllItems();
    void SetItemImageIndex(TListItem* item, int index);
    void SetItemCaption(TListItem* item, const std::string& text);
    void SetItemData(TListItem* item, void* data);
    // Draws the items from `first` to `last` again, when they are in view:
    // their pictures changed in the image list.
    void RedrawItems(int first, int last);
    // A batch of item changes: no repainting and no sorting while it lasts,
    // one sort at its end when the sort type asks for one. Batches nest.
    void BeginUpdate();
    void EndUpdate();
    int SelectedPosition() const override;
    // The position of the item whose picture or caption is at a client point, or -1.
    int PositionAt(POINT at) const;
    void SortByCaption();

    TCustomImageList* LargeImages() const { return images_[0].list; }
    TCustomImageList* SmallImages() const { return images_[1].list; }
    TCustomImageList* StateImages() const { return images_[2].list; }
    void AttachImageList(TImageRole role, TCustomImageList* list);

    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle value);
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool value);
    TIconOptions& IconOptions() { return iconOptions_; }

    TLVCompareEvent OnCompare;
    TLVEditedEvent OnEdited;
    TLVEditingEvent OnEditing;
    TLVDeletedEvent OnDeletion;
    std::function<void(TObject*, TListItem*)> OnGetImageIndex;
    // Set, it takes the place of the platform's own context menu handling.
    TContextPopupEvent OnContextPopup;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    friend class TIconOptions;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    void RecreateIfMade();

private:
    struct ImageRole {
        TComponentLink<TCustomImageList> list;
        TChangeLink change;
        // What the control was last given: a change of pictures alone needs no new giving.
        HIMAGELIST sent = nullptr;
        SIZE sentCell{};
    };
    void RefreshImageRole(TCustomImageList* sender);
    // Gives the control the role's list, or none.
    void SendImageRole(int role, TCustomImageList* list);
    bool Notified(NMHDR& header, LRESULT& result);
    template <typename Item>
    void GiveDisplayInfo(Item& asked);
    void EndLabelEdit(int position, const char* text);
    void ReleaseAllItems();
    void ClickAfterPlatform(LPARAM releasePoint, bool fromRelease);
    // Fires OnContextPopup; false without a handler.
    bool ContextPopup(POINT at, bool byKeyboard);
    // Where the keyboard's context menu belongs: the selected item's picture.
    POINT KeyboardPopupPoint() const;
    static int CALLBACK CompareItems(LPARAM first, LPARAM second, LPARAM view);

    TListItems items_{this};
    ImageRole images_[3];
    TIconOptions iconOptions_{this};
    TViewStyle viewStyle_ = TViewStyle::vsIcon;
    TSortType sortType_ = TSortType::stNone;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool columnClick_ = true;
    bool showColumnHeaders_ = true;
    bool clicked_ = false;
    bool rightClickPopup_ = false;  // the right click under way has had its menu
    int updateCount_ = 0;
    TSortType sortAfterUpdate_ = TSortType::stNone;
    // Items kept while the window is made again.
    std::vector<TListItem*> kept_;
    bool keepingItems_ = false;
};

class TListView : public TCustomListView {
public:
    explicit TListView(TComponent* owner);
};
