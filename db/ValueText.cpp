#include "db/ValueText.h"

#include <charconv>
#include <cmath>

#include "db/Messages.h"
#include "platform/Conversions.h"
#include "platform/DateTimeText.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace tarvik {
namespace {

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

// [-]H+:MM:SS with an optional fraction, which is kept unless it is all zeros: a TIMESTAMP(3)
// default of 03:04:05.500 is not 03:04:05.
bool ParseTime(std::string_view text, std::string& time) {
    TTimeParts parts;
    if (!ReadTimeText(text, parts)) return false;
    time.clear();
    if (parts.negative) time += '-';
    if (parts.hours.size() == 1) time += '0';
    time += parts.hours;
    time += ':';
    AppendTwoDigits(time, parts.minute);
    time += ':';
    AppendTwoDigits(time, parts.second);
    if (parts.fraction.find_first_not_of('0') != std::string_view::npos) {
        time += '.';
        time += parts.fraction;
    }
    return true;
}

// A plain decimal numeral ([-+]digits[.digits]) without its sign's plus, its leading zeros and
// the trailing zeros of its fraction, so that two numerals of one value read alike; nullopt
// for any other text (an exponent included).
std::optional<std::string> CanonicalDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    for (const std::string_view part : {whole, fraction})
        for (const char c : part)
            if (c < '0' || c > '9') return std::nullopt;
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    if (whole.empty() && fraction.empty()) return std::string("0");
    std::string canonical = negative ? "-" : "";
    canonical += whole.empty() ? std::string_view("0") : whole;
    if (!fraction.empty()) {
        canonical += '.';
        canonical += fraction;
    }
    return canonical;
}

void AppendQuotedWithoutBackslashEscapes(std::string& out, std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        out += "_latin1 X'";
        for (const char c : text) AppendHexByte(out, static_cast<unsigned char>(c));
        out += '\'';
        return;
    }
    AppendEnclosed(out, text, '\'');
}

void AppendQuoted(std::string& out, std::string_view text, TQuoting quoting) {
    if (quoting == TQuoting::NoBackslashEscapes) {
        AppendQuotedWithoutBackslashEscapes(out, text);
        return;
    }
    out += '\'';
    for (char c : text) {
        switch (c) {
            case '\0': out += "\\0"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\x1a': out += "\\Z"; break;
            case '"': out += "\\\""; break;
            case '\'': out += "\\'"; break;
            case '\\': out += "\\\\"; break;
            default: out += c; break;
        }
    }
    out += '\'';
}

void AppendNumber(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// An integer text as a number: its value when the kind holds it, its own digits when it is a
// decimal number beyond that (never another number), 0 when it is no integer at all.
void AppendIntegerText(std::string& out, std::string_view text, bool fitsKind, long long value) {
    if (fitsKind) {
        AppendNumber(out, value);
    } else if (IsIntegerText(text)) {
        out += text;
    } else {
        out += '0';
    }
}

}  // namespace

int32_t IntegerValueOf(std::string_view text) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

bool IsIntegerText(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool IsIntegerOutOfRange(std::string_view text) {
    if (!IsIntegerText(text)) return false;
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc::result_out_of_range;
}

bool ParseLargeIntText(std::string_view text, long long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseFloatText(std::string_view text, double& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

std::string FloatLiteralText(double value) {
    char buffer[40];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    // Fifteen digits can round a value near the top of the range past it, which the server
    // refuses; such a value is written with the digits that keep it exact.
    double back = 0;
    if (std::isfinite(value) &&
        (!ParseFloatText(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)), back) ||
         !std::isfinite(back)))
        result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

bool FloatLiteralKeepsDefault(std::string_view type, std::string_view shown) {
    // The server prints a FLOAT's default to six digits (16777217 shows as 16777200), so the
    // text is not the stored value.
    if (StartsWithText(type, "float")) return false;
    double value = 0;
    if (!ParseFloatText(shown, value)) return false;  // an expression such as "(1 + 1)"
    const std::string literal = FloatLiteralText(value);
    if (StartsWithText(type, "decimal") || StartsWithText(type, "numeric")) {
        // A DECIMAL's default comes with all its digits, and a plain numeral is read exactly;
        // a form with an exponent would be read as a double.
        const std::optional<std::string> sent = CanonicalDecimal(literal);
        return sent && sent == CanonicalDecimal(shown);
    }
    // A DOUBLE's default is printed with the digits that read back as the stored value.
    double back = 0;
    return ParseFloatText(literal, back) && back == value;
}

bool ParseDateTimeText(std::string_view text, TDateTimeText& parts) {
    parts = TDateTimeText{};
    if (text.empty()) return true;
    TDateParts date;
    if (text.size() >= 10 && ReadDateText(text.substr(0, 10), date)) {
        parts.date.assign(text.substr(0, 10));
        if (text.size() == 10) return true;
        if (text[10] != ' ' && text[10] != 'T') return false;
        return ParseTime(text.substr(11), parts.time);
    }
    return ParseTime(text, parts.time);
}

std::optional<std::string> UnquoteShownDefault(std::string_view text) {
    const size_t length = text.size();
    if (length < 2 || text.front() != '\'' || text.back() != '\'') return std::nullopt;

    std::string literal;
    literal.reserve(length - 2);
    const std::string_view inner = text.substr(1, length - 2);
    for (size_t i = 0; i < inner.size(); ++i) {
        char c = inner[i];
        if (c == '\'' && i + 1 < inner.size() && inner[i + 1] == '\'') {
            ++i;
        } else if (c == '\\' && i + 1 < inner.size()) {
            c = inner[++i];
            switch (c) {
                case '0': c = '\0'; break;
                case 'n': c = '\n'; break;
                case 'r': c = '\r'; break;
                case 't': c = '\t'; break;
                case 'Z': c = '\x1a'; break;
                default: break;
            }
        }
        literal += c;
    }
    return literal;
}

std::string ValueAsRead(const TColumnKind& kind, std::string_view text) {
    if (kind.kind == TFieldKind::Integer) {
        if (IsIntegerOutOfRange(text)) return std::string(text);
        return std::to_string(IntegerValueOf(text));
    }
    if (kind.kind == TFieldKind::Text && text.size() > static_cast<size_t>(kind.size))
        text = text.substr(0, static_cast<size_t>(kind.size));
    return std::string(text);
}

int32_t IntegerOfValue(const TColumnKind& kind, std::string_view text) {
    if (kind.kind == TFieldKind::Integer) {
        if (IsIntegerOutOfRange(text)) throw InvalidIntegerError(std::string(text));
        return IntegerValueOf(text);
    }
    return StrToInt(ValueAsRead(kind, text));
}

std::optional<std::string> ValueOfSetText(const TColumnKind& kind, const std::string& text, const std::string& field) {
    const bool numberOrDate = kind.kind == TFieldKind::Integer || kind.kind == TFieldKind::LargeInt ||
                              kind.kind == TFieldKind::Float || kind.kind == TFieldKind::Date ||
                              kind.kind == TFieldKind::Time || kind.kind == TFieldKind::DateTime;
    if (numberOrDate && text.empty()) return std::nullopt;
    switch (kind.kind) {
        case TFieldKind::Integer: {
            int32_t number = 0;
            if (!TryStrToInt(text, number))
                throw EConvertError(Format(db_messages::kInvalidIntegerForField, text.c_str(), field.c_str()));
            return std::to_string(number);
        }
        case TFieldKind::LargeInt: {
            long long number = 0;
            if (!ParseLargeIntText(text, number))
                throw EConvertError(Format(db_messages::kInvalidIntegerForField, text.c_str(), field.c_str()));
            return std::to_string(number);
        }
        case TFieldKind::Float: {
            double number = 0;
            if (!ParseFloatText(text, number))
                throw EConvertError(Format(db_messages::kInvalidFloatForField, text.c_str(), field.c_str()));
            return text;
        }
        case TFieldKind::Date:
        case TFieldKind::Time:
        case TFieldKind::DateTime: {
            TDateTimeText parts;
            if (!ParseDateTimeText(text, parts))
                throw EConvertError(Format(db_messages::kInvalidDateTimeForField, text.c_str(), field.c_str()));
            return text;
        }
        default:
            return ValueAsRead(kind, text);
    }
}

std::string ValueOfSetInteger(const TColumnKind& kind, int32_t value, const std::string& field) {
    const std::string text = std::to_string(value);
    switch (kind.kind) {
        case TFieldKind::Date:
        case TFieldKind::Time:
        case TFieldKind::DateTime:
            throw EConvertError(Format(db_messages::kInvalidDateTimeForField, text.c_str(), field.c_str()));
        default:
            return ValueAsRead(kind, text);
    }
}

void AppendValueLiteral(std::string& out, const TInsertValue& value, TQuoting quoting) {
    if (value.serverDefault) {
        out += "DEFAULT";
        return;
    }
    if (!value.text) {
        out += "NULL";
        return;
    }
    const std::string_view text = *value.text;
    switch (value.kind) {
        case TFieldKind::Integer:
            AppendIntegerText(out, text, !IsIntegerOutOfRange(text), IntegerValueOf(text));
            return;
        case TFieldKind::LargeInt: {
            long long number = 0;
            const bool fits = ParseLargeIntText(text, number);
            AppendIntegerText(out, text, fits, number);
            return;
        }
        case TFieldKind::Float: {
            double number = 0;
            if (!ParseFloatText(text, number)) number = 0;
            out += FloatLiteralText(number);
            return;
        }
        case TFieldKind::Date:
        case TFieldKind::Time:
        case TFieldKind::DateTime: {
            TDateTimeText parts;
            if (!ParseDateTimeText(text, parts)) {
                out += "DEFAULT";
                return;
            }
            out += '\'';
            if (value.kind == TFieldKind::Time) {
                out += parts.time;
            } else {
                out += parts.date;
                if (value.kind == TFieldKind::DateTime && parts.time != "00:00:00") {
                    out += ' ';
                    out += parts.time;
                }
            }
            out += '\'';
            return;
        }
        case TFieldKind::None:
        case TFieldKind::Text:
        case TFieldKind::LongText:
        case TFieldKind::Bytes:
            AppendQuoted(out, text, quoting);
            return;
    }
}

}  // namespace tarvik
