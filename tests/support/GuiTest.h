#pragma once
// Helpers for tests that drive real windows.
#include <windows.h>

#include <functional>
#include <string>

#include "framework/Form.h"
#include "tests/support/ErrorText.h"

// Handles every waiting message, for at least `ms` milliseconds.
void PumpMessages(int ms = 0);
// Pumps messages until `done` holds or `ms` pass; returns whether it held.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000);

// The colour of a client pixel of a window as the screen shows it.
COLORREF WindowPixel(HWND wnd, int x, int y);
std::string WindowText(HWND wnd);

// A plain form for tests: a top-level window of the given client size, shown.
class TTestForm : public TForm {
public:
    explicit TTestForm(int clientWidth = 400, int clientHeight = 300);
    // Makes the name a handler of `event` in descriptions read into this form.
    template <typename Event>
    void AddHandler(const std::string& name, Event event) {
        RegisterHandler(name, std::move(event));
    }
};

// A visible top-level window of the process with that class name, or null.
HWND FindProcessWindow(DWORD pid, const char* className);

// Clicks a client point of a window with a real press and release.
void ClickAt(HWND wnd, int x, int y);
// Sends a mouse message with the point in client coordinates.
void SendMouse(HWND wnd, UINT msg, int x, int y, WPARAM keys = 0);

// Runs `watch` on another thread while `work` runs here; the watcher typically
// finds and closes a modal box. Returns what the watcher saw.
std::string WhileWatching(const std::function<void()>& work, const std::function<std::string()>& watch);
