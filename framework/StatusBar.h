#pragma once
// The platform status bar with panels of set widths; the last panel reaches the right end.
#include <vector>

#include "framework/WinControl.h"

class TStatusBar : public TWinControl {
public:
    explicit TStatusBar(TComponent* owner);

    int PanelCount() const { return static_cast<int>(panels_.size()); }
    void SetPanelCount(int count);
    int PanelWidth(int index) const { return panels_.at(index).width; }
    void SetPanelWidth(int index, int width);
    const std::string& PanelText(int index) const { return panels_.at(index).text; }
    void SetPanelText(int index, const std::string& text);
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value);
    // The panel's rectangle as the platform laid it out (empty without a window).
    RECT PanelRect(int index) const;

    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void BoundsChanged() override;

private:
    struct Panel {
        int width = 50;
        std::string text;
    };
    void UpdateParts();
    Panel& PanelAt(int index);

    std::vector<Panel> panels_;
    bool simplePanel_ = false;
};
