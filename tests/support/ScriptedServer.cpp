#include "tests/support/ScriptedServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/WirePackets.h"

namespace tarvik::test {
namespace {

constexpr int kClientSeconds = 1;  // each wait for the client, until it hangs up or the test ends
constexpr unsigned kAutocommit = 0x0002;
constexpr unsigned kMoreResults = 0x0008;

void AppendTwo(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

std::string OkPacket(uint64_t changed, unsigned status) {
    std::string ok(1, '\0');
    AppendLengthEncoded(ok, changed);
    AppendLengthEncoded(ok, 0ull);  // last insert id
    AppendTwo(ok, status);
    AppendTwo(ok, 0);  // warnings
    return ok;
}

std::string EofPacket(unsigned status) {
    std::string eof = "\xfe";
    AppendTwo(eof, 0);
    AppendTwo(eof, status);
    return eof;
}

// The packets of one answer, numbered on from `sequence`.
void AppendAnswer(std::string& out, unsigned char& sequence, const TWireAnswer& answer, unsigned status) {
    switch (answer.kind) {
        case TWireAnswer::TKind::Ok:
            AppendPacket(out, sequence++, OkPacket(answer.changed, status));
            return;
        case TWireAnswer::TKind::Error: {
            std::string error = "\xff";
            AppendTwo(error, answer.errorNumber);
            error += "#HY000" + answer.message;
            AppendPacket(out, sequence++, error);
            return;
        }
        case TWireAnswer::TKind::Result: {
            std::string count;
            AppendLengthEncoded(count, answer.columns.size());
            AppendPacket(out, sequence++, count);
            for (const TWireColumn& column : answer.columns) {
                std::string definition;
                for (const std::string& part : {std::string("def"), std::string(), std::string(), std::string(),
                                                column.name, column.name})
                    AppendLengthEncoded(definition, part);
                definition += '\x0c';
                AppendTwo(definition, column.charset);
                definition += std::string("\xff\x00\x00\x00", 4);  // display length
                definition += static_cast<char>(column.type);
                AppendTwo(definition, 0);  // flags
                definition += '\0';        // decimals
                AppendTwo(definition, 0);
                AppendPacket(out, sequence++, definition);
            }
            AppendPacket(out, sequence++, EofPacket(kAutocommit));
            for (const auto& row : answer.rows) {
                std::string values;
                for (const std::optional<std::string>& value : row) {
                    if (value) AppendLengthEncoded(values, *value);
                    else values += '\xfb';
                }
                AppendPacket(out, sequence++, values);
            }
            AppendPacket(out, sequence++, EofPacket(status));
            return;
        }
    }
}

}  // namespace

TWireAnswer TWireAnswer::Ok(uint64_t changed) {
    TWireAnswer a;
    a.changed = changed;
    return a;
}

TWireAnswer TWireAnswer::Result(std::vector<TWireColumn> columns,
                                std::vector<std::vector<std::optional<std::string>>> rows) {
    TWireAnswer a;
    a.kind = TKind::Result;
    a.columns = std::move(columns);
    a.rows = std::move(rows);
    return a;
}

TWireAnswer TWireAnswer::Error(unsigned number, std::string message) {
    TWireAnswer a;
    a.kind = TKind::Error;
    a.errorNumber = number;
    a.message = std::move(message);
    return a;
}

TScriptedServer::TScriptedServer(TScript script) : script_(std::move(script)) {
    socket_ = Listen("127.0.0.1", 0, port_);
    thread_ = std::thread([this] { Serve(); });
}

TScriptedServer::~TScriptedServer() {
    stop_ = true;
    thread_.join();
    ::close(socket_);
}

std::vector<std::string> TScriptedServer::Received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

void TScriptedServer::Serve() {
    ServeEach(socket_, stop_, [this](int client) { Answer(client); });
}

void TScriptedServer::Answer(int client) {
    std::string out;
    AppendPacket(out, 0, Greeting("mysql_native_password"));
    std::string packet;
    if (!SendAll(client, out) || !ReadPacket(client, packet, 10)) return;
    out.clear();
    AppendPacket(out, 2, OkPacket(0, kAutocommit));  // any password will do
    if (!SendAll(client, out)) return;

    bool quiet = false;
    while (!stop_) {
        if (!ReadPacket(client, packet, kClientSeconds)) {
            // Nothing yet: the client is still busy, or waits for what never comes.
            pollfd p{client, POLLIN, 0};
            if (::poll(&p, 1, 0) > 0) {
                char c;
                if (::recv(client, &c, 1, MSG_PEEK) <= 0) return;  // hung up
            }
            continue;
        }
        if (packet.empty() || packet[0] == '\x01') return;  // COM_QUIT
        if (quiet) continue;
        out.clear();
        unsigned char sequence = 1;
        if (packet[0] != '\x03') {
            AppendPacket(out, sequence, OkPacket(0, kAutocommit));  // a ping, say
        } else {
            const std::string text = packet.substr(1);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                received_.push_back(text);
            }
            const TWireReply reply = script_(text);
            for (size_t i = 0; i < reply.answers.size(); ++i) {
                const bool last = i + 1 == reply.answers.size();
                AppendAnswer(out, sequence, reply.answers[i],
                             kAutocommit | (!last || reply.goQuiet ? kMoreResults : 0));
            }
            quiet = reply.goQuiet;
        }
        if (!SendAll(client, out)) return;
    }
}

}  // namespace tarvik::test
