// This machine's host name and addresses through Winsock, and the address-history file
// through the Win32 file API.

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <cstring>

#include "platform/Errors.h"
#include "platform/Messages.h"
#include "platform/SystemServices.h"
#include "platform/windows/WideText.h"

namespace tarvik::system {
namespace {

using platform_messages::kCannotCreateFile;
using platform_messages::kSocketError;

// The address history that the lookup keeps; it never holds entries, but every lookup leaves it.
constexpr const char* kHistoryFileName = "iphist.dat";

// Host names longer than this are cut.
constexpr int kHostNameBuffer = 250;

// Winsock is started for each use and stopped after it, so that nothing stays open between
// lookups. A failed start is reported like any other socket error.
class TWinsock {
public:
    TWinsock() {
        WSADATA data;
        const int rc = ::WSAStartup(MAKEWORD(2, 2), &data);
        if (rc != 0) throw ESocketError(Format(kSocketError, rc, SystemErrorText(static_cast<DWORD>(rc)).c_str()));
    }
    ~TWinsock() { ::WSACleanup(); }
    TWinsock(const TWinsock&) = delete;
    TWinsock& operator=(const TWinsock&) = delete;
};

std::string HistoryFilePath() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring path(size, L'\0');
    const DWORD n = size ? ::GetCurrentDirectoryW(size, path.data()) : 0;
    if (n == 0 || n >= size) return kHistoryFileName;
    path.resize(n);
    std::string folder = PathFromWide(path);
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder + kHistoryFileName;
}

}  // namespace

// The system's text for an error number, without the line end and final period it comes with,
// so that it reads well inside our own messages.
std::string SystemErrorText(unsigned long error) {
    char* text = nullptr;
    const DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
        0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = n > 0 && text ? std::string(text, n) : std::string();
    if (text) ::LocalFree(text);
    while (!result.empty() && (static_cast<unsigned char>(result.back()) <= 32 || result.back() == '.'))
        result.pop_back();
    return result;
}

int ResolveHostName(const std::string& hostName, std::vector<THostAddress>& addresses, std::string& errorText) {
    TWinsock winsock;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    // One entry per address; otherwise every address comes once per socket type.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = ::getaddrinfo(hostName.c_str(), nullptr, &hints, &found);
    if (rc != 0) {
        errorText = SystemErrorText(static_cast<DWORD>(rc));
        return rc;
    }
    // Kept twin of the linux/ walk: each system declares addrinfo in its own header (<ws2tcpip.h>).
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
    errorText = SystemErrorText(WSANO_DATA);
    return WSANO_DATA;
}

std::string LocalHostName() {
    TWinsock winsock;
    char buffer[kHostNameBuffer] = {};
    if (::gethostname(buffer, kHostNameBuffer - 1) != 0) {
        const int error = ::WSAGetLastError();
        throw ESocketError(Format(kSocketError, error, SystemErrorText(static_cast<DWORD>(error)).c_str()));
    }
    return std::string(buffer, ::strnlen(buffer, sizeof buffer));
}

void LeaveEmptyHistoryFile() {
    const std::string path = HistoryFilePath();
    // The name itself is opened, never what a symbolic link or junction of that name points
    // to (FILE_FLAG_OPEN_REPARSE_POINT); a link is then refused, and so is a file with a second
    // name (a hard link: someone else's file under our name), and a plain file is emptied
    // through the handle that was checked.
    const HANDLE file = ::CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    DWORD error = file == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    if (error == ERROR_SUCCESS) {
        FILE_ATTRIBUTE_TAG_INFO info{};
        if (!::GetFileInformationByHandleEx(file, FileAttributeTagInfo, &info, sizeof info)) error = ::GetLastError();
        else if ((info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || info.ReparseTag != 0)
            error = ERROR_CANT_RESOLVE_FILENAME;
        if (error == ERROR_SUCCESS) {
            BY_HANDLE_FILE_INFORMATION file_info{};
            if (!::GetFileInformationByHandle(file, &file_info)) error = ::GetLastError();
            else if (file_info.nNumberOfLinks > 1) error = ERROR_TOO_MANY_LINKS;
        }
        if (error == ERROR_SUCCESS && !::SetEndOfFile(file)) error = ::GetLastError();
        ::CloseHandle(file);
    }
    if (error != ERROR_SUCCESS)
        throw EFCreateError(Format(kCannotCreateFile, path.c_str(), SystemErrorText(error).c_str()));
}

}  // namespace tarvik::system
