#include "tests/identification/IdentificationSupport.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif
#include <mysql.h>

#include <stdexcept>

#include "platform/ExecutablePath.h"
#include "tests/support/HexEncode.h"
#include "tests/support/TestServer.h"

namespace tarvik::test {

std::string ConnectionConfText(const TConfEntries& entries) {
    std::string text = "[connection]\r\n";
    for (const auto& [key, value] : entries) text += key + "=" + value + "\r\n";
    return text;
}

TConfEntries TestServerConf(const std::string& host, const std::string& database) {
    const TServerAddress& server = TestServer();
    return {{"DatabaseIP", HexEncode(host)},
            {"Databasename", HexEncode(database)},
            {"Usuario", HexEncode(server.user)},
            {"Senha", HexEncode(server.password)}};
}

TScopedExecutableDirectory::TScopedExecutableDirectory(const std::string& directory) {
    SetExecutableDirectoryOverride(directory);
}

TScopedExecutableDirectory::~TScopedExecutableDirectory() { SetExecutableDirectoryOverride(std::string()); }



std::vector<unsigned long> SessionsOtherThanAdmin(TScratchDatabase& db) {
    const unsigned long admin = std::stoul(db.Scalar("SELECT CONNECTION_ID()"));
    std::vector<unsigned long> others;
    for (const unsigned long id : db.SessionsOnThisDatabase())
        if (id != admin) others.push_back(id);
    return others;
}

std::string FirstIPv4OfHostName() {
#ifdef _WIN32
    // Winsock answers nothing before it is started; the count it keeps makes this harmless.
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
#endif
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) throw std::runtime_error("gethostname failed");
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &found) != 0 || !found)
        throw std::runtime_error(std::string("this machine's name does not resolve: ") + name);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
    ::freeaddrinfo(found);
    return text;
}

}  // namespace tarvik::test
