// The gauge's shown percentage, its set rules, when it repaints, and what it draws.
#include "app/qt/Gauge.h"

#include <QEvent>
#include <QImage>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace tarvik {
namespace {

struct TPercentCase {
    int32_t max;
    int32_t progress;
    int shown;
};

void PrintTo(const TPercentCase& c, std::ostream* os) { *os << c.progress << " of " << c.max; }

class GaugePercentTest : public testing::TestWithParam<TPercentCase> {};

TEST_P(GaugePercentTest, WholePartOfTheShare) {
    EXPECT_EQ(TGauge::PercentFor(0, GetParam().max, GetParam().progress), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Shares, GaugePercentTest,
                         testing::Values(TPercentCase{100, 0, 0}, TPercentCase{100, 37, 37},
                                         TPercentCase{3, 1, 33}, TPercentCase{3, 2, 66},
                                         TPercentCase{3, 3, 100}, TPercentCase{7, 6, 85},
                                         TPercentCase{0, 0, 0}, TPercentCase{1000, 9, 0},
                                         TPercentCase{INT32_MAX, INT32_MAX - 1, 99},
                                         TPercentCase{INT32_MAX, INT32_MAX, 100}));

// Counts the paint events the gauge receives; the gauge is shown so that a repaint paints.
class GaugeFixture : public testing::Test {
protected:
    void SetUp() override {
        gauge_.resize(361, 41);
        gauge_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&gauge_));
        QCoreApplication::processEvents();
        gauge_.installEventFilter(&counter_);
        counter_.paints = 0;
    }

    struct TPaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) ++paints;
            return false;
        }
    };

    TGauge gauge_;
    TPaintCounter counter_;
};

enum class TOp { Max, Progress, Add1 };

// One call on the gauge, and what it must hold afterwards.
struct TStep {
    TOp op;
    int32_t value;
    int32_t max;
    int32_t progress;
    int shown;
    bool repainted;  // at once, before the call returned
};

using GaugeRulesTest = GaugeFixture;

// Each script starts from a fresh gauge (0..100, progress 0); the paint must have happened
// before the setter returned, since the run never gives the event loop a turn.
TEST_F(GaugeRulesTest, SettersFollowTheRulesAndRepaintOnlyOnAVisibleChange) {
    const std::vector<std::vector<TStep>> scripts = {
        // A first run over three products, then the clamp at the end.
        {{TOp::Max, 3, 3, 0, 0, true},
         {TOp::Add1, 0, 3, 1, 33, true},
         {TOp::Add1, 0, 3, 2, 66, true},
         {TOp::Add1, 0, 3, 3, 100, true},
         {TOp::Add1, 0, 3, 3, 100, false}},
        // A second run with as many products: nothing moves.
        {{TOp::Max, 3, 3, 0, 0, true},
         {TOp::Progress, 3, 3, 3, 100, true},
         {TOp::Max, 3, 3, 3, 100, false},
         {TOp::Add1, 0, 3, 3, 100, false}},
        // Fewer products: the progress is brought down, 100% from the start.
        {{TOp::Max, 5, 5, 0, 0, true},
         {TOp::Progress, 5, 5, 5, 100, true},
         {TOp::Max, 2, 2, 2, 100, true},
         {TOp::Add1, 0, 2, 2, 100, false}},
        // More products: starts at the old share and climbs.
        {{TOp::Max, 3, 3, 0, 0, true},
         {TOp::Progress, 3, 3, 3, 100, true},
         {TOp::Max, 6, 6, 3, 50, true},
         {TOp::Add1, 0, 6, 4, 66, true}},
        // No products after some: 0%, and the progress cannot leave 0.
        {{TOp::Progress, 40, 100, 40, 40, true},
         {TOp::Max, 0, 0, 0, 0, true},
         {TOp::Add1, 0, 0, 0, 0, false}},
        // A step that does not change the whole percent does not repaint; below the
        // minimum is clamped to it.
        {{TOp::Max, 1000, 1000, 0, 0, true},
         {TOp::Add1, 0, 1000, 1, 0, false},
         {TOp::Progress, 10, 1000, 10, 1, true},
         {TOp::Progress, -5, 1000, 0, 0, true},
         {TOp::Progress, -5, 1000, 0, 0, false}},
    };
    for (size_t s = 0; s < scripts.size(); ++s) {
        gauge_.SetMaxValue(100);
        gauge_.SetProgress(0);
        for (size_t i = 0; i < scripts[s].size(); ++i) {
            const TStep& step = scripts[s][i];
            SCOPED_TRACE(testing::Message() << "script " << s << " step " << i);
            counter_.paints = 0;
            switch (step.op) {
                case TOp::Max: gauge_.SetMaxValue(step.value); break;
                case TOp::Progress: gauge_.SetProgress(step.value); break;
                case TOp::Add1: gauge_.SetProgress(gauge_.Progress() + 1); break;
            }
            EXPECT_EQ(gauge_.MaxValue(), step.max);
            EXPECT_EQ(gauge_.Progress(), step.progress);
            EXPECT_EQ(gauge_.PercentDone(), step.shown);
            EXPECT_EQ(counter_.paints, step.repainted ? 1 : 0);
        }
    }
}

TEST_F(GaugeRulesTest, ALongRunRepaintsOncePerWholePercent) {
    gauge_.SetMaxValue(2500);
    gauge_.SetProgress(0);
    counter_.paints = 0;
    for (int i = 0; i < 2600; ++i) gauge_.SetProgress(gauge_.Progress() + 1);
    EXPECT_EQ(counter_.paints, 100);
    EXPECT_EQ(gauge_.PercentDone(), 100);
}

// What the gauge looks like, pixel by pixel, at a given share.
class GaugeDrawingTest : public testing::Test {
protected:
    QImage Draw(int32_t max, int32_t progress) {
        TGauge gauge;
        QFont font("MS Sans Serif");
        font.setPixelSize(11);
        gauge.setFont(font);
        gauge.resize(361, 41);
        gauge.SetMaxValue(max);
        gauge.SetProgress(progress);
        return gauge.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    static bool Black(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); }
    static bool White(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(255, 255, 255); }
    // Glyphs are smoothed: their cores are near black or near white, not exactly.
    static bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 64; }
    static bool Light(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) > 192; }
    // Whether a column range of the middle rows holds a pixel of the given kind.
    static bool Any(const QImage& image, int x0, int x1, bool (*kind)(const QImage&, int, int)) {
        for (int y = 10; y < 31; ++y)
            for (int x = x0; x < x1; ++x)
                if (kind(image, x, y)) return true;
        return false;
    }
};

TEST_F(GaugeDrawingTest, FrameFieldBarAndInvertedText) {
    const QImage empty = Draw(100, 0);
    ASSERT_EQ(empty.size(), QSize(361, 41));
    for (const QPoint corner : {QPoint(0, 0), QPoint(360, 0), QPoint(0, 40), QPoint(360, 40), QPoint(180, 0)})
        EXPECT_TRUE(Black(empty, corner.x(), corner.y())) << corner.x() << "," << corner.y();
    EXPECT_TRUE(White(empty, 1, 1));
    EXPECT_TRUE(White(empty, 359, 39));
    EXPECT_TRUE(White(empty, 5, 20)) << "no bar at 0%";
    EXPECT_TRUE(Any(empty, 150, 210, Dark)) << "the text reads black on white";

    const QImage full = Draw(100, 100);
    EXPECT_TRUE(Black(full, 1, 1));
    EXPECT_TRUE(Black(full, 359, 39));
    EXPECT_TRUE(Any(full, 150, 210, Light)) << "the text reads white on the bar";

    // Half: the bar ends in the middle of the 359 inner pixels; the text straddles the edge.
    const QImage half = Draw(2, 1);
    EXPECT_TRUE(Black(half, 1, 20));
    EXPECT_TRUE(Black(half, 179, 2));
    EXPECT_TRUE(White(half, 180, 2));
    EXPECT_TRUE(White(half, 359, 20));
    EXPECT_TRUE(Any(half, 150, 180, Light)) << "text over the bar is white";
    EXPECT_TRUE(Any(half, 180, 210, Dark)) << "text over the field is black";
}

}  // namespace
}  // namespace tarvik
