#pragma once
// Owners of GDI objects and icons. Owners are move-only; borrowers take the raw handle.
#include <windows.h>

#include "base/UniqueHandle.h"

// The shared palette of the display's sixteen standard colours, made once
// and never deleted.
HPALETTE SystemPalette16();

// Shared palettes (the stock one and the sixteen colours) are never deleted by their holders.
inline void DeletePaletteObject(HPALETTE palette) {
    if (palette && palette != GetStockObject(DEFAULT_PALETTE) && palette != SystemPalette16()) DeleteObject(palette);
}

template <typename Handle>
using GdiObject = UniqueHandle<Handle, DeleteObject>;
using GdiBitmap = GdiObject<HBITMAP>;
using GdiFont = GdiObject<HFONT>;
using GdiBrush = GdiObject<HBRUSH>;
using GdiPen = GdiObject<HPEN>;
using GdiPalette = UniqueHandle<HPALETTE, DeletePaletteObject>;
using GdiIcon = UniqueHandle<HICON, DestroyIcon>;

// A memory device context, deleted with the owner.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A context borrowed with GetDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND wnd) : wnd_(wnd), dc_(GetDC(wnd)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(wnd_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND wnd_;
    HDC dc_;
};

// A bitmap in the screen's own format (a device-dependent bitmap).
inline GdiBitmap ScreenBitmap(int width, int height) {
    WindowDC screen(nullptr);
    return GdiBitmap(CreateCompatibleBitmap(screen.Get(), width, height));
}

// Selects an object into a context and selects the previous one back on exit.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectGuard() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    // False for no object, and when the context refused it.
    bool Selected() const { return previous_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Selects a palette into a context and realizes it, and selects the previous
// one back on exit; nothing for no palette. Always in the background: a
// picture's palette never becomes the foreground window's.
class PaletteGuard {
public:
    PaletteGuard(HDC dc, HPALETTE palette) : dc_(dc), previous_(palette ? SelectPalette(dc, palette, TRUE) : nullptr) {
        if (previous_) RealizePalette(dc_);
    }
    ~PaletteGuard() {
        if (previous_) SelectPalette(dc_, previous_, TRUE);
    }
    PaletteGuard(const PaletteGuard&) = delete;
    PaletteGuard& operator=(const PaletteGuard&) = delete;

private:
    HDC dc_;
    HPALETTE previous_;
};

// Saves a context's whole state (clip, origin, colours) and restores it on exit.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), id_(SaveDC(dc)) {}
    ~SavedDC() {
        if (id_) RestoreDC(dc_, id_);
    }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC dc_;
    int id_;
};
