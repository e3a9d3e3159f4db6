#pragma once
// A field's value as text, decided here and nowhere else: how a server's text reads into a
// field of each kind, which texts a field takes when it is set, and how a value is written
// into an INSERT. Texts are 8-bit byte strings.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "db/ColumnKinds.h"
#include "db/StatementText.h"

namespace tarvik {

// Integers.

// The integer value of a text as values are read from a result: a signed decimal number
// within 32 bits, 0 for anything else (the empty text included).
int32_t IntegerValueOf(std::string_view text);

// True for a decimal integer: an optional sign, then at least one digit, nothing else.
bool IsIntegerText(std::string_view text);

// True for a decimal number (optional sign, digits) that lies outside the signed 32-bit range,
// such as a large value of an unsigned or BIGINT-like column read into an integer field. Such a
// value must never be taken as 0: that would be a wrong number passed on as a right one.
bool IsIntegerOutOfRange(std::string_view text);

// The value of a large-integer text, false when it is no decimal integer of 64 bits.
bool ParseLargeIntText(std::string_view text, long long& value);

// Floating-point numbers and decimals.

// The value of a floating-point text, false when it is no finite number ("." separator).
bool ParseFloatText(std::string_view text, double& value);

// A floating-point value in general form with 15 significant digits and "." (17 where 15 would
// round it out of the double range), as the INSERT writes it.
std::string FloatLiteralText(double value);

// True when a number column's default, as SHOW COLUMNS printed it for a column of `type`,
// reaches the server unchanged through FloatLiteralText: the literal stores the default itself.
bool FloatLiteralKeepsDefault(std::string_view type, std::string_view shown);

// Dates and times.

// The parts of a date and time text ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS[.fraction]", with " "
// or "T" between, "[-]H+:MM:SS[.fraction]"); false when the text is none of them. The empty
// text is the zero value. A one-digit hour gets its leading zero; a fraction is kept unless it
// is all zeros.
struct TDateTimeText {
    std::string date = "0000-00-00";
    std::string time = "00:00:00";
};
bool ParseDateTimeText(std::string_view text, TDateTimeText& parts);

// Defaults as SHOW COLUMNS prints them.

// The literal of a default as MariaDB prints it for a TEXT, BLOB or JSON column: in single
// quotes, with '' and backslash escapes, which are undone. nullopt for a text that is not in
// quotes: on those types that is an expression ("uuid()", "concat('a','b')").
std::optional<std::string> UnquoteShownDefault(std::string_view text);

// A field's value.

// The value a field of `kind` takes from a text, as values are read from a result: an integer
// field keeps a 32-bit number in its decimal form, a number beyond 32 bits as its own digits
// (never 0, which would be another number), and 0 for the empty text; a sized text field keeps
// at most its size in bytes.
std::string ValueAsRead(const TColumnKind& kind, std::string_view text);

// A field's (not NULL) value read as an integer: an integer field's own number, an
// EConvertError for one beyond 32 bits; any other field's value as read, by the integer text
// rule (TryStrToInt). The errors say "'<text>' is not a valid integer value".
int32_t IntegerOfValue(const TColumnKind& kind, std::string_view text);

// The value a field of `kind` keeps when it is set to `text`; nullopt (NULL) for the empty
// text of a number, date or time field. An integer field takes the integer text rule and keeps
// the number's decimal form, a large-integer field a decimal integer of 64 bits, a float field
// a finite number as written, a date or time field a text ParseDateTimeText reads, as written;
// any other text raises EConvertError naming the text and `field`. Other kinds keep the text
// as read (ValueAsRead).
std::optional<std::string> ValueOfSetText(const TColumnKind& kind, const std::string& text, const std::string& field);

// The value a field of `kind` keeps when it is set to an integer: its decimal form, as read;
// EConvertError naming the number and `field` for a date or time field.
std::string ValueOfSetInteger(const TColumnKind& kind, int32_t value, const std::string& field);

// A value in an INSERT.

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

}  // namespace tarvik
