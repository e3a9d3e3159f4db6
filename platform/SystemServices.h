#pragma once
// The few calls into the operating system that the platform layer is built on, one
// implementation per system (platform/linux/, platform/windows/), chosen at build time.
// Only platform/ includes this header; the rest of the program uses the headers beside it.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/HostLookup.h"

namespace tarvik::system {

// The separator between directories in the paths that the system hands out.
#ifdef _WIN32
inline constexpr char kDirectorySeparator = '\\';
#else
inline constexpr char kDirectorySeparator = '/';
#endif
inline bool IsDirectorySeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

#ifdef _WIN32
// The system's text for an error number (GetLastError, Winsock), without the line end and
// final period it comes with, so that it reads well inside our own messages.
std::string SystemErrorText(unsigned long error);
#endif

// Low 32 bits of the high-resolution counter, or the milliseconds since the system started.
uint32_t SeedClockNow();

// The running executable's full path; the empty text when the system does not give it.
std::string RunningExecutablePath();

// This machine's host name; throws ESocketError when the system cannot give it.
std::string LocalHostName();

// The system's resolver, as THostResolver describes it.
int ResolveHostName(const std::string& hostName, std::vector<THostAddress>& addresses, std::string& errorText);

// The error number and text for a host name that resolved to no IPv4 address.
int NoAddressError(std::string& errorText);

// Creates "iphist.dat" in the current working directory, empty (truncated when it exists);
// throws EFCreateError naming its full path when it cannot. A symbolic link of that name is
// never followed (the file it points to might be anyone's, and the program often runs as an
// administrator): it is refused as a file that cannot be created, and so is a file that has
// more than one name (a hard link), before anything in it is cut.
void LeaveEmptyHistoryFile();

}  // namespace tarvik::system
