// The run's progress on standard error: redrawn in place on a terminal, a plain line every few
// seconds otherwise.
#include <gtest/gtest.h>

#include <sstream>

#include "tools/admin/RunCommand.h"

namespace tarvik {
namespace {

using admin::TConsoleRunView;
using namespace std::chrono_literals;

TEST(ProgressTest, TextOfProductsRateAndTimeLeft) {
    struct TCase {
        int64_t done, total;
        double seconds;
        std::string text;
    };
    const TCase cases[] = {
        {0, 5000, 0.0, "0 of 5000 products (0%)"},
        {1234, 5000, 2.0, "1234 of 5000 products (24%), 617/s, about 0:06 left"},
        {100, 10000, 10.0, "100 of 10000 products (1%), 10/s, about 16:30 left"},
        {5000, 5000, 4.0, "5000 of 5000 products (100%), 1250/s"},
        {0, 0, 1.0, "0 of 0 products (0%)"},
    };
    for (const TCase& c : cases) EXPECT_EQ(TConsoleRunView::ProgressText(c.done, c.total, c.seconds), c.text);
}

// A clock the test moves by hand.
struct TFakeClock {
    std::chrono::steady_clock::time_point now{};
    TConsoleRunView::TClock Clock() {
        return [this] { return now; };
    }
};

TEST(ProgressTest, WithoutATerminalALineEveryFewSecondsAndAtTheEnd) {
    TFakeClock clock;
    std::ostringstream out, err;
    TConsoleRunView view("estoque_minimo", out, err, false, false, clock.Clock());
    view.SetGaugeMaximum(10);
    for (int i = 1; i <= 10; ++i) {
        clock.now += 1s;
        view.SetGaugeProgress(view.GaugeProgress() + 1);
    }
    view.Inform("Processamento Concluido!");
    EXPECT_EQ(err.str(),
              "estoque_minimo: 0 of 10 products (0%)\n"
              "estoque_minimo: 5 of 10 products (50%), 1/s, about 0:05 left\n"
              "estoque_minimo: 10 of 10 products (100%), 1/s\n");
    EXPECT_EQ(out.str(), "Processamento Concluido!\n");
}

TEST(ProgressTest, OnATerminalTheLineIsRedrawnInPlace) {
    TFakeClock clock;
    std::ostringstream out, err;
    TConsoleRunView view("estoque_minimo2", out, err, true, false, clock.Clock());
    view.SetGaugeMaximum(4);
    clock.now += 50ms;
    view.SetGaugeProgress(1);  // too soon after the last drawing: not drawn
    clock.now += 100ms;
    view.SetGaugeProgress(2);
    clock.now += 10ms;
    view.SetGaugeProgress(3);
    view.SetGaugeProgress(4);  // the last one always
    view.Finish();
    EXPECT_EQ(err.str(),
              "\r\x1b[K[........................] estoque_minimo2: 0 of 4 products (0%)"
              "\r\x1b[K[############............] estoque_minimo2: 2 of 4 products (50%), 13/s, about 0:00 left"
              "\r\x1b[K[########################] estoque_minimo2: 4 of 4 products (100%), 25/s\n");
}

TEST(ProgressTest, QuietShowsNothingAndTheGaugeClampsAsTheWindowsDoes) {
    std::ostringstream out, err;
    TConsoleRunView view("estoque_minimo", out, err, true, true);
    view.SetGaugeMaximum(3);
    view.SetGaugeProgress(7);
    EXPECT_EQ(view.GaugeProgress(), 3);
    view.SetGaugeMaximum(2);  // a later, smaller run starts from its maximum
    EXPECT_EQ(view.GaugeProgress(), 2);
    view.Inform("Processamento Concluido!");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace tarvik
