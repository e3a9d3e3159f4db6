#pragma once
// The progress gauge: a black frame, a white field, a black bar growing from the left and
// the percentage centred over both, drawn inverted.
//
// The generation run keeps the event loop busy for its whole length, so the gauge paints
// itself synchronously; and because that costs a full paint, it does so only when what it
// shows changes (a new shown percentage, or a new maximum).

#include <QWidget>

#include <cstdint>

namespace tarvik {

class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    int32_t MinValue() const { return min_; }
    int32_t MaxValue() const { return max_; }
    int32_t Progress() const { return progress_; }

    // A value equal to the current maximum changes nothing. Otherwise it is stored, the
    // progress is lowered to it when above it, and the gauge repaints.
    void SetMaxValue(int32_t value);
    // Clamped into [minimum, maximum]; repaints only when the shown percentage changes.
    void SetProgress(int32_t value);

    // The whole part of 100 * (progress - min) / (max - min); 0 when max equals min.
    int PercentDone() const { return PercentFor(min_, max_, progress_); }
    static int PercentFor(int32_t minValue, int32_t maxValue, int32_t progress);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int32_t min_ = 0;
    int32_t max_ = 100;
    int32_t progress_ = 0;
};

}  // namespace tarvik
