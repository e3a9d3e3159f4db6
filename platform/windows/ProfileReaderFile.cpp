// The system's own profile reading. It opens, reads and closes the file on every call and
// caches nothing that outlives a change of the file.

#include <windows.h>

#include <vector>

#include "platform/ProfileReader.h"
#include "platform/windows/WideText.h"

namespace tarvik {
namespace {

// The file's path goes to the system in UTF-16, so that a folder outside the ANSI code page is
// found. Its contents are not changed by that: the sections, keys and values pass through the
// ANSI code page both ways, exactly as the ANSI call would pass them.
std::wstring WidenAnsi(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string NarrowAnsi(const wchar_t* wide, int length) {
    if (length <= 0) return std::string();
    const int n = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_ACP, 0, wide, length, text.data(), n, nullptr, nullptr);
    return text;
}

}  // namespace

std::string TProfileReader::ReadString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
    // Room for the longest value and its terminating zero: a longer value comes back cut.
    std::vector<wchar_t> buffer(kMaxValueLength + 1);
    // The system drops only trailing spaces from the default; tabs and line ends go as well here.
    const std::string fallback = DefaultWithoutTrailingBlanks(defaultValue);
    // Like the ANSI call, each text ends at its first zero byte.
    const DWORD n = ::GetPrivateProfileStringW(WidenAnsi(section.c_str()).c_str(), WidenAnsi(key.c_str()).c_str(),
                                               WidenAnsi(fallback.c_str()).c_str(), buffer.data(),
                                               static_cast<DWORD>(buffer.size()),
                                               system::WidePath(path_).c_str());
    std::string value = NarrowAnsi(buffer.data(), static_cast<int>(n));
    // A value the ANSI call would have cut at the buffer's size is cut the same.
    if (value.size() > kMaxValueLength) value.resize(kMaxValueLength);
    return value;
}

}  // namespace tarvik
