#include "platform/windows/WideText.h"

#include <windows.h>

#include "platform/Text.h"

namespace tarvik::system {

std::wstring WidePath(const std::string& path) {
    if (path.empty()) return std::wstring();
    const int length = static_cast<int>(path.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, nullptr, 0);
    if (n > 0) {
        std::wstring wide(static_cast<size_t>(n), L'\0');
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), length, wide.data(), n);
        return wide;
    }
    std::wstring wide;
    wide.reserve(path.size());
    for (const char c : path) wide += static_cast<wchar_t>(Windows1252CodePoint(static_cast<unsigned char>(c)));
    return wide;
}

std::string PathFromWide(const wchar_t* wide, size_t length) {
    if (length == 0) return std::string();
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string path(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(length), path.data(), n, nullptr, nullptr);
    return path;
}

}  // namespace tarvik::system
