#pragma once
// A MariaDB server of the test's own, for the faults that the shared test server must never
// suffer (being killed in the middle of a run, restarted on its data).
//
// It listens on port 3306 of a loopback address of its own (127.77.x.y, from the test's pid,
// never 127.0.0.1), with its own data directory, --tmpdir and socket in a temporary directory.
// root has the test server's password, from anywhere. The process is a child of the test and
// is stopped by its pid when the object goes, whatever happened in between.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace tarvik::test {

class TPrivateServer {
public:
    // Installs a fresh data directory and starts the server on it, with `options` after its own
    // (say "--skip-character-set-client-handshake"); throws std::runtime_error when it does not
    // come up.
    explicit TPrivateServer(std::vector<std::string> options = {});
    // The same, with `optionsFor` asked for more options each time the server is started on an
    // address (its host): for what must name the address, such as a server certificate.
    using TOptionsForHost = std::function<std::vector<std::string>(const std::string& host)>;
    TPrivateServer(std::vector<std::string> options, TOptionsForHost optionsFor);
    ~TPrivateServer();
    TPrivateServer(const TPrivateServer&) = delete;
    TPrivateServer& operator=(const TPrivateServer&) = delete;

    const TServerAddress& Address() const { return address_; }
    pid_t Pid() const { return pid_; }
    // The server's --tmpdir, where it makes the on-disk temporary tables SHOW statements need.
    std::string TmpDir() const { return dir_.File("tmp"); }
    bool Running() const { return pid_ > 0; }

    // Starts the server again on the same data directory (after Kill or Stop).
    void Start();
    // SIGKILL, then reaps the process: no shutdown of its own, as in a crash.
    void Kill();
    // An orderly shutdown (SIGTERM), SIGKILL when it takes too long.
    void Stop();

    // Statements of the test's own, as root over the server's socket.
    void Exec(const std::string& sql);
    std::vector<TRow> Query(const std::string& sql);

private:
    void Launch();
    bool WaitUntilReady();

    TTempDir dir_;
    std::vector<std::string> options_;
    TOptionsForHost optionsFor_;
    TServerAddress address_;
    pid_t pid_ = -1;
    bool passwordSet_ = false;
};

}  // namespace tarvik::test
