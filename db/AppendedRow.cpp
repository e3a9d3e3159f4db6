#include "db/AppendedRow.h"

#include <algorithm>
#include <string_view>

#include "db/Messages.h"
#include "db/ReservedWords.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace tarvik {

void AppendColumnName(std::string& out, std::string_view name) {
    if (!NameNeedsQuotes(name)) {
        out += name;
        return;
    }
    AppendEnclosed(out, name, '`');
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

std::vector<TUnsetColumn> UnsetColumns(const std::string& table, const std::vector<TColumnInfo>& columns,
                                       const std::vector<TField>& fields) {
    std::vector<TUnsetColumn> layout;
    for (size_t i = 0; i < columns.size(); ++i) {
        const TColumnInfo& column = columns[i];
        if (!SameText(column.table, table)) continue;
        const bool listed = !column.nameMayBeLost && std::any_of(fields.begin(), fields.end(), [i](const TField& f) {
                                return f.info == static_cast<int>(i);
                            });
        layout.push_back({column, listed, InitialValueOf(column)});
    }
    return layout;
}

std::vector<TEditCell> NewRow(const std::vector<TField>& fields, const std::vector<TColumnInfo>& columns) {
    std::vector<TEditCell> row(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].info < 0) continue;
        TInitialValue initial = InitialValueOf(columns[static_cast<size_t>(fields[i].info)]);
        row[i].value = std::move(initial.text);
        row[i].serverDefault = initial.serverDefault;
    }
    return row;
}

TRowInsert BuildRowInsert(const std::string& table, const std::vector<TField>& fields,
                          const std::vector<TColumnInfo>& columns, const std::vector<TEditCell>& row,
                          const std::string& query, TQuoting quoting) {
    TRowInsert insert;
    std::vector<std::string_view> names;
    std::vector<TInsertValue> values;
    std::vector<int> listed;  // learned columns already in the statement
    for (size_t i = 0; i < fields.size(); ++i) {
        const int info = fields[i].info;
        const TColumnInfo* column = info >= 0 ? &columns[static_cast<size_t>(info)] : nullptr;
        if (!column || !SameText(column->table, table)) {
            // A server that would not describe the table (SHOW COLUMNS refused) must not turn
            // a set value into a row of defaults reported as inserted.
            if (row[i].set)
                throw EDatabaseError(
                    Format(db_messages::kFieldWithoutColumn, query.c_str(), fields[i].name.c_str(), table.c_str()));
            continue;
        }
        if (std::find(listed.begin(), listed.end(), info) != listed.end()) continue;
        if (column->nameMayBeLost && !row[i].set) continue;
        listed.push_back(info);
        names.push_back(column->name);
        TInsertValue value;
        value.kind = fields[i].kind.kind;
        value.serverDefault = row[i].serverDefault;
        if (row[i].value) value.text = *row[i].value;
        values.push_back(value);
        if (column->autoIncrement && insert.autoIncrementField < 0) insert.autoIncrementField = static_cast<int>(i);
    }
    insert.statement = BuildInsertStatement(table, names, values, quoting);
    return insert;
}

}  // namespace tarvik
