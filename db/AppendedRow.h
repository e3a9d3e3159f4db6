#pragma once
// The row a live query appends: what each field starts with, what the run sets, and the
// INSERT that posts it into the first table of the FROM clause.

#include <optional>
#include <string>
#include <vector>

#include "db/ColumnLayout.h"
#include "db/ResultLayout.h"
#include "db/StatementText.h"

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
