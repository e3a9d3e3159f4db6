#include "tools/admin/Text.h"

#include "platform/Text.h"

#include <cstdint>
#include <cstdio>

namespace tarvik::admin {

namespace {

// Code points of 0x80 to 0x9F; the undefined ones map to themselves.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

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
    for (const unsigned char c : text) {
        if (c >= 0x80 && c <= 0x9F) AppendUtf8(out, kHighControls[c - 0x80]);
        else AppendUtf8(out, c);
    }
    return out;
}

std::string HexEncode(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const unsigned char c : bytes) AppendHexByte(out, c);
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
