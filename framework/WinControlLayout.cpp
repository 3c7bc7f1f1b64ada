// Docking the children and keeping the window where the control says it is.
#include "framework/WinControl.h"

#include <algorithm>

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0) AlignControls();
}

void TWinControl::AlignControls() {
    if (alignDisabled_ || aligning_ || Loading()) return;
    aligning_ = true;
    RECT r = AlignRect();
    const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};
    for (TAlign kind : order) {
        for (TControl* c : controls_) {
            if (!c->Visible() || c->Align() != kind) continue;
            int w = std::max(0L, r.right - r.left), h = std::max(0L, r.bottom - r.top);
            switch (kind) {
            case TAlign::alTop:
                c->SetBounds(r.left, r.top, w, c->Height());
                r.top += c->Height();
                break;
            case TAlign::alBottom:
                c->SetBounds(r.left, r.bottom - c->Height(), w, c->Height());
                r.bottom -= c->Height();
                break;
            case TAlign::alLeft:
                c->SetBounds(r.left, r.top, c->Width(), h);
                r.left += c->Width();
                break;
            case TAlign::alRight:
                c->SetBounds(r.right - c->Width(), r.top, c->Width(), h);
                r.right -= c->Width();
                break;
            default:
                c->SetBounds(r.left, r.top, w, h);
                break;
            }
        }
    }
    aligning_ = false;
}

RECT TWinControl::ClientRect() const {
    if (handle_) {
        RECT r;
        GetClientRect(handle_, &r);
        return r;
    }
    return TControl::ClientRect();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
}

void TWinControl::BoundsChanged() {
    if (handle_) {
        RECT r;
        GetWindowRect(handle_, &r);
        HWND parentWnd = GetParent(handle_);
        MapWindowPoints(nullptr, parentWnd, reinterpret_cast<POINT*>(&r), 2);
        if (r.left != Left() || r.top != Top() || r.right - r.left != Width() || r.bottom - r.top != Height())
            SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    AlignControls();
}
