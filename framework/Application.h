#pragma once
// The application object: the message loop of the one GUI thread, the box that
// shows an escaped exception, and the hint window.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "framework/Control.h"

class TForm;
class THintWindow;

// The box text for an exception message: a "." is appended unless the message
// is empty or already ends in a character that sorts at or before ".".
std::string ExceptionBoxText(const std::string& message);
// The title for an executable path: the file name up to its first ".", every
// character after the first in lower case.
std::string TitleFromExeName(const std::string& path);

// How long one step of idle work should run: long enough that the platform's
// per-call costs do not dominate, short enough that a click or a paint waiting
// behind it goes unnoticed.
constexpr double kIdleStepMilliseconds = 25;
// A steady clock for sizing those steps, in milliseconds.
double IdleClockMilliseconds();

class TApplication {
public:
    TApplication();
    ~TApplication();

    void Initialize();
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }

    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form);
    // Shows the main form and runs the message loop until it closes.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles every waiting message, then returns.
    void ProcessMessages();

    // Long work in small steps that the message loop runs whenever no message
    // waits, so the window keeps answering: `step` is called until it returns
    // false or the work is cancelled. One piece of work per owner; starting
    // another replaces the owner's old one at once.
    void StartIdleWork(const void* owner, std::function<bool()> step);
    void CancelIdleWork(const void* owner);
    bool IdleWorkPending() const { return !idleWork_.empty(); }
    // Runs one step of every piece of waiting work; false when none is left.
    bool DoIdleWork();

    // Shows the exception in the box (or the sink); never throws.
    void HandleException(std::exception_ptr error) noexcept;
    void ShowException(const std::string& message);
    // Replaces the exception box (tests watch what would have been shown).
    void SetExceptionSink(std::function<void(const std::string& text)> sink) { sink_ = std::move(sink); }

    // Hints: the framework reports where the mouse is.
    void HintMouseMove(TControl* control);
    void HintMouseLeave(TControl* control);
    void HintCancel();
    // Forgets a control that is going away.
    void ControlDestroyed(TControl* control);
    THintWindow* HintWindow() const { return hint_.get(); }
    int HintPause = 500;
    int HintHidePause = 2500;

    // The screen cursor that overrides every control's own (crDefault for none).
    TCursor ScreenCursor() const { return screenCursor_; }
    void SetScreenCursor(TCursor cursor);

private:
    static LRESULT CALLBACK UtilityProc(HWND, UINT, WPARAM, LPARAM);
    // Alt with a character goes to the form's controls before the platform sees it.
    bool IsAccelerator(const MSG& msg);
    // A pressed key goes to a form that previews keys before its control sees it.
    bool IsPreviewedKey(const MSG& msg);
    void ShowHintNow();

    std::string title_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    UniqueHandle<HWND, DestroyWindow> utility_;
    std::unique_ptr<THintWindow> hint_;
    TControl* hintControl_ = nullptr;
    bool hintShown_ = false;
    TCursor screenCursor_ = crDefault;
    std::function<void(const std::string&)> sink_;
    struct TIdleWork {
        const void* owner;
        unsigned long long serial;
        std::function<bool()> step;
    };
    std::vector<TIdleWork> idleWork_;
    unsigned long long idleSerial_ = 0;
};

extern TApplication Application;
