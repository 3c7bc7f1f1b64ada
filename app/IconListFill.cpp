#include "app/IconListFill.h"

#include <algorithm>
#include <vector>

#include "base/ScopeGuard.h"
#include "framework/Application.h"
#include "graphics/Icon.h"
#include "graphics/IconSource.h"
#include "lists/ImageList.h"
#include "lists/ListView.h"

TIconListFill::TIconListFill(TIconSource& source, TCustomImageList& images, TCustomListView& view)
    : source_(source), images_(images), view_(view) {}

TIconListFill::~TIconListFill() { Application.CancelIdleWork(this); }

void TIconListFill::Start(int count) {
    Cancel();
    images_.EmptyImages();
    view_.RemoveAllItems();
    count_ = count;
    items_ = pictures_ = 0;
    if (count_ <= 0) return;
    SetFilling(true);
    Application.StartIdleWork(this, [this] { return Step(); });
}

void TIconListFill::Cancel() {
    Application.CancelIdleWork(this);
    SetFilling(false);
}

void TIconListFill::SetFilling(bool filling) {
    if (filling == filling_) return;
    filling_ = filling;
    if (OnFillingChange) OnFillingChange(filling);
}

bool TIconListFill::Step() {
    if (!filling_) return false;
    // A step that fails ends the fill: the list keeps what it has.
    ScopeGuard end([this] { Cancel(); });
    if (items_ < count_) AppendItems();
    else AppendPictures();
    if (pictures_ == count_) return false;
    end.Dismiss();
    return true;
}

void TIconListFill::Finish() {
    while (Step()) {
    }
}

void TIconListFill::AppendItems() {
    // Item i shows picture i, whether or not that picture is in the list yet.
    const double until = IdleClockMilliseconds() + kIdleStepMilliseconds;
    do {
        view_.AppendItem(items_);
        ++items_;
    } while (items_ < count_ && IdleClockMilliseconds() < until);
}

void TIconListFill::AppendPictures() {
    // The pictures go in together, so the step takes as many as the last one
    // showed fit in its time.
    const double start = IdleClockMilliseconds();
    const int first = pictures_;
    const int take = std::min(count_ - first, std::max(1, static_cast<int>(kIdleStepMilliseconds / pictureCost_)));
    std::vector<GdiIcon> made;
    made.reserve(static_cast<size_t>(take));
    std::vector<TIconToAppend> icons;
    for (int i = 0; i < take; ++i) {
        // A plain image goes in from its bytes, any other icon as an icon.
        if (const TIconImageRef* image = source_.PlainImage(first + i)) {
            icons.push_back({nullptr, image->bytes, image->size});
        } else {
            made.push_back(source_.Icon(first + i));
            icons.push_back({made.back().Get(), nullptr, 0});
        }
    }
    images_.AppendIcons(icons);
    pictures_ += take;
    // Their items were drawn before the pictures were there.
    view_.RedrawItems(first, pictures_ - 1);
    pictureCost_ = std::max(0.01, (IdleClockMilliseconds() - start) / take);
}
