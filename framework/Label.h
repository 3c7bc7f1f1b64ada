#pragma once
// A windowless line of text drawn on its parent; sized to its text when AutoSize is set.
#include "framework/Control.h"

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    bool CanAutoSize(int& width, int& height) override;
};
