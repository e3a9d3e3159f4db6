#pragma once
// The kinds of value a field of the main connection holds, and how a column's kind and size
// follow from the Type text that SHOW COLUMNS gives for it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

enum class TFieldKind {
    None,      // no field: the column can be neither read nor set, and stays out of inserts
    Integer,   // signed 32-bit integer
    LargeInt,  // eight-byte integer, held as its decimal text
    Float,
    Text,      // with a size
    LongText,
    Bytes,
    Date,
    Time,
    DateTime,
};

struct TColumnKind {
    TFieldKind kind = TFieldKind::None;
    int size = 0;  // text kinds only: at most this many bytes are kept

    bool operator==(const TColumnKind&) const = default;
};

inline constexpr int kMaxTextSize = 512;
inline constexpr int kDefaultTextSize = 50;

// The kind and size of a column from its SHOW COLUMNS Type text ("int(11)", "varchar(10)", ...).
TColumnKind KindFromColumnType(std::string_view type);

// A text size as fields keep it: at most kMaxTextSize, and kDefaultTextSize for 0.
int FieldTextSize(long long size);

// The integer value of a text as values are read from a result: a signed decimal number
// within 32 bits, 0 for anything else (the empty text included).
int32_t IntegerValueOf(std::string_view text);

// True for a decimal integer: an optional sign, then at least one digit, nothing else.
bool IsIntegerText(std::string_view text);

// True for a decimal number (optional sign, digits) that lies outside the signed 32-bit range,
// such as a large value of an unsigned or BIGINT-like column read into an integer field. Such a
// value must never be taken as 0: that would be a wrong number passed on as a right one.
bool IsIntegerOutOfRange(std::string_view text);

// The literal of a default as MariaDB prints it for a TEXT, BLOB or JSON column: in single
// quotes, with '' and backslash escapes, which are undone. nullopt for a text that is not in
// quotes: on those types that is an expression ("uuid()", "concat('a','b')").
std::optional<std::string> UnquoteShownDefault(std::string_view text);

}  // namespace tarvik
