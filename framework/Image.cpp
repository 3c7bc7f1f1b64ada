#include "framework/Image.h"

#include "base/PropertyValue.h"
#include "base/ScopeGuard.h"
#include "framework/WinControl.h"
#include "graphics/Icon.h"

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetClassName("TImage");
    ControlStyle |= csClickEvents | csReplicatable;
    SetBounds(0, 0, 105, 105);
    picture_.OnChange = [this](TObject*) { PictureChanged(); };
    picture_.OnProgress = [this](TObject* s, TProgressStage st, unsigned char p, bool r, const RECT& rc,
                                 const std::string& m) { PictureProgress(s, st, p, r, rc, m); };
}

TImage::~TImage() {
    picture_.OnChange = nullptr;
    picture_.OnProgress = nullptr;
}

void TImage::SetCenter(bool value) {
    if (value == center_) return;
    center_ = value;
    PictureChanged();
}

void TImage::SetStretch(bool value) {
    if (value == stretch_) return;
    stretch_ = value;
    PictureChanged();
}

void TImage::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    PictureChanged();
}

void TImage::SetProportional(bool value) {
    if (value == proportional_) return;
    proportional_ = value;
    PictureChanged();
}

RECT TImage::DestRect() {
    int w = picture_.Width(), h = picture_.Height();
    int cw = ClientWidth(), ch = ClientHeight();
    if (stretch_ || (proportional_ && (w > cw || h > ch))) {
        if (proportional_ && w > 0 && h > 0) {
            double aspect = static_cast<double>(w) / h;
            if (w > h) {
                w = cw;
                h = static_cast<int>(cw / aspect);
                if (h > ch) {
                    h = ch;
                    w = static_cast<int>(ch * aspect);
                }
            } else {
                h = ch;
                w = static_cast<int>(ch * aspect);
                if (w > cw) {
                    w = cw;
                    h = static_cast<int>(cw / aspect);
                }
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    RECT r{0, 0, w, h};
    if (center_) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
    return r;
}

HPALETTE TImage::Palette() { return picture_.Content() ? picture_.Content()->Palette() : nullptr; }

void TImage::Paint() {
    bool wasDrawing = drawing_;
    drawing_ = true;
    ScopeGuard restore([&] { drawing_ = wasDrawing; });
    Canvas().DrawInRect(DestRect(), picture_.Content());
}

bool TImage::DoPaletteChange() {
    TGraphic* g = picture_.Content();
    if (!Visible() || Loading() || !g || !g->PaletteChanged) return false;
    if (!g->Palette()) {
        g->PaletteChanged = false;
        return false;
    }
    TWinControl* form = TopLevel();
    if (!form || !form->WindowHandle() || GetActiveWindow() != form->WindowHandle()) return false;
    if (drawing_) SendMessageA(form->WindowHandle(), WM_QUERYNEWPALETTE, 0, 0);
    else PostMessageA(form->WindowHandle(), WM_QUERYNEWPALETTE, 0, 0);
    g->PaletteChanged = false;
    return true;
}

void TImage::PictureChanged() {
    TGraphic* g = picture_.Content();
    if (AutoSize() && picture_.Width() > 0 && picture_.Height() > 0)
        SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
    if (g) {
        if (!dynamic_cast<TIcon*>(g) && g->Transparent() != transparent_) {
            g->SetTransparent(transparent_);  // notifies again, which runs all of this anew
            return;
        }
        SetOpaque(!g->Transparent() && stretch_ && !proportional_);
        if (DoPaletteChange() && drawing_) Update();
    } else {
        SetOpaque(false);
    }
    if (!drawing_) Invalidate();
}

bool TImage::CanAutoSize(int& width, int& height) {
    if (picture_.Width() <= 0 || picture_.Height() <= 0) return true;
    if (Align() == TAlign::alNone || Align() == TAlign::alLeft || Align() == TAlign::alRight)
        width = picture_.Width();
    if (Align() == TAlign::alNone || Align() == TAlign::alTop || Align() == TAlign::alBottom)
        height = picture_.Height();
    return true;
}

void TImage::PictureProgress(TObject* sender, TProgressStage stage, unsigned char percent, bool redrawNow,
                             const RECT& rect, const std::string& message) {
    if (redrawNow && incrementalDisplay_) {
        if (DoPaletteChange()) Update();
        else Repaint();
    }
    if (OnProgress) OnProgress(sender, stage, percent, redrawNow, rect, message);
}

bool TImage::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Center") SetCenter(value.AsBoolean());
    else if (name == "Stretch") SetStretch(value.AsBoolean());
    else if (name == "Transparent") SetTransparent(value.AsBoolean());
    else if (name == "Proportional") SetProportional(value.AsBoolean());
    else if (name == "IncrementalDisplay") SetIncrementalDisplay(value.AsBoolean());
    else if (name == "Picture.Data") picture_.ReadData(value.AsBinary());
    else return TGraphicControl::SetProperty(name, value, reader);
    return true;
}
