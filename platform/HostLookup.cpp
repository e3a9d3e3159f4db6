#include "platform/HostLookup.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/Errors.h"

namespace tarvik {
namespace {

// The lookup's own messages.
constexpr const char* kSocketError = "Socket Error # %d\r\n%s";
constexpr const char* kCannotCreateFile = "Cannot create file \"%s\". %s";

// The address history that the lookup keeps; it never holds entries, but every lookup leaves it.
constexpr const char* kHistoryFileName = "iphist.dat";

// Host names longer than this are cut, as the platform's own lookup does.
constexpr size_t kHostNameBuffer = 250;

THostResolver& ResolverOverride() {
    static THostResolver resolver = nullptr;
    return resolver;
}

int PlatformResolve(const std::string& hostName, std::vector<THostAddress>& addresses, std::string& errorText) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    // One entry per address; otherwise every address comes once per socket type.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(hostName.c_str(), nullptr, &hints, &found);
    if (rc != 0) {
        if (rc == EAI_SYSTEM) {
            const int error = errno;
            errorText = std::strerror(error);
            return error;
        }
        errorText = ::gai_strerror(rc);
        return rc;
    }
    for (const addrinfo* a = found; a; a = a->ai_next) {
        if (a->ai_family != AF_INET || !a->ai_addr) continue;
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        THostAddress address;
        std::memcpy(address.bytes, &in->sin_addr.s_addr, 4);
        addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    return 0;
}

std::string LocalHostName() {
    char buffer[kHostNameBuffer] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0) {
        const int error = errno;
        throw ESocketError(Format(kSocketError, error, std::strerror(error)));
    }
    return std::string(buffer, ::strnlen(buffer, sizeof buffer));
}

std::string HistoryFilePath() {
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return kHistoryFileName;
    std::string path = cwd;
    if (path.empty() || path.back() != '/') path += '/';
    return path + kHistoryFileName;
}

void LeaveEmptyHistoryFile() {
    const std::string path = HistoryFilePath();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        throw EFCreateError(Format(kCannotCreateFile, path.c_str(), std::strerror(error)));
    }
    ::close(fd);
}

}  // namespace

std::string DottedAddress(const uint8_t (&bytes)[4]) {
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) + "." +
           std::to_string(bytes[3]);
}

void SetHostResolverOverride(THostResolver resolver) { ResolverOverride() = resolver; }

std::string LocalAddress() {
    const std::string hostName = LocalHostName();
    std::vector<THostAddress> addresses;
    std::string errorText;
    const THostResolver resolve = ResolverOverride() ? ResolverOverride() : &PlatformResolve;
    int rc = resolve(hostName, addresses, errorText);
    if (rc == 0 && addresses.empty()) {
        // A name with no IPv4 address is a failed lookup, not an empty address.
        rc = EAI_NONAME;
        errorText = ::gai_strerror(rc);
    }
    if (rc != 0) throw ESocketError(Format(kSocketError, rc, errorText.c_str()));
    const std::string address = DottedAddress(addresses.front().bytes);
    LeaveEmptyHistoryFile();
    return address;
}

}  // namespace tarvik
