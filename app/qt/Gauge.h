#pragma once
// The progress gauge: a black frame, a white field, a black bar growing from the left and
// the percentage centred over both, drawn inverted. Its values and rules are TGaugeModel's;
// it repaints synchronously whenever the model says what it shows has changed.

#include "app/GaugeModel.h"

#include <QWidget>

#include <cstdint>

namespace tarvik {

class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    int32_t MinValue() const { return model_.MinValue(); }
    int32_t MaxValue() const { return model_.MaxValue(); }
    int32_t Progress() const { return model_.Progress(); }

    // A value equal to the current maximum changes nothing. Otherwise it is stored, the
    // progress is lowered to it when above it, and the gauge repaints.
    void SetMaxValue(int32_t value);
    // Clamped into [minimum, maximum]; repaints only when the shown percentage changes.
    void SetProgress(int32_t value);

    // The whole part of 100 * (progress - min) / (max - min); 0 when max equals min.
    int PercentDone() const { return model_.PercentDone(); }
    static int PercentFor(int32_t minValue, int32_t maxValue, int32_t progress) {
        return TGaugeModel::PercentFor(minValue, maxValue, progress);
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TGaugeModel model_;
};

}  // namespace tarvik
