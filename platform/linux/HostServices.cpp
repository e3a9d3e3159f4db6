// Linux stand-ins for the socket library's host name and resolver, and for the creation of
// the address-history file.

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/Errors.h"
#include "platform/Messages.h"
#include "platform/SystemServices.h"

namespace tarvik::system {
namespace {

using platform_messages::kCannotCreateFile;
using platform_messages::kSocketError;

// The address history that the lookup keeps; it never holds entries, but every lookup leaves it.
constexpr const char* kHistoryFileName = "iphist.dat";

// Host names longer than this are cut, as the platform's own lookup does.
constexpr size_t kHostNameBuffer = 250;

std::string HistoryFilePath() {
    char cwd[PATH_MAX];
    if (!::getcwd(cwd, sizeof cwd)) return kHistoryFileName;
    std::string path = cwd;
    if (path.empty() || path.back() != '/') path += '/';
    return path + kHistoryFileName;
}

}  // namespace

int ResolveHostName(const std::string& hostName, std::vector<THostAddress>& addresses, std::string& errorText) {
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
    // Kept twin of the windows/ walk: each system declares addrinfo in its own header (<netdb.h>).
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

int NoAddressError(std::string& errorText) {
    errorText = ::gai_strerror(EAI_NONAME);
    return EAI_NONAME;
}

std::string LocalHostName() {
    char buffer[kHostNameBuffer] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0) {
        const int error = errno;
        throw ESocketError(Format(kSocketError, error, std::strerror(error)));
    }
    return std::string(buffer, ::strnlen(buffer, sizeof buffer));
}

void LeaveEmptyHistoryFile() {
    const std::string path = HistoryFilePath();
    // O_NOFOLLOW: a link is refused (ELOOP), not followed to truncate its target. O_NONBLOCK:
    // a FIFO of that name fails at once (ENXIO) instead of waiting for a reader forever. Not
    // O_TRUNC: a file with a second name (a hard link to someone else's file) is refused
    // before anything is cut, and only a plain file of ours is emptied.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0) {
        struct stat st;
        if (::fstat(fd, &st) != 0) error = errno;
        else if (S_ISREG(st.st_mode) && st.st_nlink > 1) error = EMLINK;
        else if (S_ISREG(st.st_mode) && ::ftruncate(fd, 0) != 0) error = errno;
        ::close(fd);
    }
    if (error != 0) throw EFCreateError(Format(kCannotCreateFile, path.c_str(), std::strerror(error)));
}

}  // namespace tarvik::system
