#pragma once
// The drawing surface: a device context with a font, pen and brush selected on
// demand. Concrete canvases say where the context comes from.
#include <windows.h>

#include <string>

#include "graphics/CriticalSection.h"
#include "graphics/Font.h"

class TGraphic;
class TBitmap;

class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TFont Font;
    TPen Pen;
    TBrush Brush;
    DWORD CopyMode = SRCCOPY;
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // The context with font, pen and brush selected, for a caller about to draw
    // on it; "不允许绘图" without one.
    HDC GdiHandle();
    // The same context for a caller that only reads from it.
    HDC ReadHandle();
    // Adopts a context someone else owns (a paint or item-drawing context), or
    // drops it with nullptr; the previous selections are put back first.
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void DrawFocusRect(const RECT& rect);
    void TextOut(int x, int y, const std::string& text);
    // Draws text clipped to `rect` with DrawText flags (no prefix processing unless asked).
    void TextRect(RECT rect, const std::string& text, UINT format);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    COLORREF PixelAt(int x, int y);
    // Draws a picture at its own size with its top-left corner at (x, y).
    void Draw(int x, int y, TGraphic* graphic);
    // Asks a picture to draw itself into the rectangle.
    void DrawInRect(const RECT& rect, TGraphic* graphic);
    // Copies `source` of the bitmap into `dest`, with every pixel of `color`
    // showing this canvas's brush (or left out when the brush is clear).
    void CopyReplacingColour(const RECT& dest, TBitmap* bitmap, const RECT& source, TColor color);

    void Lock();
    void Unlock();
    bool TryToLock();

protected:
    enum State : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };
    // Asked for a context when a drawing operation needs one and none is set.
    virtual void CreateHandle() {}
    void RequiredState(unsigned state);
    void Changing();
    void Changed();
    void DeselectHandles();
    HDC CurrentHandle() const { return dc_; }

private:
    void FontChanged();
    void PenChanged();
    void BrushChanged();

    HDC dc_ = nullptr;
    unsigned state_ = 0;
    HGDIOBJ oldFont_ = nullptr;
    HGDIOBJ oldPen_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
    CriticalSection lock_;
    int lockCount_ = 0;
};

// A canvas on the screen's context with a given font, for measuring text.
class TScreenCanvas : public TCanvas {
public:
    explicit TScreenCanvas(const TFont& font);
    ~TScreenCanvas() override;

private:
    HDC screen_;
};

// Keeps a canvas locked for a scope.
[[nodiscard]] inline auto Locked(TCanvas& canvas) { return BeginEnd(canvas, &TCanvas::Lock, &TCanvas::Unlock); }
