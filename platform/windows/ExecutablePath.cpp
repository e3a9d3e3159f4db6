// The module file name of the running executable.

#include <windows.h>

#include "platform/SystemServices.h"
#include "platform/windows/WideText.h"

namespace tarvik::system {

std::string RunningExecutablePath() {
    // The call cuts a path that does not fit and then reports the full buffer: grow and retry.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return PathFromWide(buffer.data(), n);
        if (buffer.size() >= 32768) return std::string();  // longer than any path the system allows
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace tarvik::system
