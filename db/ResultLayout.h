#pragma once
// The layout of a query's result: the columns that SHOW COLUMNS describes for the tables of
// its FROM clause, and the result's fields, each bound to the column it comes from.

#include <string>
#include <vector>

#include "db/ColumnLayout.h"

struct st_mysql_res;

namespace tarvik {

struct TField {
    std::string name;      // unique among the fields: a repeated name gets "_1", "_2", ...
    unsigned column = 0;   // index of the result column
    TColumnKind kind;
    int info = -1;         // index of the learned column, -1 when the server did not describe it
};

// Adds the columns of `table` from the stored answer to "SHOW COLUMNS FROM <table>".
void LearnColumns(const std::string& table, st_mysql_res* answer, std::vector<TColumnInfo>& columns);

// The fields of a stored result of `count` columns. A field takes its kind from the learned
// column it comes from (marking that column JSON where the result says so), otherwise from
// the result's own description; a column of no kind gets no field.
std::vector<TField> BindFields(st_mysql_res* result, unsigned count, std::vector<TColumnInfo>& columns);

// The index of the field named `name` (letter case ignored); raises "<query>: Field '<name>'
// not found" when there is none.
size_t FindField(const std::vector<TField>& fields, const std::string& name, const std::string& query);

}  // namespace tarvik
