#include "framework/Control.h"

#include "base/Exceptions.h"
#include "base/GbkText.h"
#include "framework/Application.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "base/ScopeGuard.h"
#include "framework/WinControl.h"
#include "resources/StringIds.h"

bool IdentToCursor(const std::string& name, TCursor& cursor) {
    static const struct {
        const char* name;
        TCursor value;
    } names[] = {{"crDefault", crDefault},   {"crArrow", crArrow},     {"crHourGlass", crHourGlass},
                 {"crHSplit", crHSplit},     {"crAppStart", crAppStart}, {"crHandPoint", crHandPoint}};
    for (const auto& n : names)
        if (name == n.name) {
            cursor = n.value;
            return true;
        }
    return false;
}

bool IsAccel(char key, const std::string& caption) {
    // "&&" is a plain '&' and skipped whole; a trail byte is never taken for '&'.
    bool afterAmpersand = false, found = false, matches = false;
    ForEachChar(caption, [&](size_t i, bool single) {
        if (found) return;
        if (afterAmpersand) {
            afterAmpersand = false;
            if (single && caption[i] == '&') return;
            found = true;
            if (!single) return;
            char pair[2] = {caption[i], key};
            CharUpperBuffA(pair, 2);
            matches = pair[0] == pair[1];
            return;
        }
        if (single && caption[i] == '&') afterAmpersand = true;
    });
    return matches;
}

HCURSOR CursorHandle(TCursor cursor) {
    LPCSTR id = IDC_ARROW;
    switch (cursor) {
    case crHourGlass: id = IDC_WAIT; break;
    case crHSplit: id = IDC_SIZEWE; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHandPoint: id = IDC_HAND; break;
    default: break;
    }
    return LoadCursorA(nullptr, id);
}

void TControl::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    TWinControl* window = IsWindowed() ? static_cast<TWinControl*>(this) : Parent();
    POINT at;
    if (!window || !window->WindowHandle() || !GetCursorPos(&at) || WindowFromPoint(at) != window->WindowHandle())
        return;
    SendMessageA(window->WindowHandle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window->WindowHandle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

TControl::TControl(TComponent* owner) : TComponent(owner) {
    SetClassName("TControl");
    Font.OnChange = [this](TObject*) {
        if (!updatingFont_) parentFont_ = false;
        FontChanged();
    };
}

TControl::~TControl() {
    Application.ControlDestroyed(this);
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    if (!IsWindowed()) Invalidate();  // the old place needs the parent's paint
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged();
    if (!IsWindowed()) Invalidate();
    RequestAlign();
}

void TControl::RequestAlign() {
    if (parent_ && !Loading()) parent_->AlignControls();
}

int TControl::ClientWidth() const {
    RECT r = ClientRect();
    return r.right - r.left;
}

int TControl::ClientHeight() const {
    RECT r = ClientRect();
    return r.bottom - r.top;
}

POINT TControl::ClientToScreen(POINT point) const {
    if (IsWindowed()) {
        HWND wnd = static_cast<const TWinControl*>(this)->WindowHandle();
        if (wnd) ::ClientToScreen(wnd, &point);
        return point;
    }
    point.x += left_;
    point.y += top_;
    return parent_ ? parent_->ClientToScreen(point) : point;
}

POINT TControl::ScreenToClient(POINT point) const {
    if (IsWindowed()) {
        HWND wnd = static_cast<const TWinControl*>(this)->WindowHandle();
        if (wnd) ::ScreenToClient(wnd, &point);
        return point;
    }
    if (parent_) point = parent_->ScreenToClient(point);
    point.x -= left_;
    point.y -= top_;
    return point;
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    if (value) AdjustSize();
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::AdjustSize() {
    if (!autoSize_ || Loading()) return;
    int w = width_, h = height_;
    if (CanAutoSize(w, h)) SetBounds(left_, top_, w, h);
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    if (!IsWindowed()) Invalidate();
    visible_ = value;
    VisibleChanged();
    if (!IsWindowed()) Invalidate();
    RequestAlign();
}

void TControl::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    EnabledChanged();
}

void TControl::SetCaption(const std::string& text) {
    if (text == caption_) return;
    caption_ = text;
    TextChanged();
    Invalidate();
}

void TControl::SetShowHint(bool value) {
    showHint_ = value;
    parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool value) { parentShowHint_ = value; }

bool TControl::ShowHint() const {
    if (parentShowHint_ && parent_) return parent_->ShowHint();
    return showHint_;
}

void TControl::SetParentFont(bool value) {
    if (value == parentFont_) return;
    parentFont_ = value;
    if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    updatingFont_ = true;
    Font.Assign(parent_->Font);
    updatingFont_ = false;
}

void TControl::SetColor(TColor color) {
    parentColor_ = false;
    if (color == color_) return;
    color_ = color;
    ColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_) return;
    if (color_ == parent_->Color()) return;
    color_ = parent_->Color();
    ColorChanged();
}

void TControl::SetOpaque(bool opaque) {
    if (opaque == HasStyle(csOpaque)) return;
    if (opaque) ControlStyle |= csOpaque;
    else ControlStyle &= ~csOpaque;
    Invalidate();
}

TWinControl* TControl::TopLevel() const {
    const TControl* c = this;
    while (c->parent_) c = c->parent_;
    return c->IsWindowed() ? static_cast<TWinControl*>(const_cast<TControl*>(c)) : nullptr;
}

bool TControl::Showing() const {
    if (!visible_) return false;
    if (!parent_) {
        if (!IsWindowed()) return false;
        HWND wnd = static_cast<const TWinControl*>(this)->WindowHandle();
        return wnd && IsWindowVisible(wnd);
    }
    return parent_->Showing();
}

void TControl::Invalidate() {
    if (!parent_ || !visible_) return;
    HWND wnd = parent_->WindowHandle();
    if (!wnd) return;
    RECT r = BoundsRect();
    InvalidateRect(wnd, &r, !HasStyle(csOpaque));
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && HasStyle(csClickEvents)) clicking_ = true;
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
    if (button == TMouseButton::mbLeft && clicking_) {
        clicking_ = false;
        if (x >= 0 && y >= 0 && x < width_ && y < height_) Click();
    }
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::Loaded() {
    TComponent::Loaded();
    AdjustSize();
}


bool TControl::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    if (name == "Left") SetLeft(value.AsInt());
    else if (name == "Top") SetTop(value.AsInt());
    else if (name == "Width") SetWidth(value.AsInt());
    else if (name == "Height") SetHeight(value.AsInt());
    else if (name == "Align")
        SetAlign(IdentToEnum<TAlign>(value, {{"alNone", TAlign::alNone}, {"alTop", TAlign::alTop},
                                             {"alBottom", TAlign::alBottom}, {"alLeft", TAlign::alLeft},
                                             {"alRight", TAlign::alRight}, {"alClient", TAlign::alClient}}));
    else if (name == "AutoSize") SetAutoSize(value.AsBoolean());
    else if (name == "Visible") SetVisible(value.AsBoolean());
    else if (name == "Enabled") SetEnabled(value.AsBoolean());
    else if (name == "Caption") SetCaption(value.AsString());
    else if (name == "Hint") SetHint(value.AsString());
    else if (name == "ShowHint") SetShowHint(value.AsBoolean());
    else if (name == "ParentShowHint") SetParentShowHint(value.AsBoolean());
    else if (name == "ParentFont") SetParentFont(value.AsBoolean());
    else if (name == "Font.Name") Font.SetName(value.AsString());
    else if (name == "Font.Height") Font.SetHeight(value.AsInt());
    else if (name == "Font.Charset") {
        int charset = DEFAULT_CHARSET;
        if (value.kind == TPropertyValue::Kind::Integer) charset = value.AsInt();
        else if (value.AsIdentifier() == "GB2312_CHARSET") charset = GB2312_CHARSET;
        else if (value.AsIdentifier() == "DEFAULT_CHARSET") charset = DEFAULT_CHARSET;
        else if (value.AsIdentifier() == "ANSI_CHARSET") charset = ANSI_CHARSET;
        else throw EReadError(LoadStr(SInvalidPropertyValue));
        Font.SetCharset(charset);
    } else if (name == "Font.Color" || name == "Color") {
        TColor color = ColorProperty(value);
        if (name == "Color") SetColor(color);
        else Font.SetColor(color);
    } else if (name == "Font.Style") {
        Font.SetStyle(SetToFlags<uint8_t>(
            value, {{"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}}));
    } else if (name == "Cursor") {
        TCursor cursor = crDefault;
        if (!IdentToCursor(value.AsIdentifier(), cursor)) throw EReadError(LoadStr(SInvalidPropertyValue));
        SetCursor(cursor);
    } else if (name == "OnClick") OnClick = reader.Handler(value);
    else if (name == "OnDblClick") OnDblClick = reader.Handler(value);
    else return TComponent::SetProperty(name, value, reader);
    return true;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) { SetClassName("TGraphicControl"); }

void TGraphicControl::PaintOn(TCanvas& canvas) {
    canvas.Font.Assign(Font);
    canvas.Brush.SetColor(Color());
    canvas_ = &canvas;
    ScopeGuard reset([this] { canvas_ = nullptr; });
    Paint();
}
