#pragma once
// The row a live query appends: what each field starts with, what the run sets, and the
// INSERT that posts it into the first table of the FROM clause: its names and values in their
// places (each value as ValueText writes it).

#include <optional>
#include <string>
#include <vector>

#include "db/ColumnLayout.h"
#include "db/ResultLayout.h"
#include "db/StatementText.h"
#include "db/ValueText.h"

namespace tarvik {

// A column of the table that an appended row goes into, and what an insert carries for it
// while nobody sets it.
struct TUnsetColumn {
    TColumnInfo column;
    bool listed = false;  // the insert names it (it has a field); otherwise it is left out
    TInitialValue initial;
};

// Every learned column of `table`, in the server's order, with what the insert sends for it
// if the run sets nothing: the one place that decides it.
std::vector<TUnsetColumn> UnsetColumns(const std::string& table, const std::vector<TColumnInfo>& columns,
                                       const std::vector<TField>& fields);

// A field of the appended row: its value, whether the server fills it in (DEFAULT), and
// whether the caller set it, which makes it a value the insert must never leave out.
struct TEditCell {
    std::optional<std::string> value;
    bool serverDefault = false;
    bool set = false;
};

// A new row: each field bound to a learned column starts with that column's initial value,
// every other field with NULL.
std::vector<TEditCell> NewRow(const std::vector<TField>& fields, const std::vector<TColumnInfo>& columns);

// A column name as the INSERT writes it: as it stands, or in backquotes (a backquote in it
// doubled) where the server would not read it as that name: a reserved word, a name with a
// character outside [A-Za-z0-9_$], a name that reads as a number (NameNeedsQuotes).
void AppendColumnName(std::string& out, std::string_view name);

// "INSERT INTO " + table + " (" + columns + ") VALUES (" + values + ")", names and values each
// separated by ", ", the table as it stands, the columns as AppendColumnName writes them.
// `columns` and `values` are of one length.
std::string BuildInsertStatement(std::string_view table, const std::vector<std::string_view>& columns,
                                 const std::vector<TInsertValue>& values,
                                 TQuoting quoting = TQuoting::BackslashEscapes);

struct TRowInsert {
    std::string statement;
    int autoIncrementField = -1;  // the field whose value the server numbers, -1 for none
};

// The INSERT that posts `row` into `table`: each learned column of `table` once, in field
// order, except a column whose name may be lost on the link while nobody set it. A field that
// was set but has no column of `table` raises "<query>: Field '<field>' cannot be inserted:
// ...": a set value must reach the table or stop the post.
TRowInsert BuildRowInsert(const std::string& table, const std::vector<TField>& fields,
                          const std::vector<TColumnInfo>& columns, const std::vector<TEditCell>& row,
                          const std::string& query, TQuoting quoting);

}  // namespace tarvik
