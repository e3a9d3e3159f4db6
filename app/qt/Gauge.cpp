#include "app/qt/Gauge.h"

#include <QPainter>

namespace tarvik {
namespace {
QRect ToRect(const TGaugePlan::TBox& box) { return QRect(box.left, box.top, box.width, box.height); }
}  // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    // Every pixel is ours; nothing underneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGauge::SetMaxValue(int32_t value) {
    if (model_.SetMaxValue(value)) repaint();
}

void TGauge::SetProgress(int32_t value) {
    if (model_.SetProgress(value)) repaint();
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);  // the frame; the field covers all but its edge
    const TGaugePlan plan = PlanGauge(width(), height(), PercentDone());
    if (plan.inner.Empty()) return;
    const QRect inner = ToRect(plan.inner);
    const QRect bar = ToRect(plan.bar);
    painter.fillRect(inner, Qt::white);
    painter.fillRect(bar, Qt::black);

    const QString text = QString::fromStdString(plan.text);
    painter.setFont(font());
    painter.setClipRect(ToRect(plan.field));
    painter.setPen(Qt::black);
    painter.drawText(inner, Qt::AlignCenter, text);
    painter.setClipRect(bar);
    painter.setPen(Qt::white);
    painter.drawText(inner, Qt::AlignCenter, text);
}

}  // namespace tarvik
