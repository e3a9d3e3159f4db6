#pragma once
// Stand-ins for the system's resolver (SetHostResolverOverride), so that tests produce this
// machine's address, or a failed lookup, without asking a name server.

#include <string>
#include <vector>

#include "platform/HostLookup.h"

namespace tarvik::test {

// Two addresses, the first of them not loopback.
inline int ResolveToSeveral(const std::string&, std::vector<THostAddress>& addresses, std::string&) {
    addresses.push_back({{10, 0, 200, 7}});
    addresses.push_back({{127, 0, 0, 1}});
    return 0;
}

inline int ResolveToLoopback(const std::string&, std::vector<THostAddress>& addresses, std::string&) {
    addresses.push_back({{127, 0, 0, 1}});
    return 0;
}

// A name without any IPv4 address, which the resolver itself does not call an error.
inline int ResolveToNone(const std::string&, std::vector<THostAddress>&, std::string&) { return 0; }

// Winsock's number and text for a name that is not found.
inline int ResolveFails(const std::string&, std::vector<THostAddress>&, std::string& errorText) {
    errorText = "Host not found";
    return 11001;
}

// Keeps a resolver in place for its lifetime; the system's own afterwards.
class TScopedResolver {
public:
    explicit TScopedResolver(THostResolver resolver) { SetHostResolverOverride(resolver); }
    ~TScopedResolver() { SetHostResolverOverride(nullptr); }
    TScopedResolver(const TScopedResolver&) = delete;
    TScopedResolver& operator=(const TScopedResolver&) = delete;
};

}  // namespace tarvik::test
