// The values of the INSERT statement, rendered from arbitrary texts of every field kind and
// read back by the server's rules: a value never leaves its place in the VALUES list, a number
// field only ever sends a number, a date field only a date, and a text arrives byte for byte.
// Both ways the server may read a backslash are covered, and the statement is read back after
// the sending rule too, which must leave every value as it was.
// Input: a mode byte, then per value a kind byte, a length byte and that many bytes of text.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/ColumnKinds.h"
#include "db/AppendedRow.h"
#include "db/ValueText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

using tarvik::TFieldKind;

constexpr TFieldKind kKinds[] = {TFieldKind::Integer, TFieldKind::LargeInt, TFieldKind::Float,
                                 TFieldKind::Text,    TFieldKind::LongText, TFieldKind::Bytes,
                                 TFieldKind::Date,    TFieldKind::Time,     TFieldKind::DateTime};

// One literal of a VALUES list as the server reads it. `raw` is the literal as written, `text`
// its value for a quoted one (or a hexadecimal one).
struct TLiteral {
    std::string raw;
    bool quoted = false;
    std::string text;
};

bool ReadQuoted(std::string_view s, size_t& i, std::string& value, tarvik::TQuoting quoting) {
    ++i;  // the opening quote
    while (i < s.size()) {
        const char c = s[i++];
        if (c == '\'') {
            if (i < s.size() && s[i] == '\'') {
                value += '\'';
                ++i;
                continue;
            }
            return true;
        }
        if (c != '\\' || quoting == tarvik::TQuoting::NoBackslashEscapes) {
            value += c;
            continue;
        }
        if (i >= s.size()) return false;
        const char e = s[i++];
        switch (e) {
            case '0': value += '\0'; break;
            case 'b': value += '\b'; break;
            case 'n': value += '\n'; break;
            case 'r': value += '\r'; break;
            case 't': value += '\t'; break;
            case 'Z': value += '\x1a'; break;
            case '%': value += "\\%"; break;  // kept with its backslash, for LIKE patterns
            case '_': value += "\\_"; break;
            default: value += e; break;
        }
    }
    return false;  // the literal never ends
}

// _latin1 X'hex digits': the bytes the digits stand for.
bool ReadHex(std::string_view s, size_t& i, std::string& value) {
    static constexpr std::string_view kHead = "_latin1 X'";
    if (s.substr(i, kHead.size()) != kHead) return false;
    i += kHead.size();
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
    while (i + 1 < s.size() && s[i] != '\'') {
        const int high = digit(s[i]), low = digit(s[i + 1]);
        if (high < 0 || low < 0) return false;
        value += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (i >= s.size() || s[i] != '\'') return false;
    ++i;
    return true;
}

// The literals between "VALUES (" and the final ")", separated by ", "; false when the text
// does not split that way.
bool ReadValues(std::string_view statement, std::vector<TLiteral>& literals, tarvik::TQuoting quoting) {
    static constexpr std::string_view kHead = "INSERT INTO t (";
    const size_t values = statement.find(") VALUES (");
    if (statement.substr(0, kHead.size()) != kHead || values == std::string_view::npos) return false;
    size_t i = values + 10;
    if (i < statement.size() && statement[i] == ')') return i + 1 == statement.size();
    for (;;) {
        TLiteral literal;
        const size_t start = i;
        if (i < statement.size() && statement[i] == '\'') {
            literal.quoted = true;
            if (!ReadQuoted(statement, i, literal.text, quoting)) return false;
        } else if (quoting == tarvik::TQuoting::NoBackslashEscapes && i < statement.size() && statement[i] == '_') {
            literal.quoted = true;
            if (!ReadHex(statement, i, literal.text)) return false;
        } else {
            while (i < statement.size() && statement[i] != ',' && statement[i] != ')' && statement[i] != '\'') ++i;
        }
        literal.raw = std::string(statement.substr(start, i - start));
        literals.push_back(literal);
        if (i >= statement.size()) return false;
        if (statement[i] == ')') return i + 1 == statement.size();
        if (statement.substr(i, 2) != ", ") return false;
        i += 2;
    }
}

bool OnlyOf(std::string_view text, std::string_view allowed) {
    return !text.empty() && text.find_first_not_of(allowed) == std::string_view::npos;
}

// A decimal integer's value as a text: no '+', no leading zeros, no "-0".
std::string CanonicalInteger(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    while (text.size() > 1 && text[0] == '0') text.remove_prefix(1);
    return (negative && text != "0" ? "-" : "") + std::string(text);
}

void CheckLiteral(const tarvik::TInsertValue& value, const TLiteral& literal) {
    if (!value.text) {
        FUZZ_CHECK(literal.raw == "NULL");
        return;
    }
    const std::string_view text = *value.text;
    switch (value.kind) {
        case TFieldKind::Integer:
            FUZZ_CHECK(!literal.quoted && OnlyOf(literal.raw, "+-0123456789"));
            // A number beyond 32 bits goes as its own digits, never as another number.
            if (tarvik::IsIntegerOutOfRange(text)) {
                FUZZ_CHECK(literal.raw == text);
            } else {
                FUZZ_CHECK(std::strtoll(literal.raw.c_str(), nullptr, 10) == tarvik::IntegerValueOf(text));
            }
            break;
        case TFieldKind::LargeInt:
            FUZZ_CHECK(!literal.quoted && OnlyOf(literal.raw, "+-0123456789"));
            // Any decimal integer keeps its value, however many digits it has.
            if (tarvik::IsIntegerText(text)) FUZZ_CHECK(CanonicalInteger(literal.raw) == CanonicalInteger(text));
            break;
        case TFieldKind::Float: {
            FUZZ_CHECK(!literal.quoted && OnlyOf(literal.raw, "-+.e0123456789"));
            const double sent = std::strtod(literal.raw.c_str(), nullptr);
            FUZZ_CHECK(std::isfinite(sent));
            double wanted = 0;
            // 15 significant digits; a subnormal value holds fewer, so only its magnitude is checked.
            if (tarvik::ParseFloatText(text, wanted))
                FUZZ_CHECK(std::fabs(sent - wanted) <= 1e-14 * std::fabs(wanted) ||
                           std::fabs(wanted) < std::numeric_limits<double>::min());
            break;
        }
        case TFieldKind::Date:
        case TFieldKind::Time:
        case TFieldKind::DateTime:
            // A fraction of the seconds goes with its point.
            if (literal.raw != "DEFAULT") FUZZ_CHECK(literal.quoted && OnlyOf(literal.text, "-0123456789:. "));
            break;
        default:
            FUZZ_CHECK(literal.quoted);
            if (literal.text != text) {
                tarvik::fuzz::Dump("value", text);
                tarvik::fuzz::Dump("sent", literal.raw);
                tarvik::fuzz::Dump("server reads", literal.text);
                FUZZ_CHECK(literal.text == text);
            }
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const tarvik::TQuoting quoting =
        data[0] & 1 ? tarvik::TQuoting::NoBackslashEscapes : tarvik::TQuoting::BackslashEscapes;
    std::vector<tarvik::TInsertValue> values;
    std::vector<std::string_view> columns;
    static const std::string_view kColumns[] = {"c0", "c1", "c2", "c3", "c4", "c5", "c6", "c7"};
    size_t pos = 1;
    while (pos + 2 <= size && values.size() < 8) {
        const uint8_t kindByte = data[pos];
        const size_t length = data[pos + 1];
        pos += 2;
        const size_t take = length < size - pos ? length : size - pos;
        tarvik::TInsertValue value;
        value.kind = kKinds[kindByte % 9];
        if (kindByte < 0xF0) value.text = std::string_view(reinterpret_cast<const char*>(data + pos), take);
        pos += take;
        values.push_back(value);
        columns.push_back(kColumns[columns.size()]);
    }

    const std::string built = tarvik::BuildInsertStatement("t", columns, values, quoting);
    // As built, and as it goes on the wire after the sending rule: the same values either way.
    for (const std::string& statement : {built, tarvik::PrepareStatementText(built, quoting)}) {
        std::vector<TLiteral> literals;
        if (!ReadValues(statement, literals, quoting) || literals.size() != values.size()) {
            tarvik::fuzz::Dump("statement", statement);
            FUZZ_CHECK(!"the VALUES list reads back as the values given");
        }
        for (size_t i = 0; i < values.size(); ++i) CheckLiteral(values[i], literals[i]);
    }
    return 0;
}
