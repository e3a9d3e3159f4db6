#pragma once
// Which column names an INSERT must put in backquotes.

#include <string_view>

namespace tarvik {

// True for a word that MySQL 8.0 or MariaDB (10.3 to 11) reserves, in any letter case: as a
// column name it must be quoted.
bool IsReservedWord(std::string_view word);

// True for a name the server would not read as that name when it stands bare: a reserved word,
// the empty name, a name with a character outside [A-Za-z0-9_$], or one that reads as a number
// (all digits, digits and an exponent such as 1e5, or 0x.. and 0b..). Any other name, such as
// produto_id or 2col, goes as it is.
bool NameNeedsQuotes(std::string_view name);

}  // namespace tarvik
