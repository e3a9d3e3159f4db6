#include "tools/admin/Text.h"

#include "platform/Text.h"

#include <cstdint>
#include <cstdio>

namespace tarvik::admin {

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string Utf8FromWindows1252(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const unsigned char c : text) AppendUtf8(out, Windows1252CodePoint(c));
    return out;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const unsigned char c : text) {
        if (c < 32 || c == 127) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
    return Utf8FromWindows1252(out);
}

}  // namespace tarvik::admin
