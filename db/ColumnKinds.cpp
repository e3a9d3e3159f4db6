#include "db/ColumnKinds.h"

#include <charconv>

namespace tarvik {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The number between the parentheses of a Type text; 0 (hence the default size) when there
// is none or it is not a number.
long long NumberInParentheses(std::string_view type) {
    const size_t open = type.find('(');
    if (open == std::string_view::npos) return 0;
    const size_t close = type.find(')', open + 1);
    if (close == std::string_view::npos) return 0;
    const std::string_view digits = type.substr(open + 1, close - open - 1);
    long long value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < 0) return 0;
    return value;
}

// The length of the longest member of "enum('a','bcd')"; a '' or a backslash inside a member
// stands for one character.
long long LongestEnumMember(std::string_view type) {
    long long longest = 0;
    size_t i = type.find('(');
    if (i == std::string_view::npos) return 0;
    for (++i; i < type.size(); ++i) {
        if (type[i] != '\'') continue;
        long long length = 0;
        for (++i; i < type.size(); ++i) {
            if (type[i] == '\\' && i + 1 < type.size()) {
                ++i;
            } else if (type[i] == '\'') {
                if (i + 1 < type.size() && type[i + 1] == '\'') {
                    ++i;
                } else {
                    break;
                }
            }
            ++length;
        }
        if (length > longest) longest = length;
    }
    return longest;
}

}  // namespace

int FieldTextSize(long long size) {
    if (size <= 0) return kDefaultTextSize;
    if (size > kMaxTextSize) return kMaxTextSize;
    return static_cast<int>(size);
}

TColumnKind KindFromColumnType(std::string_view type) {
    if (StartsWith(type, "bigint")) return {TFieldKind::LargeInt, 0};
    if (StartsWith(type, "enum")) return {TFieldKind::Text, FieldTextSize(LongestEnumMember(type))};
    if (Contains(type, "int") || StartsWith(type, "year")) return {TFieldKind::Integer, 0};
    for (std::string_view name : {"double", "float", "real", "decimal", "numeric"})
        if (StartsWith(type, name)) return {TFieldKind::Float, 0};
    if (StartsWith(type, "char") || StartsWith(type, "varchar"))
        return {TFieldKind::Text, FieldTextSize(NumberInParentheses(type))};
    if (type == "date") return {TFieldKind::Date, 0};
    if (type == "datetime" || StartsWith(type, "timestamp")) return {TFieldKind::DateTime, 0};
    if (type == "time") return {TFieldKind::Time, 0};
    if (Contains(type, "blob")) return {TFieldKind::Bytes, 0};
    if (Contains(type, "text")) return {TFieldKind::LongText, 0};
    if (StartsWith(type, "set")) return {TFieldKind::Text, FieldTextSize(static_cast<long long>(type.size()) - 4)};
    return {};
}

}  // namespace tarvik
