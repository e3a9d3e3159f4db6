#include "db/ResultLayout.h"

#include <mysql.h>

#include <string_view>

#include "db/Messages.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace tarvik {
namespace {

std::string_view ColumnText(MYSQL_ROW row, const unsigned long* lengths, unsigned columns, unsigned i) {
    if (i >= columns || !row[i]) return {};
    return std::string_view(row[i], lengths[i]);
}

TColumnKind KindFromResultColumn(const MYSQL_FIELD& field) {
    switch (field.type) {
        case MYSQL_TYPE_DECIMAL:
        case MYSQL_TYPE_NEWDECIMAL:  // what servers send for DECIMAL columns
        case MYSQL_TYPE_FLOAT:
        case MYSQL_TYPE_DOUBLE:
            return {TFieldKind::Float, 0};
        case MYSQL_TYPE_TINY:
        case MYSQL_TYPE_SHORT:
        case MYSQL_TYPE_LONG:
        case MYSQL_TYPE_INT24:
        case MYSQL_TYPE_YEAR:
            return {TFieldKind::Integer, 0};
        case MYSQL_TYPE_LONGLONG:
            return {TFieldKind::LargeInt, 0};
        case MYSQL_TYPE_DATE:
        case MYSQL_TYPE_NEWDATE:
            return {TFieldKind::Date, 0};
        case MYSQL_TYPE_TIME:
            return {TFieldKind::Time, 0};
        case MYSQL_TYPE_DATETIME:
            return {TFieldKind::DateTime, 0};
        case MYSQL_TYPE_TINY_BLOB:
        case MYSQL_TYPE_MEDIUM_BLOB:
        case MYSQL_TYPE_LONG_BLOB:
        case MYSQL_TYPE_BLOB:
            return {(field.flags & BINARY_FLAG) ? TFieldKind::Bytes : TFieldKind::LongText, 0};
        default:
            return {TFieldKind::Text, FieldTextSize(static_cast<long long>(field.length))};
    }
}

// MariaDB keeps JSON as LONGTEXT with a check and says so only in the result's own description
// of the column (its format name), which the client library asks for when it connects.
bool IsJsonColumn(const MYSQL_FIELD& field) {
    MARIADB_CONST_STRING format{nullptr, 0};
    if (mariadb_field_attr(&format, &field, MARIADB_FIELD_ATTR_FORMAT_NAME) != 0 || !format.str) return false;
    return SameText(std::string_view(format.str, format.length), "json");
}

// The learned column of that name, the one of `table` first.
int FindColumn(const std::vector<TColumnInfo>& columns, std::string_view name, std::string_view table) {
    int byName = -1;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (!SameText(columns[i].name, name)) continue;
        if (SameText(columns[i].table, table)) return static_cast<int>(i);
        if (byName < 0) byName = static_cast<int>(i);
    }
    return byName;
}

}  // namespace

void LearnColumns(const std::string& table, MYSQL_RES* answer, std::vector<TColumnInfo>& columns) {
    const unsigned n = mysql_num_fields(answer);
    while (MYSQL_ROW row = mysql_fetch_row(answer)) {
        const unsigned long* lengths = mysql_fetch_lengths(answer);
        TShowColumnsRow shown;
        shown.field = ColumnText(row, lengths, n, 0);
        shown.type = ColumnText(row, lengths, n, 1);
        shown.null = ColumnText(row, lengths, n, 2);
        if (n > 4 && row[4]) shown.defaultValue = std::string_view(row[4], lengths[4]);
        shown.extra = ColumnText(row, lengths, n, 5);
        columns.push_back(LearnColumn(table, shown));
    }
}

std::vector<TField> BindFields(MYSQL_RES* result, unsigned count, std::vector<TColumnInfo>& columns) {
    std::vector<TField> fields;
    std::vector<std::string_view> names;  // the result's own names live as long as it does
    names.reserve(count);
    mysql_field_seek(result, 0);
    for (unsigned i = 0; i < count; ++i) {
        const MYSQL_FIELD* f = mysql_fetch_field(result);
        if (!f) break;
        std::string name(f->name, f->name_length);
        size_t earlier = 0;
        for (const std::string_view n : names)
            if (SameText(n, name)) ++earlier;
        names.emplace_back(f->name, f->name_length);

        TField field;
        field.column = i;
        field.info = FindColumn(columns, name, std::string_view(f->org_table, f->org_table_length));
        if (field.info >= 0 && IsJsonColumn(*f)) columns[static_cast<size_t>(field.info)].isJson = true;
        field.kind = field.info >= 0 ? columns[static_cast<size_t>(field.info)].kind : KindFromResultColumn(*f);
        if (field.kind.kind == TFieldKind::None) continue;
        field.name = earlier ? name + "_" + std::to_string(earlier) : std::move(name);
        fields.push_back(std::move(field));
    }
    return fields;
}

size_t FindField(const std::vector<TField>& fields, const std::string& name, const std::string& query) {
    for (size_t i = 0; i < fields.size(); ++i)
        if (SameText(fields[i].name, name)) return i;
    throw EDatabaseError(Format(db_messages::kFieldNotFound, query.c_str(), name.c_str()));
}

}  // namespace tarvik
