#pragma once
// The process's clipboard object: puts pictures on the system clipboard. The
// system clipboard is held only while one copy runs; nested uses count, and
// only the outermost open and close reach the platform.
#include <windows.h>

#include "base/UniqueHandle.h"

class TGraphic;
class TPicture;

class TClipboard {
public:
    TClipboard() = default;
    ~TClipboard();
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    // Empties the system clipboard and places the picture's image (nothing
    // for a picture without one). Raises when the clipboard cannot be opened
    // or the copy cannot be made; the clipboard is closed again either way.
    void PutPicture(TPicture* picture);
    void PutPicture(TGraphic* graphic);

    // The counted open: the outermost one opens the system clipboard, once,
    // without waiting, and raises when another program holds it.
    void BeginClipboardUse();
    // The counted close; never raises. More closes than opens do nothing.
    void EndClipboardUse() noexcept;
    // Empties the system clipboard at most once per open period.
    void EmptyClipboardOnce();

    int OpenCount() const { return openCount_; }
    // The window the system clipboard was opened with; null while not held.
    HWND OwnerWindow() const { return owner_; }

private:
    int openCount_ = 0;
    HWND owner_ = nullptr;
    // The hidden window made when the program has no window of its own.
    UniqueHandle<HWND, DestroyWindow> ownWindow_;
    bool emptied_ = false;
};

// The one clipboard object, made on the first call.
TClipboard& Clipboard();
