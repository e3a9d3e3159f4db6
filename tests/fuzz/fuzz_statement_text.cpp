// The sending rule (PrepareStatementText) on arbitrary text, against a reference reading of the
// rule: trim, then outside quoted stretches every run of blanks, tabs and line breaks is one
// blank; quoted stretches reach the server unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "db/StatementText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

bool IsRunBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string ReferencePrepare(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if ((c == '\'' || c == '"') && (i == 0 || text[i - 1] != '\\')) {
            // A quoted stretch runs to the same quote character that no backslash escapes, or
            // to the end of the text; it is copied as it stands.
            size_t j = i + 1;
            while (j < text.size() && text[j] != c) j += (text[j] == '\\' && j + 1 < text.size()) ? 2 : 1;
            if (j < text.size()) ++j;
            out.append(text.substr(i, j - i));
            i = j;
        } else if (IsRunBlank(c)) {
            out += ' ';
            while (i < text.size() && IsRunBlank(text[i])) ++i;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string sent = tarvik::PrepareStatementText(text);

    FUZZ_CHECK(sent.empty() || static_cast<unsigned char>(sent.front()) > 32);
    FUZZ_CHECK(sent.empty() || static_cast<unsigned char>(sent.back()) > 32);
    const std::string expected = ReferencePrepare(text);
    if (sent != expected) {
        tarvik::fuzz::Dump("text", text);
        tarvik::fuzz::Dump("sent", sent);
        tarvik::fuzz::Dump("expected", expected);
        FUZZ_CHECK(sent == expected);
    }
    // A text already in sending form goes out as it is.
    FUZZ_CHECK(tarvik::PrepareStatementText(sent) == sent);
    FUZZ_CHECK(tarvik::BeginsWithSelect(sent) == tarvik::BeginsWithSelect(text));
    return 0;
}
