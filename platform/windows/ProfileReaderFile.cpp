// The system's own profile reading. It opens, reads and closes the file on every call and
// caches nothing that outlives a change of the file.

#include <windows.h>

#include "platform/ProfileReader.h"

namespace tarvik {

std::string TProfileReader::ReadString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
    // Room for the longest value and its terminating zero: a longer value comes back cut.
    char buffer[kMaxValueLength + 1];
    // The system drops only trailing spaces from the default; tabs and line ends go as well here.
    const std::string fallback = DefaultWithoutTrailingBlanks(defaultValue);
    const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer,
                                               sizeof buffer, path_.c_str());
    return std::string(buffer, n);
}

}  // namespace tarvik
