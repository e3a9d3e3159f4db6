// Whole-run benchmark: the program's generation run against the bare C-API floor.
//
//   tarvik_bench [--products N] [--repeat R] [--variant settings|server|both] [--database NAME]
//                                                  measure (default N = 100000, R = 3, both
//                                                  variants, database tarvik_bench)
//   tarvik_bench run-once --dir DIR                one generation run, settings files in DIR
//
// Every measured run is a child process of this one, so that wall time, user and system CPU
// time and peak resident memory (wait4's rusage) belong to that run alone. The figures are the
// medians of R runs; the ratios compare ours with the reference measured in the same process.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchDatabase.h"
#include "bench/ReferenceRun.h"
#include "bench/RunOnce.h"
#include "identification/UConnectionInfoClass.h"
#include "settings/PasswordCipher.h"
#include "settings/UConfigSistemaQOR.h"

namespace tarvik::bench {
namespace {

constexpr int32_t kBranch = 3;
constexpr char kStoreCode = '3';  // the store code of branch 3

struct TSample {
    double wall = 0, user = 0, sys = 0;  // seconds
    double maxRssKiB = 0;
};

std::string SelfPath() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) throw std::runtime_error("cannot find the benchmark's own executable");
    return std::string(buffer, static_cast<size_t>(n));
}

TSample MeasureChild(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid) throw std::runtime_error("wait4 failed");
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("a measured run failed: " + args[1]);
    TSample s;
    s.wall = std::chrono::duration<double>(end - start).count();
    s.user = static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
    s.sys = static_cast<double>(usage.ru_stime.tv_sec) + static_cast<double>(usage.ru_stime.tv_usec) / 1e6;
    s.maxRssKiB = static_cast<double>(usage.ru_maxrss);
    return s;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

TSample MedianOf(const std::vector<TSample>& samples) {
    std::vector<double> wall, user, sys, rss;
    for (const TSample& s : samples) {
        wall.push_back(s.wall);
        user.push_back(s.user);
        sys.push_back(s.sys);
        rss.push_back(s.maxRssKiB);
    }
    return {Median(wall), Median(user), Median(sys), Median(rss)};
}

void WriteFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out) throw std::runtime_error("cannot write " + path);
}

// Settings files for one variant: the store code from the settings file, or from the server's record.
std::string MakeSettingsDir(const TBenchServer& server, const std::string& database, bool fromServer) {
    char pattern[] = "/tmp/tarvik-bench-XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("cannot create a temporary directory");
    const std::string dir = std::string(pattern) + "/";
    const std::string cipher = CipherText("E", server.password, kPasswordCipherKey);
    WriteFile(dir + "sistema_qor.ini", TConfigSistemaQOR::SettingsFileText(
                                           {server.host, database, cipher, fromServer ? "0" : "1", std::to_string(kBranch)}));
    WriteFile(dir + "connection.conf", TConnectionInfo::ConnectionConfText({{conf_keys::kDatabaseIP, server.host},
                                                                            {conf_keys::kDatabasename, database},
                                                                            {conf_keys::kUsuario, server.user},
                                                                            {conf_keys::kSenha, server.password}}));
    return dir;
}

struct TOptions {
    int64_t products = 100000;
    int repeat = 3;
    bool settingsVariant = true;
    bool serverVariant = true;
    // Two measurements at once (a long one in the background) need databases of their own.
    std::string database = "tarvik_bench";
};

int Measure(const TOptions& options) {
    // A measurement takes many minutes, often with the output going to a file: show each
    // line as it comes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    TBenchServer server;
    if (const char* pw = std::getenv("TARVIK_DB_PASSWORD")) server.password = pw;
    else server.password = "tarvik-test-pw";
    const std::string self = SelfPath();

    TBenchDatabase db(server, options.database);
    TBenchDatabase empty(server, options.database + "_empty");
    std::printf("server %s; %lld products, half missing their row; median of %d runs\n",
                db.ServerVersion().c_str(), static_cast<long long>(options.products), options.repeat);
    const TBenchDatabase::TGeneralLogOff logOff(db);
    db.Create(options.products, kBranch);
    empty.Create(0, kBranch);
    empty.Reset(kBranch, kStoreCode);

    const int64_t expectedInserts = options.products - options.products / 2;
    int failures = 0;
    for (const bool fromServer : {false, true}) {
        if (!(fromServer ? options.serverVariant : options.settingsVariant)) continue;
        const std::string dir = MakeSettingsDir(server, db.Name(), fromServer);
        const std::string emptyDir = MakeSettingsDir(server, empty.Name(), fromServer);
        std::vector<TSample> ours, reference, emptyRuns, headless;
        auto runReference = [&] {
            db.Reset(kBranch, kStoreCode);
            reference.push_back(MeasureChild({self, "reference", "--database", db.Name()}));
            if (db.CountRows("estoque_minimo") != options.products) ++failures;
        };
        auto runOurs = [&] {
            db.Reset(kBranch, kStoreCode);
            ours.push_back(MeasureChild({self, "run-once", "--dir", dir}));
            if (db.CountRows("estoque_minimo") != options.products) ++failures;
        };
        // The administrator's headless run of the same code and statements, which should cost
        // what the window's does (its flights are measured by tarvik_flights_bench).
        auto runHeadless = [&] {
            db.Reset(kBranch, kStoreCode);
            headless.push_back(MeasureChild({TARVIK_ADMIN, "run", dir, "--table", "estoque_minimo", "--one-at-a-time", "--quiet"}));
            if (db.CountRows("estoque_minimo") != options.products) ++failures;
        };
        for (int i = 0; i < options.repeat; ++i) {
            // Alternating which goes first, so that a server slowly getting busier or quieter
            // does not always favour the same side.
            if (i % 2 == 0) {
                runReference();
                runOurs();
            } else {
                runOurs();
                runReference();
            }
            runHeadless();
            emptyRuns.push_back(MeasureChild({self, "run-once", "--dir", emptyDir}));
        }
        // Each pair ran back to back, under much the same load from the other users of the
        // server; the median of the pairs' ratios is steadier than the ratio of the medians.
        std::vector<double> pairedWall, pairedCpu;
        for (size_t i = 0; i < ours.size(); ++i) {
            pairedWall.push_back(ours[i].wall / reference[i].wall);
            pairedCpu.push_back((ours[i].user + ours[i].sys) / std::max(reference[i].user + reference[i].sys, 1e-9));
        }
        const TSample o = MedianOf(ours), r = MedianOf(reference), e = MedianOf(emptyRuns);
        const double n = static_cast<double>(std::max<int64_t>(options.products, 1));
        std::printf("\nstore code from %s (%lld inserts per run)\n", fromServer ? "the server record" : "the settings",
                    static_cast<long long>(expectedInserts));
        std::printf("  %-10s %10s %10s %10s %12s %12s\n", "", "wall s", "user s", "sys s", "peak RSS MiB",
                    "us/product");
        auto line = [&](const char* name, const TSample& s) {
            std::printf("  %-10s %10.2f %10.2f %10.2f %12.1f %12.1f\n", name, s.wall, s.user, s.sys,
                        s.maxRssKiB / 1024.0, s.wall * 1e6 / n);
        };
        line("ours", o);
        line("reference", r);
        line("empty run", e);
        const TSample h = MedianOf(headless);
        line("headless", h);
        // Every run's wall time, in the order measured, to show how much the shared server wanders.
        auto walls = [](const char* name, const std::vector<TSample>& runs) {
            std::printf("  %-10s wall s of each run:", name);
            for (const TSample& s : runs) std::printf(" %.2f", s.wall);
            std::printf("\n");
        };
        walls("ours", ours);
        walls("reference", reference);
        std::printf("  ours / reference: wall %.3f, CPU (user+sys) %.3f; peak RSS above an empty run: %.0f bytes/product\n",
                    o.wall / r.wall, (o.user + o.sys) / std::max(r.user + r.sys, 1e-9),
                    (o.maxRssKiB - e.maxRssKiB) * 1024.0 / n);
        std::printf("  headless (tarvik-admin run --one-at-a-time) / ours: wall %.3f, CPU (user+sys) %.3f\n", h.wall / o.wall,
                    (h.user + h.sys) / std::max(o.user + o.sys, 1e-9));
        std::printf("  ours / reference, median of the %zu back-to-back pairs: wall %.3f, CPU (user+sys) %.3f\n",
                    ours.size(), Median(pairedWall), Median(pairedCpu));
        std::string cleanup = "rm -rf '" + dir + "' '" + emptyDir + "'";
        if (std::system(cleanup.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", dir.c_str());
    }
    if (failures) std::printf("\n%d runs left a row count other than the number of products\n", failures);
    return failures ? 1 : 0;
}

}  // namespace
}  // namespace tarvik::bench

int main(int argc, char** argv) {
    using namespace tarvik::bench;
    try {
        if (argc >= 2 && std::strcmp(argv[1], "run-once") == 0) {
            if (argc != 4 || std::strcmp(argv[2], "--dir") != 0) {
                std::fprintf(stderr, "usage: %s run-once --dir DIR\n", argv[0]);
                return 2;
            }
            return RunOnce(argv[3]);
        }
        if (argc >= 2 && std::strcmp(argv[1], "reference") == 0) {
            TReferenceParams p;
            const char* pw = std::getenv("TARVIK_DB_PASSWORD");
            p.password = pw ? pw : "tarvik-test-pw";
            p.database = argc >= 4 ? argv[3] : "tarvik_bench";
            p.branch = kBranch;
            p.storeCode = kStoreCode;
            RunReference(p);
            return 0;
        }
        TOptions options;
        for (int i = 1; i < argc; ++i) {
            if (std::strcmp(argv[i], "--products") == 0 && i + 1 < argc) options.products = std::atoll(argv[++i]);
            else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) options.repeat = std::atoi(argv[++i]);
            else if (std::strcmp(argv[i], "--database") == 0 && i + 1 < argc) options.database = argv[++i];
            else if (std::strcmp(argv[i], "--variant") == 0 && i + 1 < argc) {
                const std::string v = argv[++i];
                options.settingsVariant = v == "settings" || v == "both";
                options.serverVariant = v == "server" || v == "both";
                if (!options.settingsVariant && !options.serverVariant) options.repeat = 0;
            } else {
                options.repeat = 0;
            }
            if (options.repeat < 1 || options.products < 0) {
                std::fprintf(stderr,
                             "usage: %s [--products N] [--repeat R] [--variant settings|server|both] "
                             "[--database NAME] | run-once --dir DIR\n",
                             argv[0]);
                return 2;
            }
        }
        // The name goes into statements unquoted.
        for (const char c : options.database)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
                std::fprintf(stderr, "--database: letters, digits and _ only\n");
                return 2;
            }
        return Measure(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
