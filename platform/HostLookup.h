#pragma once
// This machine's own network address, as the identification connection looks it up when its
// configured host is "localhost".

#include <cstdint>
#include <string>
#include <vector>

namespace tarvik {

// This machine's host name, resolved to its IPv4 addresses; the first one, in dotted-decimal
// form. Each call looks the address up again and then leaves the empty address-history file
// "iphist.dat" in the current working directory (created, or truncated when it exists; never
// through a symbolic link, which is refused as a file that cannot be created).
// Throws ESocketError (kSocketError of platform/Messages.h: the error number and the system's
// text) when the name cannot be had or resolved, and EFCreateError (kCannotCreateFile: the
// file's path and the system's text) when the file cannot be created; in both cases no
// address is returned.
std::string LocalAddress();

// Whether LocalAddress leaves "iphist.dat" behind (it does unless told otherwise): a program
// that only inspects the settings turns it off, so that it writes nothing in the directory it
// was started from.
void SetHistoryFileLeft(bool left);

// The dotted-decimal form of an IPv4 address given in network byte order.
std::string DottedAddress(const uint8_t (&bytes)[4]);

// How a host name becomes IPv4 addresses: fills `addresses` (each four bytes in network
// order, in the resolver's order) and returns 0, or returns the platform's error number and
// fills `errorText` with its description.
struct THostAddress {
    uint8_t bytes[4];
};
using THostResolver = int (*)(const std::string& hostName, std::vector<THostAddress>& addresses,
                              std::string& errorText);

// Replaces the platform resolver, so that tests can produce resolution failures without
// asking a name server; nullptr restores the platform's own.
void SetHostResolverOverride(THostResolver resolver);

}  // namespace tarvik
