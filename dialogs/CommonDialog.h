#pragma once
// What every platform dialog of the program shares: the run with the program's
// other windows disabled, the dialog window taken over while it is open (its
// messages come to the object first), and centring on the active form's monitor.
#include <windows.h>

#include <vector>

#include "base/Component.h"
#include "framework/WinControl.h"

// Disables the visible, enabled top-level windows of this thread for its
// lifetime; afterwards enables them again and gives the active window and the
// focus back to the windows that had them, whichever way the scope is left.
class TModalScope {
public:
    TModalScope();
    ~TModalScope();
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;

    // The window that was active when the scope began.
    HWND ActiveWindow() const { return active_; }

private:
    static BOOL CALLBACK DisableOne(HWND wnd, LPARAM scope);

    HWND active_;
    HWND focus_;
    std::vector<HWND> disabled_;
};

class TCommonDialog : public TComponent {
public:
    explicit TCommonDialog(TComponent* owner);
    ~TCommonDialog() override;

    // Runs the dialog; true when the user confirmed it.
    virtual bool Execute() = 0;

    // The dialog window while it is open, else null.
    HWND Handle() const { return handle_; }

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    // The program's form that was active when the run began (the main form
    // when none was), or null: the owner of the dialog and the monitor it centres on.
    HWND FormWindow() const { return formWindow_; }
    // Remembers the form of the run that begins under `scope`.
    void BeginRun(const TModalScope& scope);

    // Makes `wnd` the dialog window: its messages go through WndProc from now
    // on, until the window is destroyed.
    void Attach(HWND wnd);
    // Centred across the monitor of FormWindow() (the primary monitor without
    // one), a third of the free height down, never above or left of the monitor.
    void CenterWindow(HWND wnd) const;

    // Every message of the dialog window; the default is the window's own handling.
    virtual void WndProc(TMessage& message);
    void DefaultHandler(TMessage& message);
    // The dialog is on the screen and set up.
    virtual void DoShow();
    // The dialog window is going away.
    virtual void DoClose();

private:
    static LRESULT CALLBACK DialogWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    WNDPROC previousProc_ = nullptr;
    HWND formWindow_ = nullptr;
};
