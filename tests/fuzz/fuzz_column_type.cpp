// The column Type parser and the reading of a quoted default from SHOW COLUMNS, on arbitrary
// text; integer values of a result against a reference reading.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "db/ColumnKinds.h"
#include "db/ValueText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using tarvik::TFieldKind;

// An optional "-", then at least one decimal digit, nothing else, within 32 bits; 0 otherwise.
int32_t ReferenceIntegerValue(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return 0;
    int64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) return 0;
    }
    if (!negative && magnitude > 2147483647LL) return 0;
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

// A default as the server lists it for a text column: in single quotes, a quote doubled and a
// backslash or NUL escaped.
std::string ServerQuoted(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') out += "''";
        else if (c == '\\') out += "\\\\";
        else if (c == '\0') out += "\\0";
        else out += c;
    }
    return out + "'";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const tarvik::TColumnKind kind = tarvik::KindFromColumnType(text);
    if (kind.kind == TFieldKind::Text) {
        FUZZ_CHECK(kind.size >= 1 && kind.size <= tarvik::kMaxTextSize);
    } else {
        FUZZ_CHECK(kind.size == 0);
    }

    FUZZ_CHECK(tarvik::IntegerValueOf(text) == ReferenceIntegerValue(text));

    // A quoted default loses at least its two quotes; anything else is an expression.
    const std::optional<std::string> listed = tarvik::UnquoteShownDefault(text);
    if (listed) FUZZ_CHECK(text.size() >= 2 && listed->size() <= text.size() - 2);
    else FUZZ_CHECK(text.size() < 2 || text.front() != '\'' || text.back() != '\'');

    const std::string quoted = ServerQuoted(text);
    const std::optional<std::string> back = tarvik::UnquoteShownDefault(quoted);
    if (!back || *back != text) {
        tarvik::fuzz::Dump("default", text);
        tarvik::fuzz::Dump("listed as", quoted);
        if (back) tarvik::fuzz::Dump("read back", *back);
        FUZZ_CHECK(back && *back == text);
    }
    return 0;
}
