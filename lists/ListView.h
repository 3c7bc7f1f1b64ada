#pragma once
// The icon list: the platform list view in icon view. For now it shows an
// empty list and keeps its links to the image list.
#include "base/ComponentLink.h"
#include "framework/WinControl.h"

class TImageList;

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum class TSortType { stNone, stData, stText, stBoth };

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* owner);

    TImageList* LargeImages() const { return largeImages_; }
    TImageList* SmallImages() const { return smallImages_; }
    TImageList* StateImages() const { return stateImages_; }
    TViewStyle ViewStyle() const { return viewStyle_; }
    TSortType SortType() const { return sortType_; }
    bool AutoArrange() const { return autoArrange_; }

    int ItemCount() const;
    void ClearItems();
    // Appends an item showing image `imageIndex` of the image lists.
    void AddItem(const std::string& caption, int imageIndex);
    int ItemImage(int index) const;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void CreateWnd() override;

private:
    TComponentLink<TImageList> largeImages_;
    TComponentLink<TImageList> smallImages_;
    TComponentLink<TImageList> stateImages_;
    TViewStyle viewStyle_ = TViewStyle::vsIcon;
    TSortType sortType_ = TSortType::stNone;
    bool autoArrange_ = false;
};
