#pragma once
// The INSERT statement that posting an appended row sends: the names and values in their
// places (each value as ValueText writes it).

#include <string>
#include <string_view>
#include <vector>

#include "db/StatementText.h"
#include "db/ValueText.h"

namespace tarvik {

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

}  // namespace tarvik
