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

void AppendWindows1252(std::string& out, unsigned char c) {
    AppendUtf8(out, Windows1252CodePoint(c));
}

// The length of the well-formed UTF-8 sequence that starts at `at` (overlong forms,
// surrogates and code points past U+10FFFF are not well-formed), 0 when there is none.
size_t Utf8SequenceAt(const std::string& text, size_t at) {
    const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    size_t length = 0;
    unsigned char low = 0x80;  // the range of the second byte, narrower after some leads
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

}  // namespace

std::string Utf8FromSystemText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const size_t length = c < 0x80 ? 1 : Utf8SequenceAt(text, at);
        if (length > 0) {
            out.append(text, at, length);
            at += length;
        } else {
            AppendWindows1252(out, c);
            ++at;
        }
    }
    return out;
}

std::string Utf8FromWindows1252(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const unsigned char c : text) AppendWindows1252(out, c);
    return out;
}

std::string Fill(const char* pattern, std::initializer_list<std::string_view> values) {
    const std::string_view text(pattern);
    std::string out;
    auto value = values.begin();
    size_t at = 0;
    for (size_t mark = text.find("%s"); mark != std::string_view::npos && value != values.end();
         mark = text.find("%s", at)) {
        out.append(text, at, mark - at);
        out.append(*value++);
        at = mark + 2;
    }
    out.append(text, at);
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
