#pragma once
// `tarvik-admin run DIR --table T`: the window's run without the window, through the same run
// code, connection set-up and queries, so the server receives the same statements.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "platform/StopRequests.h"
#include "run/FlightRun.h"
#include "run/GenerationRun.h"
#include "tools/admin/Console.h"

namespace CLI {
class App;
}

namespace tarvik::admin {

// The run's view on a console: the target table from the command line, the gauge as a
// progress display on standard error (redrawn in place on a terminal, a plain line every few
// seconds otherwise), the completion message on standard output.
class TConsoleRunView : public TRunView {
public:
    using TClock = std::function<std::chrono::steady_clock::time_point()>;

    TConsoleRunView(const std::string& table, std::ostream& out, std::ostream& err, bool terminal, bool quiet,
                    TClock clock = &std::chrono::steady_clock::now);

    void SetStartEnabled(bool) override {}
    void SetGaugeMaximum(int32_t maximum) override;
    int32_t GaugeProgress() const override { return progress_; }
    void SetGaugeProgress(int32_t progress) override;
    void Inform(const std::string& text) override;
    void RowPosted() override { ++posted_; }
    void FlightAnswered() override { ++flights_; }
    // Ctrl-C or SIGTERM during the run (`stops`): the run stops between products or flights.
    bool StopRequested() const override { return stops_ && stops_->Requested(); }
    void StopOn(const TStopRequests* stops) { stops_ = stops; }

    int64_t Products() const { return maximum_; }
    int64_t ProductsDone() const { return done_; }
    int64_t RowsPosted() const { return posted_; }
    int64_t Flights() const { return flights_; }
    // Ends a redrawn line so that whatever follows starts on a line of its own.
    void Finish();

    // "1234 of 5000 products (24%), 850/s, about 0:04 left"
    static std::string ProgressText(int64_t done, int64_t total, double seconds);

    static constexpr std::chrono::milliseconds kRedrawInterval{100};
    static constexpr std::chrono::seconds kLineInterval{5};

private:
    void Show(bool force);

    std::string table_;
    std::ostream& out_;
    std::ostream& err_;
    bool terminal_;
    bool quiet_;
    TClock clock_;
    int32_t maximum_ = 0;
    int32_t progress_ = 0;
    int64_t done_ = 0;
    int64_t posted_ = 0;
    int64_t flights_ = 0;
    const TStopRequests* stops_ = nullptr;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastShown_;
    bool lineOpen_ = false;
};

struct TRunOptions {
    std::string directory;
    std::string table;
    bool quiet = false;
    // The window's sequence, one statement at a time, instead of flights.
    bool oneAtATime = false;
    size_t flightSize = TFlightLimits{}.products;
    // For programs: one JSON document on standard output (RunReport.h), also kept in `record`.
    bool json = false;
    std::optional<std::string> record;
    unsigned waitForLock = 0;  // seconds to wait for another run's lock
    bool ifMissing = false;    // count first, and end when nothing is missing
};

// Declares `run` and its options on `app`; the command line's values land in `options`.
CLI::App* AddRunOptions(CLI::App& app, TRunOptions& options);

int RunGenerationHeadless(const TRunOptions& options, TConsole& console);

}  // namespace tarvik::admin
