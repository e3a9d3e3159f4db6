#include "tools/admin/RunCommand.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <sstream>

#include "platform/Errors.h"
#include "platform/SystemLog.h"
#include "run/RunComponents.h"
#include "run/RunLock.h"
#include "tools/admin/CheckCommand.h"
#include "tools/admin/ExitStatus.h"
#include "tools/admin/Files.h"
#include "tools/admin/Messages.h"
#include "tools/admin/RunReport.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

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
    command->add_flag("--json", options.json, admin_messages::kRunJsonHelp);
    command->add_option("--record", options.record, admin_messages::kRecordHelp)->type_name("FILE");
    command->add_option("--wait-for-lock", options.waitForLock, admin_messages::kWaitForLockHelp)
        ->type_name("SECONDS")
        ->check(CLI::Range(0, 86400));
    command->add_flag("--if-missing", options.ifMissing, admin_messages::kIfMissingHelp);
    return command;
}

namespace {

// The products and the rows a run would insert (`table`, branch `branch`), counted by the server
// in one statement on the run's own link.
struct TMissing {
    long long missing = 0;
    long long products = 0;
};
TMissing CountMissing(TDbTransaction& link, const std::string& table, int32_t branch) {
    const std::string counted =
        link.EvaluateExpression("CONCAT_WS(' ', faltantes, produtos) FROM (" + CountStatement(table, branch) + ") c");
    TMissing m;
    if (std::sscanf(counted.c_str(), "%lld %lld", &m.missing, &m.products) != 2)
        throw EDatabaseError(Fill(admin_messages::kBadCount, {Quoted(counted)}));
    return m;
}

// Writes the report to `file` whole or not at all, beside the file's own name.
void WriteRecord(const std::string& file, const TRunReport& report) {
#ifdef _WIN32
    const size_t slash = file.find_last_of("\\/");
#else
    const size_t slash = file.find_last_of('/');
#endif
    const std::string directory = slash == std::string::npos ? std::string(".") : file.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    WriteFilesInPlace(directory, {{name, ToJson(report).dump(2) + "\n"}});
}

}  // namespace

int RunGenerationHeadless(const TRunOptions& options, TConsole& console) {
    if (options.table != TargetTableFor(0) && options.table != TargetTableFor(1))
        throw EUsage(Fill(admin_messages::kBadTable, {Quoted(options.table), TargetTableFor(0), TargetTableFor(1)}));
    TSettingsDirectory directory(options.directory);

    // With --json, standard output carries the document alone.
    std::ostringstream notShown;
    std::ostream& out = options.json ? notShown : console.out;
    TConsoleRunView view(options.table, out, console.err, console.errIsTerminal, options.quiet);

    TRunReport report;
    report.table = options.table;
    const auto started = std::chrono::steady_clock::now();
    int status = kExitDone;
    std::string rowsLine;  // what is left in the table, for people
    {
        // The window's components, in the window's order and with its names.
        TRunComponents components;
        components.SetLockWait(options.waitForLock);
        TStopRequests stops;
        view.StopOn(&stops);
        bool timedOut = false;
        try {
            components.ApplySettings();
            const TBranchIdentity branch = TBranchIdentity::FromSettings();
            const int32_t branchNumber = branch.codLogica();
            report.lockName = RunLockName(components.Conexao().Database(), options.table, branchNumber);
            // Asked for on the run's link before it opens (the count opens it).
            if (!options.oneAtATime) components.Conexao().SetMultiStatements(true);
            std::optional<TMissing> counted;
            if (options.ifMissing) {
                components.Transacao().Connect();
                counted = CountMissing(components.Transacao(), options.table, branchNumber);
            }
            if (counted && counted->missing == 0) {
                report.countedOnly = true;
                report.products = counted->products;
                if (!options.quiet) out << Fill(admin_messages::kNothingMissing, {options.table, std::to_string(counted->products)});
            } else if (options.oneAtATime) {
                components.Run(view, options.table, branch);
            } else {
                components.RunInFlights(view, options.table, TFlightLimits{options.flightSize, 0}, branch);
            }
            rowsLine = Fill(admin_messages::kRowsInserted, {std::to_string(view.RowsPosted()), options.table});
        } catch (const std::exception& e) {
            view.Finish();
            timedOut = components.Transacao().TimedOut();
            report.error = ReportedError(e, timedOut);
            const std::string rows = std::to_string(view.RowsPosted());
            if (const auto* busy = dynamic_cast<const ERunInProgress*>(&e)) {
                report.result = run_results::kBusy;
                if (!busy->Holder().empty()) report.lockHolder = busy->Holder();
                status = kExitRunInProgress;
            } else if (dynamic_cast<const ERunStopped*>(&e)) {
                report.result = run_results::kInterrupted;
                report.error.reset();
                status = stops.ExitStatus();
                rowsLine = Fill(admin_messages::kRowsStayInterrupted, {rows, options.table});
            } else {
                report.result = run_results::kFailed;
                status = kExitWrong;
                if (const auto* flight = dynamic_cast<const EFlightOutcomeUnknown*>(&e)) {
                    report.unknown = static_cast<int64_t>(flight->Unanswered());
                    rowsLine = Fill(admin_messages::kRowsStayFlightUnknown,
                                    {rows, options.table, Utf8FromSystemText(flight->Product()),
                                     std::to_string(flight->Unanswered())});
                } else if (dynamic_cast<const EStatementOutcomeUnknown*>(&e)) {
                    // Only the insert changes data, and its answer is what was lost: the server
                    // may hold one row more than the ones it confirmed.
                    report.unknown = 1;
                    rowsLine = Fill(admin_messages::kRowsStayLastUnknown, {rows, options.table});
                } else {
                    rowsLine = Fill(admin_messages::kRowsStay, {rows, options.table});
                }
            }
            console.err << Utf8FromSystemText(e.what()) << '\n';
        }
        stops.Stopped();
    }
    view.Finish();

    if (!report.countedOnly) {
        report.products = view.Products();
        report.probed = view.ProductsDone();
    }
    report.inserted = view.RowsPosted();
    report.flights = view.Flights();
    report.alreadyPresent = std::max<int64_t>(0, report.probed - report.inserted - report.unknown);
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    if (report.result != run_results::kBusy && !report.countedOnly) {
        if (status == kExitDone) out << rowsLine;
        else console.err << rowsLine;
    }
    // One line for the system's log (the Windows event log; on Linux the journal has standard
    // error already).
    const TLogSeverity severity = report.result == run_results::kFailed ? TLogSeverity::Error
                                  : report.result == run_results::kDone ? TLogSeverity::Information
                                                                          : TLogSeverity::Warning;
    WriteSystemLog(severity, "tarvik-admin run " + options.table + ": " + ToJson(report).dump());
    if (options.json) console.out << ToJson(report).dump(2) << '\n';
    if (options.record) {
        try {
            WriteRecord(*options.record, report);
        } catch (const std::exception& e) {
            console.err << Fill(admin_messages::kRecordFailed, {Utf8FromSystemText(e.what())});
            if (status == kExitDone) status = kExitCannotCheck;
        }
    }
    return status;
}

}  // namespace tarvik::admin
