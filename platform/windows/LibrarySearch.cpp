// The loader's search restricted to the program's folder and System32.

#include "platform/LibrarySearch.h"

#include <windows.h>

#include "platform/SystemServices.h"
#include "platform/windows/WideText.h"

namespace tarvik {

void RestrictLibrarySearch() {
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Also out of the older search order, for a load that names its own flags.
    ::SetDllDirectoryW(L"");
}

namespace {

// The library builds its plugin paths in the ANSI code page; a folder name outside it is
// given by its short name, which is ASCII. The empty text when neither form fits.
std::string AnsiPath(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    // A system whose ANSI code page is UTF-8 takes every name, and no flags for it.
    const bool utf8 = ::GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, flags, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                        nullptr, utf8 ? nullptr : &lossy);
    if (n <= 0 || lossy) return std::string();
    std::string ansi(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, wide.c_str(), static_cast<int>(wide.size()), ansi.data(), n, nullptr,
                          nullptr);
    return ansi;
}

}  // namespace

std::string ClientPluginFolder() {
    std::wstring path = system::WidePath(system::RunningExecutablePath());
    const size_t separator = path.find_last_of(L"\\/");
    path.resize(separator == std::wstring::npos ? 0 : separator);
    std::string ansi = AnsiPath(path);
    if (ansi.empty()) {
        std::wstring shortPath(MAX_PATH, L'\0');
        const DWORD n = ::GetShortPathNameW(path.c_str(), shortPath.data(), MAX_PATH);
        if (n > 0 && n < MAX_PATH) ansi = AnsiPath(shortPath.substr(0, n));
    }
    // A folder that cannot be named to the library: one that holds nothing (the methods it
    // may use are all built into it) rather than the current folder.
    return ansi.empty() ? std::string("\\\\?\\nul") : ansi;
}

}  // namespace tarvik
