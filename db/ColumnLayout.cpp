#include "db/ColumnLayout.h"

#include "db/ValueText.h"
#include "platform/Text.h"

namespace tarvik {
namespace {

// MySQL and MariaDB 10.2 and later say "VIRTUAL GENERATED" or "STORED GENERATED"; MariaDB
// before 10.2 said "VIRTUAL" or "PERSISTENT". MySQL's "DEFAULT_GENERATED" is a default, not this.
bool IsGenerated(std::string_view extra) {
    return ContainsText(extra, "VIRTUAL GENERATED") || ContainsText(extra, "STORED GENERATED") ||
           ContainsText(extra, "PERSISTENT") || SameText(extra, "VIRTUAL");
}

// MariaDB prints a literal default of a TEXT, BLOB or JSON column in single quotes and an
// expression default bare; every other type's literal comes raw, quotes and all (a VARCHAR
// whose default is 'x' with its quotes prints as 'x').
bool QuotesItsLiteralDefault(const TColumnInfo& column) {
    if (column.isJson) return true;
    return (column.kind.kind == TFieldKind::LongText || column.kind.kind == TFieldKind::Bytes) &&
           !StartsWithText(column.type, "set");
}

// The literal that stores exactly the column's default, or nullopt where the layer cannot show
// one and the insert is to say DEFAULT.
std::optional<std::string> ExactLiteralOfDefault(const TColumnInfo& column) {
    const std::string& shown = *column.shownDefault;
    switch (column.kind.kind) {
        case TFieldKind::Integer:
        case TFieldKind::LargeInt:
            // Anything but digits is an expression ("(1 + 1)", "uuid_short()") on a server that
            // does not mark it as one.
            if (!IsIntegerText(shown) || shown.front() == '+') return std::nullopt;
            return ValueAsRead(column.kind, shown);
        case TFieldKind::Float:
            if (!FloatLiteralKeepsDefault(column.type, shown)) return std::nullopt;
            return shown;
        case TFieldKind::Date:
        case TFieldKind::Time:
        case TFieldKind::DateTime: {
            // A text that is no date or time is an expression ("current_timestamp()").
            TDateTimeText parts;
            if (shown.empty() || !ParseDateTimeText(shown, parts)) return std::nullopt;
            return shown;
        }
        case TFieldKind::Text:
        case TFieldKind::LongText:
        case TFieldKind::Bytes: {
            std::optional<std::string> literal = shown;
            if (QuotesItsLiteralDefault(column)) literal = UnquoteShownDefault(shown);
            // The link is latin1: a character of the column's own set that latin1 lacks arrives
            // as '?', and SHOW COLUMNS does not say which column may hold such characters. A
            // default with a '?' in it goes as DEFAULT, which is exact in every case. The whole
            // default goes, whatever the field's size: it is the server's own and fits.
            if (!literal || literal->find('?') != std::string::npos) return std::nullopt;
            return literal;
        }
        case TFieldKind::None:
            break;
    }
    return std::nullopt;
}

}  // namespace

TColumnInfo LearnColumn(std::string table, const TShowColumnsRow& row) {
    TColumnInfo column;
    column.table = std::move(table);
    column.name = row.field;
    column.type = row.type;
    column.kind = KindFromColumnType(row.type);
    column.isEnum = row.type.substr(0, 4) == "enum";
    column.isJson = StartsWithText(row.type, "json");
    column.nameMayBeLost = row.field.find('?') != std::string_view::npos;
    // Servers answer YES or NO (older ones YES or nothing): only YES is nullable.
    column.nullable = SameText(row.null, "YES");
    column.autoIncrement = SameText(row.extra, "auto_increment");
    column.generated = IsGenerated(row.extra);
    column.serverFilled = column.generated || ContainsText(row.extra, "DEFAULT_GENERATED");
    if (!column.autoIncrement && row.defaultValue) column.shownDefault = std::string(*row.defaultValue);
    return column;
}

TInitialValue InitialValueOf(const TColumnInfo& column) {
    TInitialValue value;
    if (column.autoIncrement) return value;
    if (column.serverFilled) {
        value.serverDefault = true;
    } else if (column.shownDefault) {
        if (std::optional<std::string> literal = ExactLiteralOfDefault(column)) {
            value.text = std::move(literal);
        } else {
            value.serverDefault = true;
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

TUnsetOutcome UnsetOutcome(const TColumnInfo& column, bool listed, TSqlModeFlags mode) {
    if (column.autoIncrement || column.serverFilled || column.nullable || column.shownDefault)
        return TUnsetOutcome::Stored;
    // NOT NULL without a default.
    if (!listed) return mode.strict ? TUnsetOutcome::RefusedLeftOut : TUnsetOutcome::ImplicitDefault;
    if (column.isEnum) return TUnsetOutcome::Stored;  // DEFAULT: its first member
    if (column.isJson) return TUnsetOutcome::RefusedEmptyJson;
    const bool zeroDate = column.kind.kind == TFieldKind::Date || column.kind.kind == TFieldKind::DateTime;
    if (zeroDate && mode.strict && mode.noZeroDate) return TUnsetOutcome::RefusedZeroDate;
    return TUnsetOutcome::EmptyValue;
}

}  // namespace tarvik
