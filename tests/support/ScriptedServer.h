#pragma once
// A loopback listener that plays a server from a script: it logs any client in and answers each
// text the client sends with the answers the test's function gives for it. It gives the answers
// a real server never gives on purpose: fewer or more than the statements of a text, an INSERT
// answered with rows, a text that announces more answers and then goes quiet. One client at a
// time, on a thread of its own, until destroyed.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tarvik::test {

struct TWireColumn {
    std::string name;
    unsigned char type = 253;  // VAR_STRING; 3 is LONG, 8 LONGLONG
    unsigned charset = 8;      // latin1; 63 for numbers
};

struct TWireAnswer {
    enum class TKind { Ok, Result, Error };
    TKind kind = TKind::Ok;
    uint64_t changed = 0;
    std::vector<TWireColumn> columns;
    std::vector<std::vector<std::optional<std::string>>> rows;
    unsigned errorNumber = 0;
    std::string message;

    static TWireAnswer Ok(uint64_t changed);
    static TWireAnswer Result(std::vector<TWireColumn> columns,
                              std::vector<std::vector<std::optional<std::string>>> rows = {});
    static TWireAnswer Error(unsigned number, std::string message);
};

struct TWireReply {
    std::vector<TWireAnswer> answers;
    // The last answer still announces more, and then nothing comes: the client waits for it.
    bool goQuiet = false;
};

class TScriptedServer {
public:
    using TScript = std::function<TWireReply(const std::string& text)>;

    // Listens on 127.0.0.1, on a free port. Throws std::runtime_error when it cannot.
    explicit TScriptedServer(TScript script);
    ~TScriptedServer();
    TScriptedServer(const TScriptedServer&) = delete;
    TScriptedServer& operator=(const TScriptedServer&) = delete;

    unsigned Port() const { return port_; }
    // Every text the clients sent, in order.
    std::vector<std::string> Received() const;

private:
    void Serve();
    void Answer(int client);

    TScript script_;
    int socket_ = -1;
    unsigned port_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::string> received_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace tarvik::test
