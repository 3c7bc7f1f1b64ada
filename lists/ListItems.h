#pragma once
// The items of the icon list view. Each platform item carries its TListItem in
// its parameter; the platform's order is the only order.
#include <memory>
#include <string>
#include <vector>

class TCustomListView;
class TListItems;

class TListItem {
public:
    explicit TListItem(TListItems* owner) : owner_(owner) {}

    const std::string& Caption() const { return caption_; }
    int ImageIndex() const { return imageIndex_; }
    int OverlayIndex() const { return overlayIndex_; }
    int StateIndex() const { return stateIndex_; }
    int Indent() const { return indent_; }
    // The caller's own value for the item; the view only sorts by it.
    void* Data() const { return data_; }
    TListItems* Owner() const { return owner_; }

private:
    friend class TCustomListView;
    TListItems* owner_;
    std::string caption_;
    int imageIndex_ = 0;
    int overlayIndex_ = -1;
    int stateIndex_ = -1;
    int indent_ = 0;
    void* data_ = nullptr;
    mutable int positionHint_ = -1;  // where it was last seen; checked before use
};

// Owns every item object of one view, whatever the platform order.
class TListItems {
public:
    explicit TListItems(TCustomListView* view) : view_(view) {}
    TCustomListView* Owner() const { return view_; }

    TListItem* Make();
    // Releases one item object; false when it is not one of ours.
    bool Release(TListItem* item);

private:
    TCustomListView* view_;
    std::vector<std::unique_ptr<TListItem>> items_;
};
