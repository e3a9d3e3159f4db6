#pragma once
// The progress gauge's numbers and its drawing plan, without a toolkit: the Qt gauge and the
// Win32 gauge keep their values here and paint the rectangles it gives them.
//
// The generation run keeps the event loop busy for its whole length, so a gauge paints itself
// at once whenever a setter says so; and because that costs a full paint, the setters say so
// only when what the gauge shows changes (a new shown percentage, or a new maximum).

#include <cstdint>
#include <string>

namespace tarvik {

class TGaugeModel {
public:
    int32_t MinValue() const { return min_; }
    int32_t MaxValue() const { return max_; }
    int32_t Progress() const { return progress_; }

    // A value equal to the current maximum changes nothing. Otherwise it is stored and the
    // progress is lowered to it when above it. True when the gauge must repaint.
    bool SetMaxValue(int32_t value);
    // Clamped into [minimum, maximum]. True when the shown percentage changed.
    bool SetProgress(int32_t value);

    // The whole part of 100 * (progress - min) / (max - min); 0 when max equals min.
    int PercentDone() const { return PercentFor(min_, max_, progress_); }
    static int PercentFor(int32_t minValue, int32_t maxValue, int32_t progress);

private:
    int32_t min_ = 0;
    int32_t max_ = 100;
    int32_t progress_ = 0;
};

// Where each part of the gauge goes in a control of the given size, left-top at (0, 0): a
// one-pixel frame along the edge (what `inner` leaves of the control), a white field and a
// black bar that share `inner`, and the percentage centred over `inner`, black where it lies
// on the field and white where it lies on the bar.
struct TGaugePlan {
    struct TBox {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
        bool Empty() const { return width <= 0 || height <= 0; }
    };
    TBox inner;
    TBox bar;
    TBox field;
    std::string text;  // "37%"
};

TGaugePlan PlanGauge(int width, int height, int percent);

}  // namespace tarvik
