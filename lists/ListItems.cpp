#include "lists/ListItems.h"

#include <algorithm>

TListItem* TListItems::Make() {
    items_.push_back(std::make_unique<TListItem>(this));
    return items_.back().get();
}

bool TListItems::Release(TListItem* item) {
    // Items go last first as a rule, so the search starts at the back.
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if (it->get() == item) {
            items_.erase(std::next(it).base());
            return true;
        }
    return false;
}
