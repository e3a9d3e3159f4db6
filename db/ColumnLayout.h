#pragma once
// What the data layer learns of a table column from its SHOW COLUMNS row, and the value an
// appended row starts with in a column that nobody sets.
//
// The rule for every column: an insert carries exactly what the server would have put there
// by itself. Where the layer cannot write that value as a literal (a generated column, an
// expression default, the implicit default of a NOT NULL enum, a number column whose default
// text is no number), the insert says DEFAULT and the server fills the column in.

#include <optional>
#include <string>
#include <string_view>

#include "db/ColumnKinds.h"

namespace tarvik {

// One row of SHOW COLUMNS as the server sent it; nullopt for an SQL NULL.
struct TShowColumnsRow {
    std::string_view field;
    std::string_view type;
    std::string_view null;
    std::optional<std::string_view> defaultValue;
    std::string_view extra;
};

struct TColumnInfo {
    std::string table;
    std::string name;
    TColumnKind kind;
    bool nullable = false;
    std::optional<std::string> defaultText;
    bool autoIncrement = false;
    // A generated column, or one whose default is an expression (MySQL marks those
    // DEFAULT_GENERATED): its default text is no value, only the server can fill it.
    bool serverFilled = false;
    bool isEnum = false;
};

TColumnInfo LearnColumn(std::string table, const TShowColumnsRow& row);

// The value a field of `kind` takes from a text, as values are read from a result: an integer
// field keeps a 32-bit number in its decimal form, a number beyond 32 bits as its own digits
// (never 0, which would be another number), and 0 for the empty text; a sized text field keeps
// at most its size in bytes.
std::string ValueAsRead(const TColumnKind& kind, std::string_view text);

// The initial value of an appended row's field bound to `column`.
struct TInitialValue {
    bool serverDefault = false;      // the insert says DEFAULT
    std::optional<std::string> text;  // otherwise the value; nullopt for NULL
};
TInitialValue InitialValueOf(const TColumnInfo& column);

}  // namespace tarvik
