#include "app/win32/Text.h"

#include <windows.h>

namespace tarvik {

std::wstring WidenWindows1252(const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(1252, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(1252, 0, bytes.data(), size, wide.data(), length);
    return wide;
}

}  // namespace tarvik
