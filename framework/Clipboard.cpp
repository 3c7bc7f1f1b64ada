#include "framework/Clipboard.h"

#include "base/Exceptions.h"
#include "base/PlatformError.h"
#include "base/ResStrings.h"
#include "base/ScopeGuard.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "graphics/GdiObject.h"
#include "graphics/Picture.h"
#include "resources/StringIds.h"

namespace {
// Closes the use on every way out of a copy.
auto ClipboardUse(TClipboard& clipboard) {
    return BeginEnd(clipboard, &TClipboard::BeginClipboardUse, &TClipboard::EndClipboardUse);
}
}  // namespace

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

TClipboard::~TClipboard() {
    if (openCount_ > 0) {
        openCount_ = 1;
        EndClipboardUse();
    }
}

void TClipboard::BeginClipboardUse() {
    if (openCount_ == 0) {
        TForm* form = Application.MainForm();
        HWND owner = form && form->HandleAllocated() ? form->WindowHandle() : nullptr;
        UniqueHandle<HWND, DestroyWindow> made;
        if (!owner) {
            // Message-only: never shown, and invisible to window enumeration.
            made.Reset(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                       GetModuleHandleA(nullptr), nullptr));
            if (!made) RaiseLastPlatformError();
            owner = made.Get();
        }
        // Another program holding the clipboard is reported, not waited for.
        if (!OpenClipboard(owner)) throw Exception(LoadStr(SCannotOpenClipboard));
        owner_ = owner;
        ownWindow_ = std::move(made);
        emptied_ = false;
    }
    ++openCount_;
}

void TClipboard::EndClipboardUse() noexcept {
    if (openCount_ == 0) return;
    if (--openCount_ > 0) return;
    CloseClipboard();
    ownWindow_.Reset();
    owner_ = nullptr;
}

void TClipboard::EmptyClipboardOnce() {
    if (openCount_ == 0 || emptied_) return;
    {
        auto use = ClipboardUse(*this);
        EmptyClipboard();
    }
    emptied_ = true;
}

void TClipboard::PutPicture(TPicture* picture) { PutPicture(picture ? picture->Content() : nullptr); }

void TClipboard::PutPicture(TGraphic* graphic) {
    auto use = ClipboardUse(*this);
    EmptyClipboardOnce();
    UINT format = 0;
    GdiBitmap image;
    GdiPalette palette;
    if (graphic) graphic->SaveToClipboardFormat(format, image, palette);
    // Placing no data would promise rendering later, which this program never does.
    if (image && SetClipboardData(format, image.Get())) image.Release();
    if (palette && SetClipboardData(CF_PALETTE, palette.Get())) palette.Release();
}
