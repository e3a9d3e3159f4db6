#include "db/InsertStatement.h"

#include <charconv>
#include <cmath>

#include "db/ReservedWords.h"
#include "platform/Text.h"

namespace tarvik {
namespace {

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// [-]H+:MM:SS with an optional fraction, which is kept unless it is all zeros: a TIMESTAMP(3)
// default of 03:04:05.500 is not 03:04:05.
bool ParseTime(std::string_view text, std::string& time) {
    const size_t dot = text.find('.');
    std::string_view fraction;
    if (dot != std::string_view::npos) {
        fraction = text.substr(dot + 1);
        if (!AllDigits(fraction)) return false;
        text = text.substr(0, dot);
        if (fraction.find_first_not_of('0') == std::string_view::npos) fraction = {};
    }
    std::string_view hours = text;
    const size_t firstColon = text.find(':');
    if (firstColon == std::string_view::npos || text.size() != firstColon + 6 || text[firstColon + 3] != ':')
        return false;
    hours = text.substr(0, firstColon);
    const std::string_view digits = !hours.empty() && hours[0] == '-' ? hours.substr(1) : hours;
    if (!AllDigits(digits) || !AllDigits(text.substr(firstColon + 1, 2)) ||
        !AllDigits(text.substr(firstColon + 4, 2)))
        return false;
    time.assign(text);
    if (digits.size() == 1) time.insert(hours.size() - 1, "0");
    if (!fraction.empty()) {
        time += '.';
        time += fraction;
    }
    return true;
}

bool ParseDate(std::string_view text) {
    return text.size() == 10 && AllDigits(text.substr(0, 4)) && text[4] == '-' && AllDigits(text.substr(5, 2)) &&
           text[7] == '-' && AllDigits(text.substr(8, 2));
}

void AppendQuotedWithoutBackslashEscapes(std::string& out, std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        out += "_latin1 X'";
        for (const char c : text) AppendHexByte(out, static_cast<unsigned char>(c));
        out += '\'';
        return;
    }
    out += '\'';
    for (const char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
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

bool ParseDateTimeText(std::string_view text, TDateTimeText& parts) {
    parts = TDateTimeText{};
    if (text.empty()) return true;
    if (text.size() >= 10 && ParseDate(text.substr(0, 10))) {
        parts.date.assign(text.substr(0, 10));
        if (text.size() == 10) return true;
        if (text[10] != ' ' && text[10] != 'T') return false;
        return ParseTime(text.substr(11), parts.time);
    }
    return ParseTime(text, parts.time);
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

bool ParseLargeIntText(std::string_view text, long long& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
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

void AppendColumnName(std::string& out, std::string_view name) {
    if (!NameNeedsQuotes(name)) {
        out += name;
        return;
    }
    out += '`';
    for (const char c : name) {
        if (c == '`') out += '`';
        out += c;
    }
    out += '`';
}

std::string BuildInsertStatement(std::string_view table, const std::vector<std::string_view>& columns,
                                 const std::vector<TInsertValue>& values, TQuoting quoting) {
    std::string out = "INSERT INTO ";
    out += table;
    out += " (";
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) out += ", ";
        AppendColumnName(out, columns[i]);
    }
    out += ") VALUES (";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) out += ", ";
        AppendValueLiteral(out, values[i], quoting);
    }
    out += ')';
    return out;
}

}  // namespace tarvik
