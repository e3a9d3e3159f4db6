// Where the gauge's parts go, as both windows paint them: the frame's one-pixel edge, the
// bar's share of the inner width, and the text.
#include "app/GaugeModel.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

struct TPlanCase {
    int width;
    int height;
    int percent;
    int barWidth;
    const char* text;
};

void PrintTo(const TPlanCase& c, std::ostream* os) { *os << c.width << "x" << c.height << " at " << c.percent << "%"; }

class GaugePlanTest : public testing::TestWithParam<TPlanCase> {};

TEST_P(GaugePlanTest, BarAndFieldShareTheInsideOfTheFrame) {
    const TPlanCase& c = GetParam();
    const TGaugePlan plan = PlanGauge(c.width, c.height, c.percent);
    EXPECT_EQ(plan.inner.left, 1);
    EXPECT_EQ(plan.inner.top, 1);
    EXPECT_EQ(plan.inner.width, std::max(0, c.width - 2));
    EXPECT_EQ(plan.inner.height, std::max(0, c.height - 2));
    EXPECT_EQ(plan.bar.left, 1);
    EXPECT_EQ(plan.bar.width, c.barWidth);
    EXPECT_EQ(plan.bar.height, plan.inner.height);
    EXPECT_EQ(plan.field.left, 1 + c.barWidth);
    EXPECT_EQ(plan.field.width, plan.inner.width - c.barWidth);
    EXPECT_EQ(plan.text, c.text);
}

// The window's gauge is 361 x 41, so its inside is 359 pixels wide.
INSTANTIATE_TEST_SUITE_P(Shares, GaugePlanTest,
                         testing::Values(TPlanCase{361, 41, 0, 0, "0%"}, TPlanCase{361, 41, 37, 132, "37%"},
                                         TPlanCase{361, 41, 99, 355, "99%"},
                                         TPlanCase{361, 41, 100, 359, "100%"},
                                         // out of range is drawn as its nearest end
                                         TPlanCase{361, 41, 150, 359, "100%"}, TPlanCase{361, 41, -5, 0, "0%"},
                                         // a control too small for an inside
                                         TPlanCase{2, 2, 50, 0, "50%"}, TPlanCase{1, 1, 50, 0, "50%"}));

TEST(GaugeModelTest, MaximumBelowProgressLowersItAndAnEqualOneChangesNothing) {
    TGaugeModel gauge;
    EXPECT_TRUE(gauge.SetProgress(80));
    EXPECT_FALSE(gauge.SetMaxValue(100));
    EXPECT_TRUE(gauge.SetMaxValue(50));
    EXPECT_EQ(gauge.Progress(), 50);
    EXPECT_EQ(gauge.PercentDone(), 100);
    // 51 of 1000 still shows 5%: stored, but nothing to repaint.
    EXPECT_TRUE(gauge.SetMaxValue(1000));
    EXPECT_FALSE(gauge.SetProgress(51));
    EXPECT_EQ(gauge.Progress(), 51);
    EXPECT_TRUE(gauge.SetProgress(5000));
    EXPECT_EQ(gauge.Progress(), 1000);
}

}  // namespace
}  // namespace tarvik
