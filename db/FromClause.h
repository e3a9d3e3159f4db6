#pragma once
// The tables that a SELECT names in its FROM clause.

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The tables after the statement's first FROM (a word in any letter case, outside quotes), in
// order, up to the first of WHERE, INTO, GROUP, ORDER, HAVING, FROM, FOR, PROCEDURE, LIMIT or a
// ";". A comma or a JOIN starts the next table; the word after a table, or after AS, is its
// alias; LEFT, RIGHT, INNER, OUTER, CROSS, NATURAL and FULL only lead up to a JOIN, and an ON
// or USING condition runs to the next table. Quotes (', ", `) and square brackets are taken
// out of a table's name.
std::vector<std::string> FromClauseTables(std::string_view statement);

}  // namespace tarvik
