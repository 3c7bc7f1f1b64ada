#pragma once
// The small pop-up that shows a control's hint near the mouse pointer.
#include "framework/WinControl.h"

class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* owner);
    // Shows `text` with its top-left corner at the screen point.
    void ActivateHint(POINT screenPoint, const std::string& text);
    void ReleaseHint();
    bool Active() const { return active_; }
    // The size the text needs, borders included.
    SIZE CalcHintSize(const std::string& text);

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void WndProc(TMessage& message) override;

private:
    bool active_ = false;
};
