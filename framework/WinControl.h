#pragma once
// Windowed controls: each owns one platform window and lays out its children.
// The class is split by concern: WinControl.cpp (the window procedure, creation,
// the child list), WinControlLayout.cpp, WinControlPaint.cpp, WinControlMouse.cpp
// (hover, capture, cursors) and WinControlReflect.cpp.
#include <windows.h>

#include <vector>

#include "framework/Control.h"

// Messages that a parent reflects back to the child they concern.
constexpr UINT CN_BASE = WM_APP + 0x3000;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
constexpr UINT CN_CTLCOLOR = CN_BASE + WM_CTLCOLORLISTBOX;
// Posted by a control to itself: what changed while its drawing was held is drawn once.
constexpr UINT CM_RELEASEREDRAW = WM_APP + 0x3400;

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

struct TCreateParams {
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parentWindow = nullptr;
    // The platform class this control's window class is made from, or empty
    // for a plain window of our own.
    std::string baseClass;
    UINT classStyle = CS_DBLCLKS;
    HBRUSH background = nullptr;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    bool IsWindowed() const override { return true; }

    HWND Handle();  // creates the window when needed
    HWND WindowHandle() const { return handle_; }
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    void RecreateWnd();
    static TWinControl* FromHandle(HWND wnd);

    const std::vector<TControl*>& Controls() const { return controls_; }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // The topmost visible child under a client point, windowless ones included.
    TControl* ControlAtPos(POINT point, bool allowDisabled) const;

    // Lays out docked children: top, bottom, left, right in creation order, then client.
    void AlignControls();
    // The rectangle docked children share: the client area less the borders.
    virtual RECT AlignRect() const { return ClientRect(); }
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();

    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order) { tabOrder_ = order; }
    bool TabStop() const { return tabStop_; }

    void Invalidate() override;
    void Update() override;
    // Stops the window drawing at the first hold; the last release lets it draw
    // again, the whole window at once. Holds nest.
    void HoldRedraw();
    void ReleaseRedraw();
    // One hold, released when the program next waits for messages, for
    // changes that would each make the platform draw the window again at once.
    void HoldRedrawUntilIdle();
    // Erased and painted in a bitmap that reaches the screen in one copy, so
    // the bare background never shows between erasing and painting.
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    bool Focused() const;
    void SetFocus();

    void SysColorChanged() override;
    bool DialogChar(char key) override;

    // Every message of the window comes here first.
    virtual void WndProc(TMessage& message);
    // The platform's own handling of a message.
    void DefaultHandler(TMessage& message);

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    virtual void CreateParams(TCreateParams& params);
    // Makes the window; derived classes add what follows creation.
    virtual void CreateWnd();
    // Tears the window down; derived classes save what the window held first.
    virtual void DestroyWnd();
    // Paints the control itself on the paint context; windowless children follow.
    virtual void PaintWindow(HDC dc);
    // Fills the background on WM_ERASEBKGND; false leaves it to the platform.
    virtual bool EraseBackground(HDC dc);
    void PaintControls(HDC dc, TControl* first);
    void BoundsChanged() override;
    void TextChanged() override;
    void EnabledChanged() override;
    void VisibleChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void UpdateShowing();
    // When set, WM_ERASEBKGND and WM_PAINT run through our own painting.
    bool ownPaint_ = true;
    bool tabStop_ = false;

private:
    friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
    void CreateHandle();
    void DestroyHandle();
    // Each answers its messages and returns true when the platform must not see them.
    bool ReflectToChild(TMessage& message);
    bool PaintMessage(TMessage& message);   // WM_ERASEBKGND, WM_PAINT
    // Erases and paints what lies in `dc`'s clip, as the two messages do on the window.
    void EraseAndPaint(HDC dc);
    void PaintBuffered(HDC dc, const RECT& area);
    bool CursorMessage(TMessage& message);  // WM_SETCURSOR
    void MouseMessage(TMessage& message);   // moves, buttons, leaving; the platform sees them too
    void MouseLeftWindow();
    void MouseMovedOver(TControl* under);
    void TrackMouseOver(TControl* control);
    // Drops a child that is going from the hover and capture state.
    void ForgetMouseControl(TControl* control);

    HWND handle_ = nullptr;
    WNDPROC defaultProc_ = nullptr;
    std::vector<TControl*> controls_;
    int tabOrder_ = -1;
    int alignDisabled_ = 0;
    bool aligning_ = false;
    bool destroyingHandle_ = false;
    int redrawHolds_ = 0;
    bool idleHold_ = false;
    bool doubleBuffered_ = false;
    TControl* mouseControl_ = nullptr;    // windowless child that has the mouse over it
    TControl* captureControl_ = nullptr;  // windowless child holding the mouse
    bool trackingLeave_ = false;
    bool mouseInside_ = false;
};

// Lends a context the platform gave us to a canvas until the end of the scope.
class BorrowedDC {
public:
    BorrowedDC(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.SetHandle(dc); }
    ~BorrowedDC() { canvas_.SetHandle(nullptr); }
    BorrowedDC(const BorrowedDC&) = delete;
    BorrowedDC& operator=(const BorrowedDC&) = delete;

private:
    TCanvas& canvas_;
};

// A windowed control that paints itself on its own canvas.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    TCanvas& Canvas() { return canvas_; }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    TCanvas canvas_;
};

// Called after every message a windowed control handled, once the outermost
// handler is done; the picture module hands back its memory contexts here.
void SetAfterMessageHook(std::function<void()> hook);
// Runs the hook as after a message, for work done outside any message.
void RunAfterMessageHook();
