#pragma once
// The bases of the icon list view: a windowed control whose items the platform
// keeps, and one that may select more than one of them.
#include "framework/WinControl.h"

class TCustomListControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    virtual int ItemCount() const = 0;
    // The selected item's position, -1 when none is selected.
    virtual int SelectedPosition() const = 0;
};

class TCustomMultiSelectListControl : public TCustomListControl {
public:
    using TCustomListControl::TCustomListControl;
    bool MultiSelect() const { return multiSelect_; }

protected:
    bool multiSelect_ = false;
};
