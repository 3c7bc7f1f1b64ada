#pragma once
// The image lists that hold every button's state images, one list per glyph
// size, shared by all buttons of the process.
#include <memory>
#include <vector>

#include "lists/ImageList.h"

// An image list of one size whose slots are reused: a freed slot keeps its
// place and is the first one taken again.
class TGlyphList : public TImageList {
public:
    TGlyphList(int width, int height);

    // Puts `image` (the list's size, selected nowhere) into a free slot with
    // every pixel of `maskColor` transparent; returns the slot.
    int AddMasked(HBITMAP image, COLORREF maskColor);
    // Frees the slot; the pictures are not moved.
    void Delete(int slot);
    int Count() const { return count_; }

private:
    int AllocateSlot();

    std::vector<bool> used_;
    int count_ = 0;
};

class TGlyphCache {
public:
    // The last-made list of exactly this size; made when there is none.
    TGlyphList* GetList(int width, int height);
    // Gives a list back: one with no slot in use is freed.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return lists_.empty(); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// The process's cache, or none while no button glyph needs it.
TGlyphCache* GlyphCache();
TGlyphCache& GlyphCacheNeeded();
// Frees the cache once it holds no list.
void ReleaseGlyphCacheIfEmpty();
