#include "app/win32/Text.h"

#include "platform/Text.h"

namespace tarvik {

std::wstring WidenWindows1252(const std::string& bytes) {
    std::wstring wide;
    wide.reserve(bytes.size());
    for (const char c : bytes) wide += static_cast<wchar_t>(Windows1252CodePoint(static_cast<unsigned char>(c)));
    return wide;
}

}  // namespace tarvik
