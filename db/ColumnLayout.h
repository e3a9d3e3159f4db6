#pragma once
// What the data layer learns of a table column from its SHOW COLUMNS row, and the value an
// appended row starts with in a column that nobody sets.
//
// The rule for every column: an insert carries exactly what the server would have put there
// by itself. A default goes as a literal only where the layer can show that the literal is the
// value the server stores for that column's type: integers as their own digits, texts that
// came through the link's character set unchanged, dates and times with their fraction, and
// numbers with a fraction whose fifteen-digit form is the default itself. Everything else (a
// generated column, an expression default, the implicit default of a NOT NULL enum, a FLOAT
// whose default the server prints rounded, a text that may have lost characters on the way)
// goes as DEFAULT, and the server fills the column in.

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
    std::string type;  // the Type text as the server printed it
    TColumnKind kind;
    bool nullable = false;
    // The Default column as the server sent it: nullopt for an SQL NULL (the column has no
    // default), which is not the four letters "NULL" nor the empty text, both of which are
    // defaults of a text column.
    std::optional<std::string> shownDefault;
    bool autoIncrement = false;
    // Computed by the server from other columns: it takes no value but DEFAULT (or NULL).
    bool generated = false;
    // A generated column, or one whose default is an expression (MySQL marks those
    // DEFAULT_GENERATED): its default text is no value, only the server can fill it.
    bool serverFilled = false;
    bool isEnum = false;
    // The name holds a '?', which is how the latin1 link shows a character it cannot carry
    // (a column named 数量 arrives as "??"): an insert that names it may name no column, so
    // such a column, while nobody sets it, is left out and the server fills it by itself.
    bool nameMayBeLost = false;
    // JSON: MySQL names the type; MariaDB says longtext and tells it in the result's own
    // description of the column, which the query adds when it binds its fields.
    bool isJson = false;
};

TColumnInfo LearnColumn(std::string table, const TShowColumnsRow& row);

// The initial value of an appended row's field bound to `column`.
struct TInitialValue {
    bool serverDefault = false;      // the insert says DEFAULT
    std::optional<std::string> text;  // otherwise the value; nullopt for NULL
};
TInitialValue InitialValueOf(const TColumnInfo& column);

// The server's sql_mode, as far as it decides whether an insert is taken.
struct TSqlModeFlags {
    bool strict = false;      // STRICT_TRANS_TABLES or STRICT_ALL_TABLES
    bool noZeroDate = false;  // NO_ZERO_DATE
};

// What the server makes of an insert that leaves `column` to the layer's rule: the initial
// value above when the column has a field (`listed`), otherwise no mention of the column.
enum class TUnsetOutcome {
    Stored,           // the server stores the value the rule gives, or its own default
    EmptyValue,       // NOT NULL without a default: the row gets 0, '' or the zero date
    ImplicitDefault,  // left out, NOT NULL without a default: a lax server fills in its own
    RefusedLeftOut,   // left out, NOT NULL without a default: the strict mode refuses the insert
    RefusedZeroDate,  // the zero date given to a NOT NULL date: strict mode with NO_ZERO_DATE refuses it
    RefusedEmptyJson, // the empty text given to a NOT NULL JSON column: no JSON, always refused
};
TUnsetOutcome UnsetOutcome(const TColumnInfo& column, bool listed, TSqlModeFlags mode);

}  // namespace tarvik
