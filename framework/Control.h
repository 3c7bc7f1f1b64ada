#pragma once
// Controls: components with a place in a parent window. Windowless controls
// paint on their parent's surface; windowed ones (TWinControl) own a window.
#include <windows.h>

#include <functional>
#include <string>

#include "base/Component.h"
#include "graphics/Canvas.h"

class TWinControl;
class TCanvas;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crHSplit = -14;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHandPoint = -21;
bool IdentToCursor(const std::string& name, TCursor& cursor);
// Whether `key` is the accelerator a caption marks with '&' ("&&" is a plain
// '&'); letters match in either case, double-byte characters never.
bool IsAccel(char key, const std::string& caption);
HCURSOR CursorHandle(TCursor cursor);

enum TControlStyle : unsigned {
    csOpaque = 1,         // paints its whole rectangle: the parent skips its background there
    csClickEvents = 2,    // a press and release inside fires Click
    csCaptureMouse = 4,   // keeps the mouse while a button is held
    csDoubleClicks = 8,
    csReplicatable = 16,
    csAcceptsControls = 32,
};

enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;

using TMouseEvent = std::function<void(TObject*, TMouseButton, TShiftState, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject*, TShiftState, int x, int y)>;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    virtual RECT ClientRect() const { return {0, 0, width_, height_}; }
    int ClientWidth() const;
    int ClientHeight() const;
    POINT ClientToScreen(POINT point) const;
    POINT ScreenToClient(POINT point) const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);

    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& text);

    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    // Own setting, or the parent's while ParentShowHint is set.
    bool ShowHint() const;
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);

    TFont Font;
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    TCursor Cursor() const { return cursor_; }
    // The pointer over the control takes the new shape at once.
    void SetCursor(TCursor cursor);

    unsigned ControlStyle = 0;
    bool HasStyle(TControlStyle style) const { return (ControlStyle & style) != 0; }
    void SetOpaque(bool opaque);

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

    virtual bool IsWindowed() const { return false; }
    // The owning form's window chain, for palettes and hints.
    TWinControl* TopLevel() const;
    bool Showing() const;

    virtual void Invalidate();
    virtual void Update();
    void Repaint();

    // Mouse input, in client coordinates; the framework routes it.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void Click();
    virtual void DblClick();
    // The system colours changed; windowed controls pass it to their children.
    virtual void SysColorChanged() {}
    // An accelerator key (Alt with a character); true when a control took it.
    virtual bool DialogChar(char key) { (void)key; return false; }

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;
    void Loaded() override;

    // Painting of a windowless control on its parent's surface; the canvas origin
    // is the control's top-left corner.
    virtual void PaintOn(TCanvas&) {}

protected:
    virtual void BoundsChanged() {}
    virtual void TextChanged() {}
    virtual void EnabledChanged() { Invalidate(); }
    virtual void VisibleChanged() {}
    virtual void FontChanged() { Invalidate(); }
    virtual void ColorChanged() { Invalidate(); }
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    // Auto-sizing: may change the proposed size; returns whether a change is allowed.
    virtual bool CanAutoSize(int& width, int& height);
    void AdjustSize();
    void RequestAlign();

    friend class TWinControl;
    bool clicking_ = false;  // pressed inside, waiting for the release

private:
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool autoSize_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    bool parentFont_ = true;
    bool parentColor_ = false;
    TColor color_ = clBtnFace;
    TCursor cursor_ = crDefault;
    bool updatingFont_ = false;
};

// A windowless control with its own paint step.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    void PaintOn(TCanvas& canvas) override;

protected:
    virtual void Paint() {}
    // Valid during Paint only: the parent's surface moved to this control.
    TCanvas& Canvas() { return *canvas_; }

private:
    TCanvas* canvas_ = nullptr;
};
