#include "tools/admin/RunCommand.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <exception>

#include "platform/Errors.h"
#include "run/RunComponents.h"
#include "run/RunLock.h"
#include "tools/admin/ExitStatus.h"
#include "tools/admin/Files.h"
#include "tools/admin/Messages.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

namespace {

volatile std::sig_atomic_t interrupted = 0;

// The first Ctrl-C asks the run to stop after the product or flight in progress, so that no
// row is left half-sent; a second one ends the program at once, as it always would.
extern "C" void OnInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

// Ctrl-C stops the run while this lives; the program's own handling comes back after.
class TInterruptHandler {
public:
    TInterruptHandler() : previous_(std::signal(SIGINT, OnInterrupt)) { interrupted = 0; }
    ~TInterruptHandler() { std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_); }
    TInterruptHandler(const TInterruptHandler&) = delete;
    TInterruptHandler& operator=(const TInterruptHandler&) = delete;

private:
    void (*previous_)(int);
};

}  // namespace

bool TConsoleRunView::StopRequested() const { return interrupted != 0; }

TConsoleRunView::TConsoleRunView(const std::string& table, std::ostream& out, std::ostream& err, bool terminal,
                                 bool quiet, TClock clock)
    : table_(table), out_(out), err_(err), terminal_(terminal), quiet_(quiet),
      clock_(std::move(clock)) {
    start_ = lastShown_ = clock_();
}

void TConsoleRunView::SetGaugeMaximum(int32_t maximum) {
    // As the window's gauge: a lower maximum pulls the progress down with it.
    maximum_ = maximum < 0 ? 0 : maximum;
    if (progress_ > maximum_) progress_ = maximum_;
    start_ = clock_();
    Show(true);
}

void TConsoleRunView::SetGaugeProgress(int32_t progress) {
    progress_ = progress > maximum_ ? maximum_ : progress;
    ++done_;
    Show(done_ == maximum_);
}

void TConsoleRunView::Inform(const std::string& text) {
    Finish();
    if (!quiet_) out_ << Utf8FromWindows1252(text) << '\n';
}

void TConsoleRunView::Finish() {
    if (lineOpen_) err_ << '\n' << std::flush;
    lineOpen_ = false;
}

std::string TConsoleRunView::ProgressText(int64_t done, int64_t total, double seconds) {
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 0;
    std::string text =
        Fill(admin_messages::kProgress, {std::to_string(done), std::to_string(total), std::to_string(percent)});
    if (seconds > 0 && done > 0) {
        const double rate = done / seconds;
        text += Fill(admin_messages::kRate, {std::to_string(static_cast<long long>(std::llround(rate)))});
        if (done < total) {
            const long long left = std::llround((total - done) / rate);
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%lld:%02lld", left / 60, left % 60);
            text += Fill(admin_messages::kTimeLeft, {buffer});
        }
    }
    return text;
}

void TConsoleRunView::Show(bool force) {
    if (quiet_) return;
    const auto now = clock_();
    const auto interval = terminal_ ? std::chrono::duration_cast<std::chrono::steady_clock::duration>(kRedrawInterval)
                                    : std::chrono::duration_cast<std::chrono::steady_clock::duration>(kLineInterval);
    if (!force && now - lastShown_ < interval) return;
    lastShown_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const std::string text = table_ + ": " + ProgressText(done_, maximum_, seconds);
    if (terminal_) {
        constexpr int kWidth = 24;
        const int filled = maximum_ > 0 ? static_cast<int>(done_ * kWidth / maximum_) : 0;
        std::string bar = "[" + std::string(filled, '#') + std::string(kWidth - filled, '.') + "] ";
        // Back to the start of the line, then clear it: the line only ever gets redrawn.
        err_ << "\r\x1b[K" << bar << text << std::flush;
        lineOpen_ = true;
    } else {
        err_ << text << '\n' << std::flush;
    }
}

CLI::App* AddRunOptions(CLI::App& app, TRunOptions& options) {
    CLI::App* command = app.add_subcommand("run", admin_messages::kRunHelp);
    command->add_option("DIR", options.directory, admin_messages::kDirectoryHelp)->required();
    command->add_option("--table", options.table,
                        Fill(admin_messages::kRunTableHelp, {TargetTableFor(0), TargetTableFor(1)}))
        ->required();
    command->add_flag("--quiet", options.quiet, admin_messages::kQuietHelp);
    command->add_flag("--one-at-a-time", options.oneAtATime, admin_messages::kOneAtATimeHelp);
    command->add_option("--flight-size", options.flightSize, admin_messages::kFlightSizeHelp)
        ->capture_default_str()
        ->check(CLI::Range(1, 10000));
    return command;
}

int RunGenerationHeadless(const TRunOptions& options, TConsole& console) {
    if (options.table != TargetTableFor(0) && options.table != TargetTableFor(1))
        throw EUsage(Fill(admin_messages::kBadTable, {Quoted(options.table), TargetTableFor(0), TargetTableFor(1)}));
    TSettingsDirectory directory(options.directory);

    TConsoleRunView view(options.table, console.out, console.err, console.errIsTerminal, options.quiet);

    int status = kExitDone;
    bool lastInsertUnknown = false;
    {
        // The window's components, in the window's order and with its names.
        TRunComponents components;
        TInterruptHandler stopOnInterrupt;
        try {
            components.ApplySettings();
            if (options.oneAtATime) components.Run(view, options.table);
            else components.RunInFlights(view, options.table, TFlightLimits{options.flightSize, 0});
        } catch (const ERunInProgress& e) {
            view.Finish();
            console.err << Utf8FromSystemText(e.what()) << '\n';
            return kExitRunInProgress;
        } catch (const ERunStopped& e) {
            view.Finish();
            console.err << Utf8FromSystemText(e.what()) << '\n'
                        << Fill(admin_messages::kRowsStayInterrupted, {std::to_string(view.RowsPosted()), options.table});
            return kExitInterrupted;
        } catch (const EFlightOutcomeUnknown& e) {
            view.Finish();
            console.err << Utf8FromSystemText(e.what()) << '\n'
                        << Fill(admin_messages::kRowsStayFlightUnknown,
                                {std::to_string(view.RowsPosted()), options.table, e.Product(),
                                 std::to_string(e.Unanswered())});
            return kExitWrong;
        } catch (const std::exception& e) {
            view.Finish();
            console.err << Utf8FromSystemText(e.what()) << '\n';
            status = kExitWrong;
            // Only the insert changes data, and its answer is what was lost: the server may
            // hold one row more than the ones it confirmed.
            lastInsertUnknown = dynamic_cast<const EStatementOutcomeUnknown*>(&e) != nullptr;
        }
    }
    view.Finish();
    const std::string rows = std::to_string(view.RowsPosted());
    if (status == kExitDone) console.out << Fill(admin_messages::kRowsInserted, {rows, options.table});
    else if (lastInsertUnknown) console.err << Fill(admin_messages::kRowsStayLastUnknown, {rows, options.table});
    else console.err << Fill(admin_messages::kRowsStay, {rows, options.table});
    return status;
}

}  // namespace tarvik::admin
