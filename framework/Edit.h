#pragma once
// The platform's single-line edit box.
#include "framework/WinControl.h"

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);
    std::string Text() const;
    void SetText(const std::string& text);
    void SelectAll();
    // The selected character range, for callers that check what is selected.
    std::pair<int, int> Selection() const;

protected:
    void CreateParams(TCreateParams& params) override;
};
