#include "app/GaugeModel.h"

#include <algorithm>

namespace tarvik {

int TGaugeModel::PercentFor(int32_t minValue, int32_t maxValue, int32_t progress) {
    if (maxValue == minValue) return 0;
    const double done = static_cast<double>(static_cast<int64_t>(progress) - minValue);
    const double span = static_cast<double>(static_cast<int64_t>(maxValue) - minValue);
    return static_cast<int>(100.0 * done / span);  // truncates toward zero
}

bool TGaugeModel::SetMaxValue(int32_t value) {
    if (value == max_) return false;
    max_ = value;
    if (progress_ > max_) progress_ = max_;
    return true;
}

bool TGaugeModel::SetProgress(int32_t value) {
    // Not std::clamp: a maximum below the minimum must not make this undefined.
    value = std::min(std::max(value, min_), max_);
    if (value == progress_) return false;
    const int shownBefore = PercentDone();
    progress_ = value;
    return PercentDone() != shownBefore;
}

TGaugePlan PlanGauge(int width, int height, int percent) {
    TGaugePlan plan;
    percent = std::clamp(percent, 0, 100);
    plan.text = std::to_string(percent) + "%";
    plan.inner = {1, 1, std::max(0, width - 2), std::max(0, height - 2)};
    const int barWidth = static_cast<int>(static_cast<int64_t>(plan.inner.width) * percent / 100);
    plan.bar = {plan.inner.left, plan.inner.top, barWidth, plan.inner.height};
    plan.field = {plan.inner.left + barWidth, plan.inner.top, plan.inner.width - barWidth, plan.inner.height};
    return plan;
}

}  // namespace tarvik
