#include "platform/HostLookup.h"

#include "platform/Errors.h"
#include "platform/Messages.h"
#include "platform/SystemServices.h"

namespace tarvik {
namespace {

THostResolver& ResolverOverride() {
    static THostResolver resolver = nullptr;
    return resolver;
}

bool& HistoryFileLeft() {
    static bool left = true;
    return left;
}

}  // namespace

void SetHistoryFileLeft(bool left) { HistoryFileLeft() = left; }

std::string DottedAddress(const uint8_t (&bytes)[4]) {
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) + "." +
           std::to_string(bytes[3]);
}

void SetHostResolverOverride(THostResolver resolver) { ResolverOverride() = resolver; }

std::string LocalAddress() {
    const std::string hostName = system::LocalHostName();
    std::vector<THostAddress> addresses;
    std::string errorText;
    const THostResolver resolve = ResolverOverride() ? ResolverOverride() : &system::ResolveHostName;
    int rc = resolve(hostName, addresses, errorText);
    // A name with no IPv4 address is a failed lookup, not an empty address.
    if (rc == 0 && addresses.empty()) rc = system::NoAddressError(errorText);
    if (rc != 0) throw ESocketError(Format(platform_messages::kSocketError, rc, errorText.c_str()));
    const std::string address = DottedAddress(addresses.front().bytes);
    if (HistoryFileLeft()) system::LeaveEmptyHistoryFile();
    return address;
}

}  // namespace tarvik
