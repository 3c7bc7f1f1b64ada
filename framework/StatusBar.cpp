#include "framework/StatusBar.h"

#include <commctrl.h>

#include "base/Exceptions.h"
#include "base/PropertyValue.h"
#include "base/ResStrings.h"
#include "resources/StringIds.h"

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
    SetClassName("TStatusBar");
    ownPaint_ = false;
    SetBounds(0, 0, 200, 19);
    SetAlign(TAlign::alBottom);
}

void TStatusBar::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.baseClass = STATUSCLASSNAMEA;
    // We place it ourselves; the platform must not move or size it.
    params.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
}

void TStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateParts();
}

void TStatusBar::BoundsChanged() {
    TWinControl::BoundsChanged();
    UpdateParts();
}

TStatusBar::Panel& TStatusBar::PanelAt(int index) {
    if (index < 0) throw EInvalidOperation(LoadStr(SInvalidPropertyValue));
    if (index >= PanelCount()) panels_.resize(index + 1);
    return panels_[index];
}

void TStatusBar::SetPanelCount(int count) {
    panels_.resize(count < 0 ? 0 : count);
    UpdateParts();
}

void TStatusBar::SetPanelWidth(int index, int width) {
    PanelAt(index).width = width;
    UpdateParts();
}

void TStatusBar::SetPanelText(int index, const std::string& text) {
    PanelAt(index).text = text;
    if (!WindowHandle() || simplePanel_) return;
    // The platform paints the bar at once for every new text.
    HoldRedrawUntilIdle();
    SendMessageA(WindowHandle(), SB_SETTEXTA, index, reinterpret_cast<LPARAM>(panels_[index].text.c_str()));
}

void TStatusBar::SetSimplePanel(bool value) {
    simplePanel_ = value;
    if (WindowHandle()) SendMessageA(WindowHandle(), SB_SIMPLE, value, 0);
}

void TStatusBar::UpdateParts() {
    HWND wnd = WindowHandle();
    if (!wnd) return;
    std::vector<int> rights;
    int right = 0;
    for (const Panel& p : panels_) {
        right += p.width;
        rights.push_back(right);
    }
    if (!rights.empty()) rights.back() = -1;  // the last panel takes the rest of the bar
    if (rights.empty()) rights.push_back(-1);
    SendMessageA(wnd, SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    for (size_t i = 0; i < panels_.size(); ++i)
        SendMessageA(wnd, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(panels_[i].text.c_str()));
    SendMessageA(wnd, SB_SIMPLE, simplePanel_, 0);
}

RECT TStatusBar::PanelRect(int index) const {
    RECT r{};
    if (WindowHandle()) SendMessageA(WindowHandle(), SB_GETRECT, index, reinterpret_cast<LPARAM>(&r));
    return r;
}

bool TStatusBar::SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) {
    // Panels are written "Panels.<index>.Width" and "Panels.<index>.Text".
    if (name.compare(0, 7, "Panels.") == 0) {
        size_t dot = name.find('.', 7);
        if (dot == std::string::npos) return false;
        int index = std::atoi(name.substr(7, dot - 7).c_str());
        std::string field = name.substr(dot + 1);
        if (field == "Width") SetPanelWidth(index, value.AsInt());
        else if (field == "Text") SetPanelText(index, value.AsString());
        else return false;
        return true;
    }
    if (name == "SimplePanel") SetSimplePanel(value.AsBoolean());
    else return TWinControl::SetProperty(name, value, reader);
    return true;
}
