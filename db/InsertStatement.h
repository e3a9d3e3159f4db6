#pragma once
// The INSERT statement that posting an appended row sends, and how each value is written in it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/ColumnKinds.h"
#include "db/StatementText.h"

namespace tarvik {

struct TInsertValue {
    TFieldKind kind = TFieldKind::Text;
    std::optional<std::string_view> text;  // nullopt: NULL
    bool serverDefault = false;            // DEFAULT: the server fills the column in
};

// Appends one value as the INSERT writes it:
// - DEFAULT for a value the server fills in, NULL for a NULL value;
// - Integer and LargeInt as their decimal number; a decimal number beyond the kind's range
//   (an unsigned column's default, say) as its own digits; 0 when the text is no integer (so
//   no text other than a number ever reaches the statement through a number field);
// - Float in general form with 15 significant digits and "." whatever the locale, 0 when the
//   text is no finite number;
// - Text, LongText and Bytes in single quotes, NUL, LF, CR, Ctrl-Z, ", ' and \ escaped with a
//   backslash (NUL, LF, CR and Ctrl-Z as \0, \n, \r and \Z). Where the server takes a
//   backslash as a plain character, a ' is written twice and every other byte as it stands;
//   a text holding a NUL, which cannot stand raw in a statement sent as a C string, is then
//   written as a hexadecimal literal in the link's character set (_latin1 X'...'), which the
//   server reads back byte for byte;
// - Date as 'YYYY-MM-DD', Time as 'HH:MM:SS', DateTime as 'YYYY-MM-DD HH:MM:SS' without the
//   time part at midnight, the seconds with their fraction unless it is zero; the empty text is
//   the zero value. A text that is no date or time
//   (a default such as "current_timestamp()") is written as DEFAULT, so that the server fills
//   in the column's own default instead of a zero date.
void AppendValueLiteral(std::string& out, const TInsertValue& value,
                        TQuoting quoting = TQuoting::BackslashEscapes);

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

// The parts of a date and time text ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS[.fraction]",
// "[-]H+:MM:SS"); false when the text is none of them. The empty text is the zero value.
struct TDateTimeText {
    std::string date = "0000-00-00";
    std::string time = "00:00:00";
};
bool ParseDateTimeText(std::string_view text, TDateTimeText& parts);

// A floating-point value in general form with 15 significant digits and "." (17 where 15 would
// round it out of the double range), as the INSERT writes it.
std::string FloatLiteralText(double value);

// The value of a floating-point text, false when it is no finite number ("." separator).
bool ParseFloatText(std::string_view text, double& value);

// The value of a large-integer text, false when it is no decimal integer of 64 bits.
bool ParseLargeIntText(std::string_view text, long long& value);

}  // namespace tarvik
