// The dynamic loader searches only the system's folders for a bare name; the client library
// takes its plugins from its own folder under /usr/lib, which only root can write.

#include "platform/LibrarySearch.h"

namespace tarvik {

void RestrictLibrarySearch() {}

std::string ClientPluginFolder() { return std::string(); }

}  // namespace tarvik
