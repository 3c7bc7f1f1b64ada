#pragma once
// The canvas of a bitmap: a memory context with the bitmap selected, taken
// when a drawing operation needs it and given back after every window message.
#include <memory>

#include "graphics/Canvas.h"

class TBitmap;

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap);
    ~TBitmapCanvas() override;
    TBitmap* Bitmap() const { return bitmap_; }
    // Selects the bitmap back out and deletes the memory context.
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    // The context the canvas draws on while taken, the bitmap and its palette selected.
    struct Context;
    TBitmap* bitmap_;
    std::unique_ptr<Context> context_;
};

// Frees a bitmap handle from every bitmap canvas that has it selected: a
// handle can be selected into one context only.
void UnselectEverywhere(HBITMAP handle);
// Gives back the memory contexts of all bitmap canvases not in use elsewhere.
void ReleaseMemoryContexts();
