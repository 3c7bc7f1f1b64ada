#include "buttons/GlyphCache.h"

#include <algorithm>

TGlyphList::TGlyphList(int width, int height) : TImageList(width, height) { SetClassName("TGlyphList"); }

int TGlyphList::AllocateSlot() {
    auto free = std::find(used_.begin(), used_.end(), false);
    if (free != used_.end()) {
        *free = true;
        return static_cast<int>(free - used_.begin());
    }
    AppendBlank();
    used_.push_back(true);
    return static_cast<int>(used_.size()) - 1;
}

int TGlyphList::AddMasked(HBITMAP image, COLORREF maskColor) {
    int slot = AllocateSlot();
    try {
        ReplaceMasked(slot, image, maskColor);
    } catch (...) {
        used_[slot] = false;
        throw;
    }
    ++count_;
    return slot;
}

void TGlyphList::Delete(int slot) {
    if (slot < 0 || slot >= static_cast<int>(used_.size()) || !used_[slot]) return;
    used_[slot] = false;
    --count_;
}

TGlyphList* TGlyphCache::GetList(int width, int height) {
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
    if (!list || list->Count() != 0) return;
    lists_.erase(std::remove_if(lists_.begin(), lists_.end(), [list](const auto& held) { return held.get() == list; }),
                 lists_.end());
}

namespace {
std::unique_ptr<TGlyphCache>& TheCache() {
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}
}  // namespace

TGlyphCache* GlyphCache() { return TheCache().get(); }

TGlyphCache& GlyphCacheNeeded() {
    if (!TheCache()) TheCache() = std::make_unique<TGlyphCache>();
    return *TheCache();
}

void ReleaseGlyphCacheIfEmpty() {
    if (TheCache() && TheCache()->Empty()) TheCache().reset();
}
