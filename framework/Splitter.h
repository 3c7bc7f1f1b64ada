#pragma once
// A bar between two docked controls; dragging it resizes the control docked before it.
#include "framework/Control.h"

enum class TResizeStyle { rsNone, rsLine, rsUpdate };

class TSplitter : public TGraphicControl {
public:
    explicit TSplitter(TComponent* owner);

    bool Beveled() const { return beveled_; }
    void SetBeveled(bool value);
    TResizeStyle ResizeStyle() const { return resizeStyle_; }
    void SetResizeStyle(TResizeStyle style) { resizeStyle_ = style; }
    int MinSize() const { return minSize_; }
    void SetMinSize(int size) { minSize_ = size > 0 ? size : 1; }
    // The control this splitter resizes: the one docked on the same side just before it.
    TControl* ResizedControl() const;
    // True while a drag is under way.
    bool Dragging() const { return dragging_; }

    TNotifyEvent OnMoved;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool SetProperty(const std::string& name, const TPropertyValue& value, TPropertyReader& reader) override;

protected:
    void Paint() override;

private:
    bool Horizontal() const;  // true when it splits top from bottom
    int NewSize(int x, int y) const;
    void DrawLine();
    void ApplySize(int size);

    bool beveled_ = false;
    TResizeStyle resizeStyle_ = TResizeStyle::rsLine;
    int minSize_ = 30;
    bool dragging_ = false;
    TControl* control_ = nullptr;
    POINT down_{};
    int startSize_ = 0;
    int maxSize_ = 0;
    int newSize_ = 0;
    int linePos_ = 0;
    bool lineVisible_ = false;
};
