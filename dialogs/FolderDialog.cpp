#include "dialogs/FolderDialog.h"

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include "base/LateBound.h"
#include "base/ScopeGuard.h"
#include "base/UniqueHandle.h"
#include "framework/Barrier.h"

namespace {
const TLateBound<decltype(SHBrowseForFolderA)> kBrowseForFolder{"shell32.dll", "SHBrowseForFolderA"};
const TLateBound<decltype(SHGetPathFromIDListA)> kPathFromIdList{"shell32.dll", "SHGetPathFromIDListA"};
}  // namespace

TFolderDialog::TFolderDialog(TComponent* owner) : TCommonDialog(owner) { SetClassName("TFolderDialog"); }

bool TFolderDialog::Execute() {
    // The picker with the new-folder button wants the thread in a single-threaded apartment.
    const HRESULT ole = OleInitialize(nullptr);
    ScopeGuard oleEnd([ole] {
        if (SUCCEEDED(ole)) OleUninitialize();
    });
    char shown[MAX_PATH] = {};
    BROWSEINFOA info{};
    info.pszDisplayName = shown;
    info.lpszTitle = title_.empty() ? nullptr : title_.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);
    UniqueHandle<PIDLIST_ABSOLUTE, CoTaskMemFree> chosen;
    {
        TModalScope modal;
        BeginRun(modal);
        info.hwndOwner = FormWindow();
        chosen.Reset(kBrowseForFolder(&info));
    }
    char path[MAX_PATH] = {};
    if (!chosen || !kPathFromIdList(chosen.Get(), path)) return false;
    folder_ = path;
    return true;
}

int CALLBACK TFolderDialog::BrowseCallback(HWND wnd, UINT msg, LPARAM, LPARAM data) {
    return CallbackBarrier(0, [&] {
        if (msg != BFFM_INITIALIZED) return 0;
        auto* self = reinterpret_cast<TFolderDialog*>(data);
        self->Attach(wnd);
        self->CenterWindow(wnd);
        if (!self->folder_.empty())
            SendMessageA(wnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(self->folder_.c_str()));
        self->DoShow();
        return 0;
    });
}
