#include "tests/support/PrivateServer.h"

#include "tests/support/ChildProcess.h"

#include <mysql.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <thread>

namespace tarvik::test {
namespace {

using namespace std::chrono_literals;

// Standard output and error to the end of `log`, nothing on standard input.
TSpawnOptions Logged(const std::string& log) {
    TSpawnOptions options;
    options.output = log;
    options.append = true;
    options.errorToOutput = true;
    options.inputFromNull = true;
    return options;
}

std::string UserName() {
    const passwd* pw = ::getpwuid(::geteuid());
    return pw ? pw->pw_name : "root";
}

// True when the process ended (and is reaped now).
bool Reaped(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == pid;
}

// 127.77.x.y: far from the shared server's 127.0.0.1 and from any address a test calls closed.
std::string AddressFor(int attempt) {
    const unsigned n = static_cast<unsigned>(::getpid()) + static_cast<unsigned>(attempt) * 7919u;
    return "127.77." + std::to_string((n >> 8) & 255u) + "." + std::to_string(1 + n % 253u);
}

class TSocketSession {
public:
    TSocketSession(const std::string& socket, const std::string& password) : handle_(mysql_init(nullptr)) {
        unsigned timeout = 2;
        mysql_options(handle_.get(), MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
        if (!mysql_real_connect(handle_.get(), "localhost", "root", password.c_str(), nullptr, 0, socket.c_str(),
                                CLIENT_MULTI_STATEMENTS)) {
            error_ = mysql_error(handle_.get());
            handle_.reset();
        }
    }

    bool Open() const { return handle_ != nullptr; }
    const std::string& Error() const { return error_; }

    std::vector<TRow> Run(const std::string& sql) {
        if (!handle_) throw std::runtime_error("private server not reachable: " + error_);
        MYSQL* h = handle_.get();
        if (mysql_real_query(h, sql.data(), sql.size()) != 0)
            throw std::runtime_error("private server statement failed: " + std::string(mysql_error(h)) + "\n" + sql);
        std::vector<TRow> rows;
        do {
            const TResultHandle result(mysql_store_result(h));
            MYSQL_RES* r = result.get();
            if (!r) continue;
            const unsigned columns = mysql_num_fields(r);
            while (MYSQL_ROW row = mysql_fetch_row(r)) {
                const unsigned long* lengths = mysql_fetch_lengths(r);
                TRow out;
                for (unsigned i = 0; i < columns; ++i)
                    out.push_back(row[i] ? std::optional<std::string>(std::string(row[i], lengths[i]))
                                         : std::nullopt);
                rows.push_back(std::move(out));
            }
        } while (mysql_next_result(h) == 0);
        return rows;
    }

private:
    TConnectionHandle handle_;
    std::string error_;
};

}  // namespace

TPrivateServer::TPrivateServer(std::vector<std::string> options) : TPrivateServer(std::move(options), nullptr) {}

TPrivateServer::TPrivateServer(std::vector<std::string> options, TOptionsForHost optionsFor)
    : options_(std::move(options)), optionsFor_(std::move(optionsFor)) {
    address_.password = TestServer().password;
    // Its own tmpdir for the bootstrap too: installs running side by side in the shared /tmp
    // were seen to trip over each other's temporary tables.
    ::mkdir(TmpDir().c_str(), 0700);
    const pid_t install = Spawn({"mariadb-install-db", "--no-defaults", "--user=" + UserName(),
                                 "--datadir=" + dir_.File("data"), "--tmpdir=" + TmpDir(),
                                 "--auth-root-authentication-method=normal", "--skip-test-db"},
                                Logged(dir_.File("install.log")));
    int status = 0;
    ::waitpid(install, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("mariadb-install-db failed:\n" + ReadWholeFile(dir_.File("install.log")));

    // Another test may hold the address: a server that cannot bind ends at once.
    for (int attempt = 0; attempt < 5 && !Running(); ++attempt) {
        address_.host = AddressFor(attempt);
        Launch();
        if (!WaitUntilReady()) {
            if (Running()) Kill();
        }
    }
    if (!Running()) throw std::runtime_error("private server did not start:\n" + ReadWholeFile(dir_.File("error.log")));

    TSocketSession(dir_.File("mysqld.sock"), "")
        .Run("DELETE FROM mysql.global_priv WHERE User = '' OR (User = 'root' AND Host <> 'localhost');"
             "FLUSH PRIVILEGES;"
             "ALTER USER 'root'@'localhost' IDENTIFIED BY '" + address_.password + "';"
             "CREATE USER 'root'@'%' IDENTIFIED BY '" + address_.password + "';"
             "GRANT ALL PRIVILEGES ON *.* TO 'root'@'%' WITH GRANT OPTION;"
             "FLUSH PRIVILEGES");
    passwordSet_ = true;
}

TPrivateServer::~TPrivateServer() {
    // Its data goes with the directory, so nothing needs an orderly shutdown.
    if (Running()) Kill();
}

void TPrivateServer::Launch() {
    ::mkdir(TmpDir().c_str(), 0700);  // again: a test may have taken it away
    std::vector<std::string> command = {"mariadbd", "--no-defaults", "--user=" + UserName(),
                                        "--datadir=" + dir_.File("data"), "--tmpdir=" + TmpDir(),
                                        "--socket=" + dir_.File("mysqld.sock"), "--pid-file=" + dir_.File("mysqld.pid"),
                                        "--bind-address=" + address_.host, "--port=3306", "--skip-name-resolve",
                                        "--innodb-buffer-pool-size=32M", "--log-error=" + dir_.File("error.log")};
    command.insert(command.end(), options_.begin(), options_.end());
    if (optionsFor_) {
        const std::vector<std::string> more = optionsFor_(address_.host);
        command.insert(command.end(), more.begin(), more.end());
    }
    pid_ = Spawn(command, Logged(dir_.File("stdout.log")));
}

bool TPrivateServer::WaitUntilReady() {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Reaped(pid_)) {
            pid_ = -1;
            return false;
        }
        if (TSocketSession(dir_.File("mysqld.sock"), passwordSet_ ? address_.password : "").Open()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

void TPrivateServer::Start() {
    if (Running()) return;
    Launch();
    if (!WaitUntilReady()) {
        if (Running()) Kill();
        throw std::runtime_error("private server did not start again:\n" + ReadWholeFile(dir_.File("error.log")));
    }
}

void TPrivateServer::Kill() {
    if (!Running()) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

void TPrivateServer::Stop() {
    if (!Running()) return;
    ::kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Reaped(pid_)) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(50ms);
    }
    Kill();
}

void TPrivateServer::Exec(const std::string& sql) { Query(sql); }

std::vector<TRow> TPrivateServer::Query(const std::string& sql) {
    return TSocketSession(dir_.File("mysqld.sock"), address_.password).Run(sql);
}

}  // namespace tarvik::test
