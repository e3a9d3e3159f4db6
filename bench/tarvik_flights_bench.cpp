// What flights buy on a slow link: `tarvik-admin run` one statement at a time against the same
// run in flights, through a loopback proxy that delays every packet.
//
//   tarvik_flights_bench [--products N] [--repeat R] [--flight-size F] [--database NAME]
//                        [--proxy-host 127.x.y.z] [--run-timeout S]
//
// Defaults: 2,000 products (half of them missing their row), median of 3, the tool's own
// flight size, database tarvik_flights_bench, the proxy on 127.0.0.2:3306 (the settings carry
// only a host and the port is always 3306, and the test server binds 127.0.0.1 alone), each run
// stopped after 900 s. The round trips are 0 (the proxy, no delay), 1 and 10 ms, interleaved:
// every repeat goes through all of them, alternating which mode goes first, so that a machine
// getting busier or quieter does not favour one side. Every run is followed by a count of the
// table's rows: a run that failed or left rows missing is reported and never timed.
//
// The general log is left as it is: others may be reading it while this runs.
//
// Exit status: 0 when every run stored its rows and every target holds, 3 when every run stored
// its rows but a target does not hold, 1 when a run failed or stored the wrong rows.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <mysql.h>

#include "bench/BenchDatabase.h"
#include "bench/LatencyProxy.h"

namespace tarvik::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kBranch = 3;
constexpr char kStoreCode = '3';  // branch 3's store code, as the run derives it
constexpr const char* kTable = "estoque_minimo";
const std::vector<int> kRoundTripsMs = {0, 1, 10};

struct TOptions {
    int64_t products = 2000;
    int repeat = 3;
    std::optional<int> flightSize;
    std::string database = "tarvik_flights_bench";
    std::string proxyHost = "127.0.0.2";
    int runTimeoutS = 900;
};

// Runs `args` with `input` on its standard input; its wall time in seconds, or nothing when it
// failed (a status other than 0, a signal, or the time limit, after which it is killed).
std::optional<double> RunChild(const std::vector<std::string>& args, const std::string& input, int timeoutS,
                               bool quietOutput) {
    int in[2];
    if (::pipe(in) != 0) throw std::runtime_error("pipe failed");
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::close(in[0]);
        ::close(in[1]);
        if (quietOutput) {
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) ::dup2(null, STDOUT_FILENO);
        }
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    ::close(in[0]);
    if (!input.empty() && ::write(in[1], input.data(), input.size()) != static_cast<ssize_t>(input.size()))
        std::fprintf(stderr, "could not hand %s its input\n", args[0].c_str());
    ::close(in[1]);
    // Waits for the child's end without waking meanwhile: a timer polling every millisecond
    // took its turns on the processor from the run it measured (the client, the proxy and the
    // server already share two cores).
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidfd < 0) throw std::runtime_error("pidfd_open failed");
    pollfd ended{pidfd, POLLIN, 0};
    int waited = 0;
    do waited = ::poll(&ended, 1, timeoutS * 1000);
    while (waited < 0 && errno == EINTR);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    ::close(pidfd);
    int status = 0;
    if (waited == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        std::fprintf(stderr, "  killed after %d s: %s\n", timeoutS, args[1].c_str());
        return std::nullopt;
    }
    if (::waitpid(pid, &status, 0) != pid) throw std::runtime_error("waitpid failed");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "  %s %s ended with %s %d\n", args[0].c_str(), args[1].c_str(),
                     WIFEXITED(status) ? "status" : "signal", WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
        return std::nullopt;
    }
    return wall;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::string MakeSettingsDir(const std::string& host, const TOptions& options, const std::string& password) {
    char pattern[] = "/tmp/tarvik-flights-bench-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("cannot create a temporary directory");
    // The logical branch in the settings: the run needs no identification connection, and so
    // only the main connection goes through the proxy.
    if (!RunChild({TARVIK_ADMIN, "init", pattern, "--host", host, "--database", options.database,
                   "--branch", std::to_string(kBranch), "--use-logical-branch"},
                  password + "\n", 60, true))
        throw std::runtime_error(std::string("tarvik-admin init failed for ") + pattern);
    return pattern;
}

// The round trip a statement sees through the proxy, median and least of `pings`: the delay
// model checked on the wire (a proxy that delayed too little would flatter the slow rows; the
// least is the link itself, the median adds the machine's scheduling under load).
std::pair<double, double> MeasuredRoundTripMs(const TBenchServer& server, const std::string& proxyHost, int pings) {
    TConnectionHandle handle(mysql_init(nullptr));
    if (!mysql_real_connect(handle.get(), proxyHost.c_str(), server.user.c_str(), server.password.c_str(), nullptr,
                            3306, nullptr, 0))
        throw std::runtime_error("cannot reach the server through the proxy: " + std::string(mysql_error(handle.get())));
    std::vector<double> times;
    for (int i = 0; i < pings; ++i) {
        const Clock::time_point start = Clock::now();
        if (mysql_query(handle.get(), "SELECT 1") != 0)
            throw std::runtime_error("SELECT 1 through the proxy: " + std::string(mysql_error(handle.get())));
        TResultHandle drained(mysql_store_result(handle.get()));
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return {Median(times), *std::min_element(times.begin(), times.end())};
}

enum class EMode { OneAtATime, Flights };

struct TCell {
    std::vector<double> walls;  // seconds, the runs that stored exactly the expected rows
    int broken = 0;
};

int Measure(const TOptions& options) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TBenchServer server;
    const char* pw = std::getenv("TARVIK_DB_PASSWORD");
    server.password = pw ? pw : "tarvik-test-pw";

    // A lifetime that every measured run fits in: it only bounds a benchmark that hangs.
    const int runs = options.repeat * static_cast<int>(kRoundTripsMs.size()) * 2;
    TLatencyProxy proxy({options.proxyHost, 3306}, {server.host, static_cast<uint16_t>(server.port)},
                        std::chrono::seconds(static_cast<int64_t>(options.runTimeoutS) * (runs + 1)));

    // After the proxy, which refuses an address that is not loopback before anything is made.
    TBenchDatabase db(server, options.database);
    // estoque_minimo's primary key is the (produto_id, filial_id) index a real branch has,
    // which every probe uses.
    db.Create(options.products, kBranch);
    const std::string dir = MakeSettingsDir(options.proxyHost, options, server.password);
    // The same runs straight to the server, without the proxy: at no delay the proxy's own
    // forwarding takes processor time from the client and the server on a small machine.
    const std::string straightDir = MakeSettingsDir(server.host, options, server.password);

    std::printf("server %s on 127.0.0.1:3306, reached through the proxy on %s:3306\n", db.ServerVersion().c_str(),
                options.proxyHost.c_str());
    std::printf("%lld products, %lld missing their row; %s; median of %d runs\n",
                static_cast<long long>(options.products),
                static_cast<long long>(options.products - options.products / 2),
                options.flightSize ? ("flights of " + std::to_string(*options.flightSize)).c_str()
                                   : "the tool's default flight size",
                options.repeat);

    for (const int rtt : kRoundTripsMs) {
        proxy.SetRoundTrip(std::chrono::milliseconds(rtt));
        const auto [median, least] = MeasuredRoundTripMs(server, options.proxyHost, 20);
        std::printf("  round trip set to %2d ms: SELECT 1 through the proxy takes %.2f ms (median of 20; least %.2f)\n",
                    rtt, median, least);
    }

    std::map<std::pair<int, EMode>, TCell> cells;
    // A round trip of kStraight: no proxy.
    constexpr int kStraight = -1;
    auto measure = [&](int rttMs, EMode mode) {
        if (rttMs != kStraight) proxy.SetRoundTrip(std::chrono::milliseconds(rttMs));
        db.Reset(kBranch, kStoreCode);
        std::vector<std::string> args = {TARVIK_ADMIN, "run", rttMs == kStraight ? straightDir : dir, "--table",
                                         kTable, "--quiet"};
        if (mode == EMode::OneAtATime) args.push_back("--one-at-a-time");
        else if (options.flightSize) {
            args.push_back("--flight-size");
            args.push_back(std::to_string(*options.flightSize));
        }
        const std::optional<double> wall = RunChild(args, "", options.runTimeoutS, true);
        const int64_t rows = db.CountRows(kTable);
        TCell& cell = cells[{rttMs, mode}];
        const char* name = mode == EMode::OneAtATime ? "one at a time" : "flights";
        const std::string link = rttMs == kStraight ? "straight" : std::to_string(rttMs) + " ms";
        if (!wall || rows != options.products) {
            ++cell.broken;
            std::printf("  %8s %-13s BROKEN: %lld rows where %lld were expected\n", link.c_str(), name,
                        static_cast<long long>(rows), static_cast<long long>(options.products));
            return;
        }
        cell.walls.push_back(*wall);
        std::printf("  %8s %-13s %8.2f s\n", link.c_str(), name, *wall);
    };
    for (int i = 0; i < options.repeat; ++i) {
        for (size_t r = 0; r < kRoundTripsMs.size(); ++r) {
            const bool flightsFirst = (i + r) % 2 == 1;
            measure(kRoundTripsMs[r], flightsFirst ? EMode::Flights : EMode::OneAtATime);
            measure(kRoundTripsMs[r], flightsFirst ? EMode::OneAtATime : EMode::Flights);
        }
        measure(kStraight, i % 2 == 0 ? EMode::Flights : EMode::OneAtATime);
        measure(kStraight, i % 2 == 0 ? EMode::OneAtATime : EMode::Flights);
    }
    proxy.Stop();

    const double n = static_cast<double>(std::max<int64_t>(options.products, 1));
    auto median = [&](int rtt, EMode mode) { return Median(cells[{rtt, mode}].walls); };
    const double flightsLoopback = median(0, EMode::Flights);
    std::printf("\n| round trip | one at a time ms/product | one at a time s | flights ms/product | flights s |"
                " one at a time / flights | flights / flights at 0 ms |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (const int rtt : kRoundTripsMs) {
        const double one = median(rtt, EMode::OneAtATime), flights = median(rtt, EMode::Flights);
        std::printf("| %d ms | %.2f | %.2f | %.3f | %.2f | %.1f | %.2f |\n", rtt, one * 1000 / n, one,
                    flights * 1000 / n, flights, one / flights, flights / flightsLoopback);
    }
    const double oneStraight = median(kStraight, EMode::OneAtATime), flightsStraight = median(kStraight, EMode::Flights);
    std::printf("\nstraight to the server, no proxy: one at a time %.2f ms/product (%.2f s), flights %.3f ms/product"
                " (%.2f s), %.1f times faster\n",
                oneStraight * 1000 / n, oneStraight, flightsStraight * 1000 / n, flightsStraight,
                oneStraight / flightsStraight);

    int broken = 0;
    for (const auto& [key, cell] : cells) broken += cell.broken;
    const double one10 = median(10, EMode::OneAtATime), flights10 = median(10, EMode::Flights);
    const double one0 = median(0, EMode::OneAtATime);
    struct TTarget {
        const char* text;
        bool holds;
    };
    const TTarget targets[] = {
        {"at 10 ms, flights at most 0.5 ms per product", flights10 * 1000 / n <= 0.5},
        {"at 10 ms, flights at least 50 times faster than one at a time", one10 / flights10 >= 50},
        {"at 10 ms, flights at most 3 times their own loopback time", flights10 <= 3 * flightsLoopback},
        {"at 0 ms, flights at least 10 times faster than one at a time", one0 / flightsLoopback >= 10},
    };
    // What the link itself costs a run in flights, in round trips: a number that grows with the
    // products points at the tool (a flight too small, a statement per product), one that stays
    // near the fixed statements of a run at the machine's load.
    std::printf("\nflights at 10 ms: %.2f s above their loopback time, %.0f round trips of 10 ms\n",
                flights10 - flightsLoopback, (flights10 - flightsLoopback) / 0.010);
    bool allHold = broken == 0;
    for (const TTarget& t : targets) {
        // Figures from broken runs are missing, so no target can be said to hold.
        const bool holds = t.holds && broken == 0;
        std::printf("%-64s %s\n", t.text, holds ? "holds" : "DOES NOT HOLD");
        allHold = allHold && holds;
    }
    if (broken) std::printf("%d runs failed or left a row count other than %lld\n", broken,
                            static_cast<long long>(options.products));

    db.Drop();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    std::filesystem::remove_all(straightDir, ignored);
    // A broken run is the benchmark's own failure; a target missed is a figure to read.
    if (broken) return 1;
    return allHold ? 0 : 3;
}

[[noreturn]] void Usage(const char* self) {
    std::fprintf(stderr,
                 "usage: %s [--products N] [--repeat R] [--flight-size F] [--database NAME] "
                 "[--proxy-host 127.x.y.z] [--run-timeout S]\n",
                 self);
    std::exit(2);
}

}  // namespace
}  // namespace tarvik::bench

int main(int argc, char** argv) {
    using namespace tarvik::bench;
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) Usage(argv[0]);
        const std::string value = argv[++i];
        char* end = nullptr;
        const long long number = std::strtoll(value.c_str(), &end, 10);
        const bool isNumber = !value.empty() && *end == '\0' && number > 0;
        if (option == "--products" && isNumber) options.products = number;
        else if (option == "--repeat" && isNumber && number < 1000) options.repeat = static_cast<int>(number);
        else if (option == "--flight-size" && isNumber && number < 1000000) options.flightSize = static_cast<int>(number);
        else if (option == "--run-timeout" && isNumber && number < 86400) options.runTimeoutS = static_cast<int>(number);
        else if (option == "--database") options.database = value;
        else if (option == "--proxy-host") options.proxyHost = value;
        else Usage(argv[0]);
    }
    // The name goes into statements unquoted.
    if (options.database.empty() ||
        !std::all_of(options.database.begin(), options.database.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; })) {
        std::fprintf(stderr, "--database: letters, digits and _ only\n");
        return 2;
    }
    try {
        return Measure(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
