#include "app/Gauge.h"

#include <QPainter>

#include <algorithm>

namespace tarvik {

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    // Every pixel is ours; nothing underneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int TGauge::PercentFor(int32_t minValue, int32_t maxValue, int32_t progress) {
    if (maxValue == minValue) return 0;
    const double done = static_cast<double>(static_cast<int64_t>(progress) - minValue);
    const double span = static_cast<double>(static_cast<int64_t>(maxValue) - minValue);
    return static_cast<int>(100.0 * done / span);  // truncates toward zero
}

void TGauge::SetMaxValue(int32_t value) {
    if (value == max_) return;
    max_ = value;
    if (progress_ > max_) progress_ = max_;
    repaint();
}

void TGauge::SetProgress(int32_t value) {
    // Not std::clamp: a maximum below the minimum must not make this undefined.
    value = std::min(std::max(value, min_), max_);
    if (value == progress_) return;
    const int shownBefore = PercentDone();
    progress_ = value;
    if (PercentDone() != shownBefore) repaint();
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect outer = rect();
    painter.fillRect(outer, Qt::black);  // the frame; the field covers all but its edge
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    if (inner.isEmpty()) return;
    painter.fillRect(inner, Qt::white);

    const int percent = std::clamp(PercentDone(), 0, 100);
    const int barWidth = static_cast<int>(static_cast<int64_t>(inner.width()) * percent / 100);
    const QRect bar(inner.left(), inner.top(), barWidth, inner.height());
    const QRect field(inner.left() + barWidth, inner.top(), inner.width() - barWidth, inner.height());
    painter.fillRect(bar, Qt::black);

    const QString text = QString::asprintf("%d%%", percent);
    painter.setFont(font());
    painter.setClipRect(field);
    painter.setPen(Qt::black);
    painter.drawText(inner, Qt::AlignCenter, text);
    painter.setClipRect(bar);
    painter.setPen(Qt::white);
    painter.drawText(inner, Qt::AlignCenter, text);
}

}  // namespace tarvik
