#pragma once
// The kinds of value a field of the main connection holds, and how a column's kind and size
// follow from the Type text that SHOW COLUMNS gives for it.

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

}  // namespace tarvik
