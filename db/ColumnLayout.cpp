#include "db/ColumnLayout.h"

#include "db/InsertStatement.h"
#include "platform/Text.h"

namespace tarvik {
namespace {


// MySQL and MariaDB 10.2 and later say "VIRTUAL GENERATED" or "STORED GENERATED"; MariaDB
// before 10.2 said "VIRTUAL" or "PERSISTENT".
bool IsGenerated(std::string_view extra) {
    return ContainsText(extra, "VIRTUAL GENERATED") || ContainsText(extra, "STORED GENERATED") ||
           ContainsText(extra, "PERSISTENT") || SameText(extra, "VIRTUAL");
}

bool IsNumberKind(TFieldKind kind) {
    return kind == TFieldKind::Integer || kind == TFieldKind::LargeInt || kind == TFieldKind::Float;
}

bool IsNumberText(TFieldKind kind, std::string_view text) {
    if (kind == TFieldKind::Float) {
        double value = 0;
        return ParseFloatText(text, value);
    }
    return IsIntegerText(text);
}

}  // namespace

TColumnInfo LearnColumn(std::string table, const TShowColumnsRow& row) {
    TColumnInfo column;
    column.table = std::move(table);
    column.name = row.field;
    column.kind = KindFromColumnType(row.type);
    column.isEnum = row.type.substr(0, 4) == "enum";
    // Servers answer YES or NO (older ones YES or nothing): only YES is nullable.
    column.nullable = SameText(row.null, "YES");
    column.autoIncrement = SameText(row.extra, "auto_increment");
    column.serverFilled = IsGenerated(row.extra) || ContainsText(row.extra, "DEFAULT_GENERATED");
    if (!column.autoIncrement && row.defaultValue)
        column.defaultText = DefaultFromShowColumns(row.defaultValue->data(), row.defaultValue->size());
    return column;
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

TInitialValue InitialValueOf(const TColumnInfo& column) {
    TInitialValue value;
    if (column.autoIncrement) return value;
    if (column.serverFilled) {
        value.serverDefault = true;
    } else if (column.defaultText) {
        // A number column whose default is an expression ("(1 + 1)", "uuid_short()") on a
        // server that does not mark it as one.
        if (IsNumberKind(column.kind.kind) && !IsNumberText(column.kind.kind, *column.defaultText)) {
            value.serverDefault = true;
        } else {
            value.text = ValueAsRead(column.kind, *column.defaultText);
        }
    } else if (!column.nullable) {
        // A NOT NULL enum's implicit default is its first member, which the empty text is not.
        if (column.isEnum) {
            value.serverDefault = true;
        } else {
            value.text = ValueAsRead(column.kind, std::string_view());
        }
    }
    return value;
}

}  // namespace tarvik
