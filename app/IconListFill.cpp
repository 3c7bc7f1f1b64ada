#include "app/IconListFill.h"

#include <chrono>

#include "base/ScopeGuard.h"
#include "framework/Application.h"
#include "graphics/Icon.h"
#include "graphics/IconSource.h"
#include "lists/ImageList.h"
#include "lists/ListView.h"

namespace {
// Long enough that the platform's per-call costs do not dominate, short
// enough that a click or a paint waiting behind a step goes unnoticed.
constexpr double kStepMilliseconds = 25;

double Now() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

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
    const double until = Now() + kStepMilliseconds;
    if (items_ < count_) AppendItems(until);
    else AppendPictures(until);
    if (pictures_ == count_) return false;
    end.Dismiss();
    return true;
}

void TIconListFill::Finish() {
    while (Step()) {
    }
}

void TIconListFill::AppendItems(double until) {
    // Item i shows picture i, whether or not that picture is in the list yet.
    do {
        view_.SetItemImageIndex(view_.AppendItem(), items_);
        ++items_;
    } while (items_ < count_ && Now() < until);
}

void TIconListFill::AppendPictures(double until) {
    const int first = pictures_;
    {
        TIcon icon;
        // The list view hears of the whole step once.
        auto batch = BeginEnd(images_, &TCustomImageList::BeginBatch, &TCustomImageList::EndBatch);
        do {
            icon.SetGdiHandle(source_.Icon(pictures_));
            images_.InsertIconAt(pictures_, &icon);
            ++pictures_;
        } while (pictures_ < count_ && Now() < until);
    }
    // Their items were drawn before the pictures were there.
    view_.RedrawItems(first, pictures_ - 1);
}
