#include "graphics/BitmapCanvas.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "base/PlatformError.h"
#include "graphics/Bitmap.h"
#include "graphics/CriticalSection.h"

namespace {
// Canvases that hold a memory context, in the order they took it.
struct Registry {
    CriticalSection lock;
    std::vector<TBitmapCanvas*> canvases;
};

Registry& Canvases() {
    static Registry* registry = new Registry;  // outlives every canvas
    return *registry;
}
}  // namespace

struct TBitmapCanvas::Context {
    MemoryDC dc{nullptr};
    // Selected back before the context goes.
    std::optional<SelectGuard> bitmap;
    std::optional<PaletteGuard> palette;
};

TBitmapCanvas::TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
    if (!bitmap_) return;
    auto keep = Locked(*this);
    HBITMAP handle = bitmap_->Image()->GdiHandle;
    UnselectEverywhere(handle);
    HPALETTE palette = bitmap_->Palette();
    auto context = std::make_unique<Context>();
    HDC dc = context->dc.Get();
    if (!dc) RaiseLastPlatformError();
    context->bitmap.emplace(dc, handle);
    if (handle && !context->bitmap->Selected()) RaiseLastPlatformError();
    context->palette.emplace(dc, palette);
    {
        auto registry = Locked(Canvases().lock);
        Canvases().canvases.push_back(this);
    }
    context_ = std::move(context);
    SetHandle(dc);
}

void TBitmapCanvas::FreeContext() {
    if (!HandleAllocated()) return;
    auto keep = Locked(*this);
    SetHandle(nullptr);
    context_.reset();
    auto registry = Locked(Canvases().lock);
    auto& list = Canvases().canvases;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void UnselectEverywhere(HBITMAP handle) {
    if (!handle) return;
    std::vector<TBitmapCanvas*> holders;
    {
        auto registry = Locked(Canvases().lock);
        const auto& list = Canvases().canvases;
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            if ((*it)->Bitmap() && (*it)->Bitmap()->Image()->GdiHandle == handle) holders.push_back(*it);
    }
    for (TBitmapCanvas* canvas : holders) canvas->FreeContext();
}

void ReleaseMemoryContexts() {
    std::vector<TBitmapCanvas*> all;
    {
        auto registry = Locked(Canvases().lock);
        all.assign(Canvases().canvases.rbegin(), Canvases().canvases.rend());
    }
    for (TBitmapCanvas* canvas : all) {
        if (!canvas->TryToLock()) continue;  // another thread is drawing on it
        canvas->FreeContext();
        canvas->Unlock();
    }
}
