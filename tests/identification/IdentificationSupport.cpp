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

#include "identification/UConnectionInfoClass.h"
#include "platform/ExecutablePath.h"
#include "platform/ProfileReader.h"

namespace tarvik::test {

std::string ConnectionConfText(const TConfEntries& entries) {
    std::vector<TProfileEntry> raw;
    for (const auto& [key, value] : entries) raw.push_back({key, value});
    return ProfileSectionText(conf_keys::kSection, raw);
}

TScopedExecutableDirectory::TScopedExecutableDirectory(const std::string& directory) {
    SetExecutableDirectoryOverride(directory);
}

TScopedExecutableDirectory::~TScopedExecutableDirectory() { SetExecutableDirectoryOverride(std::string()); }

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
