// SHOW COLUMNS answers as the servers in the field print them, and what an insert then carries
// for a column that the run does not set. What MariaDB prints is also tested against the real
// server (ServerFilledColumnsTest); what only MySQL prints is recorded here.
#include "db/ColumnLayout.h"
#include "db/AppendedRow.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tarvik {
namespace {

struct TShownColumn {
    const char* server;
    const char* type;
    const char* null;
    std::optional<const char*> defaultValue;
    const char* extra;
    TFieldKind kind;
    std::string unsetLiteral;  // what the insert carries when nobody sets the column
};

using K = TFieldKind;

void PrintTo(const TShownColumn& c, std::ostream* os) {
    *os << c.server << " " << c.type << " Null=" << c.null << " Default=" << (c.defaultValue ? *c.defaultValue : "NULL")
        << " Extra=" << c.extra;
}

class ShownColumnTest : public ::testing::TestWithParam<TShownColumn> {};

TEST_P(ShownColumnTest, LearnsTheColumnAndFillsItAsTheServerWould) {
    const TShownColumn& c = GetParam();
    TShowColumnsRow row{"c", c.type, c.null, std::nullopt, c.extra};
    if (c.defaultValue) row.defaultValue = *c.defaultValue;
    const TColumnInfo column = LearnColumn("t", row);
    EXPECT_EQ(column.kind.kind, c.kind);

    if (column.kind.kind == K::None) {
        EXPECT_EQ(c.unsetLiteral, "(left out)");  // no field: the insert does not name it
        return;
    }
    const TInitialValue initial = InitialValueOf(column);
    TInsertValue value{column.kind.kind, std::nullopt, initial.serverDefault};
    if (initial.text) value.text = *initial.text;
    std::string literal;
    AppendValueLiteral(literal, value);
    EXPECT_EQ(literal, c.unsetLiteral);
}

constexpr const char* kMy57 = "MySQL 5.7";
constexpr const char* kMy80 = "MySQL 8.0";
constexpr const char* kMaria = "MariaDB 10.3-11.x";

INSTANTIATE_TEST_SUITE_P(
    Servers, ShownColumnTest,
    ::testing::Values(
        // Integers, with and without the display width MySQL 8.0 no longer prints.
        TShownColumn{kMy57, "int(11)", "NO", std::nullopt, "", K::Integer, "0"},
        TShownColumn{kMy80, "int", "NO", std::nullopt, "", K::Integer, "0"},
        TShownColumn{kMy80, "int", "YES", std::nullopt, "", K::Integer, "NULL"},
        TShownColumn{kMy80, "int", "NO", "7", "", K::Integer, "7"},
        TShownColumn{kMy80, "tinyint(1)", "NO", "1", "", K::Integer, "1"},
        TShownColumn{kMy80, "int unsigned", "NO", "3000000000", "", K::Integer, "3000000000"},
        TShownColumn{kMaria, "int(10) unsigned", "NO", "3000000000", "", K::Integer, "3000000000"},
        TShownColumn{kMy80, "bigint unsigned", "NO", "18446744073709551615", "", K::LargeInt, "18446744073709551615"},
        TShownColumn{kMaria, "bigint(20) unsigned", "NO", "18446744073709551615", "", K::LargeInt,
                     "18446744073709551615"},
        TShownColumn{kMy57, "bigint(20)", "NO", "-9000000000", "", K::LargeInt, "-9000000000"},
        TShownColumn{kMy80, "int", "NO", std::nullopt, "auto_increment", K::Integer, "NULL"},
        // Expression defaults: MySQL 8.0 marks them; MariaDB prints the bare expression, which
        // on a number column is no number.
        TShownColumn{kMy80, "int", "YES", "(1 + 1)", "DEFAULT_GENERATED", K::Integer, "DEFAULT"},
        TShownColumn{kMaria, "int(11)", "YES", "(1 + 1)", "", K::Integer, "DEFAULT"},
        TShownColumn{kMy80, "varchar(36)", "YES", "uuid()", "DEFAULT_GENERATED", K::Text, "DEFAULT"},
        TShownColumn{kMy80, "bigint unsigned", "NO", "uuid_short()", "DEFAULT_GENERATED", K::LargeInt, "DEFAULT"},
        TShownColumn{kMaria, "bigint(20) unsigned", "NO", "uuid_short()", "", K::LargeInt, "DEFAULT"},
        TShownColumn{kMy80, "decimal(10,2)", "YES", "(rand() * 10)", "default_generated", K::Float, "DEFAULT"},
        // Current time: a text, a mark, or both.
        TShownColumn{kMy57, "timestamp", "NO", "CURRENT_TIMESTAMP", "on update CURRENT_TIMESTAMP", K::DateTime,
                     "DEFAULT"},
        TShownColumn{kMy80, "timestamp", "NO", "CURRENT_TIMESTAMP", "DEFAULT_GENERATED on update CURRENT_TIMESTAMP",
                     K::DateTime, "DEFAULT"},
        TShownColumn{kMy80, "datetime", "YES", "CURRENT_TIMESTAMP", "DEFAULT_GENERATED", K::DateTime, "DEFAULT"},
        TShownColumn{kMaria, "timestamp", "NO", "current_timestamp()", "on update current_timestamp()", K::DateTime,
                     "DEFAULT"},
        TShownColumn{kMy80, "datetime", "YES", "2020-01-01 00:00:00", "", K::DateTime, "'2020-01-01'"},
        // Generated columns, in each server's words and any letter case.
        TShownColumn{kMy57, "int(11)", "YES", std::nullopt, "VIRTUAL GENERATED", K::Integer, "DEFAULT"},
        TShownColumn{kMy80, "varchar(10)", "YES", std::nullopt, "STORED GENERATED", K::Text, "DEFAULT"},
        TShownColumn{kMaria, "int(11)", "YES", std::nullopt, "virtual generated", K::Integer, "DEFAULT"},
        TShownColumn{"MariaDB 10.1", "int(11)", "YES", std::nullopt, "PERSISTENT", K::Integer, "DEFAULT"},
        TShownColumn{"MariaDB 10.1", "int(11)", "YES", std::nullopt, "VIRTUAL", K::Integer, "DEFAULT"},
        TShownColumn{kMy80, "int", "NO", std::nullopt, "STORED GENERATED", K::Integer, "DEFAULT"},
        // Enums and sets: a NOT NULL enum without a default starts with its first member.
        TShownColumn{kMy80, "enum('A','I')", "NO", std::nullopt, "", K::Text, "DEFAULT"},
        TShownColumn{kMaria, "enum('A','I')", "NO", std::nullopt, "", K::Text, "DEFAULT"},
        TShownColumn{kMaria, "enum('A','I')", "YES", std::nullopt, "", K::Text, "NULL"},
        TShownColumn{kMy80, "enum('A','I')", "NO", "I", "", K::Text, "'I'"},
        TShownColumn{kMy80, "set('x','y')", "NO", std::nullopt, "", K::Text, "''"},
        TShownColumn{kMy80, "set('x','y')", "NO", "x,y", "", K::Text, "'x,y'"},
        // Texts, numbers with a fraction, and types without a field.
        TShownColumn{kMy80, "varchar(40)", "NO", "it's C:\\temp", "", K::Text, "'it\\'s C:\\\\temp'"},
        TShownColumn{kMy80, "char(1)", "NO", std::nullopt, "", K::Text, "''"},
        TShownColumn{kMy80, "decimal(10,2)", "NO", "1.50", "", K::Float, "1.5"},
        TShownColumn{kMy80, "double", "YES", "1e20", "", K::Float, "1e+20"},
        TShownColumn{kMy80, "json", "YES", std::nullopt, "", K::None, "(left out)"},
        TShownColumn{kMaria, "longtext", "YES", std::nullopt, "", K::LongText, "NULL"},
        // No default (an SQL NULL), the four letters NULL and the empty text are three things.
        TShownColumn{kMy80, "varchar(10)", "YES", std::nullopt, "", K::Text, "NULL"},
        TShownColumn{kMy80, "varchar(10)", "YES", "NULL", "", K::Text, "'NULL'"},
        TShownColumn{kMy80, "varchar(10)", "YES", "", "", K::Text, "''"},
        TShownColumn{kMy57, "char(2)", "NO", "", "", K::Text, "''"},
        // VARCHAR, CHAR, ENUM and SET defaults come raw, quotes and all; a '?' may stand for a
        // character the latin1 link could not carry.
        TShownColumn{kMy80, "varchar(10)", "YES", "'x'", "", K::Text, "'\\'x\\''"},
        TShownColumn{kMaria, "enum('text','b')", "YES", "text", "", K::Text, "'text'"},
        TShownColumn{kMaria, "set('blob','x')", "YES", "blob", "", K::Bytes, "'blob'"},
        TShownColumn{kMy80, "char(3)", "NO", "a?c", "", K::Text, "DEFAULT"},
        TShownColumn{kMy80, "varchar(1000)", "YES", "0123456789012345678901234567890123456789012345678901234567890123"
                                                     "4567890123456789012345678901234567890123456789012345678901234567"
                                                     "8901234567890123456789012345678901234567890123456789012345678901"
                                                     "2345678901234567890123456789012345678901234567890123456789012345"
                                                     "6789012345678901234567890123456789012345678901234567890123456789"
                                                     "0123456789012345678901234567890123456789012345678901234567890123"
                                                     "4567890123456789012345678901234567890123456789012345678901234567"
                                                     "8901234567890123456789012345678901234567890123456789012345678901"
                                                     "23456789", "", K::Text,
                     "'0123456789012345678901234567890123456789012345678901234567890123"
                     "4567890123456789012345678901234567890123456789012345678901234567"
                     "8901234567890123456789012345678901234567890123456789012345678901"
                     "2345678901234567890123456789012345678901234567890123456789012345"
                     "6789012345678901234567890123456789012345678901234567890123456789"
                     "0123456789012345678901234567890123456789012345678901234567890123"
                     "4567890123456789012345678901234567890123456789012345678901234567"
                     "8901234567890123456789012345678901234567890123456789012345678901"
                     "23456789'"},
        // TEXT, BLOB and JSON: MariaDB quotes a literal and prints an expression bare; MySQL
        // marks an expression.
        TShownColumn{kMaria, "text", "YES", "'it\\'s'", "", K::LongText, "'it\\'s'"},
        TShownColumn{kMaria, "text", "YES", "''", "", K::LongText, "''"},
        TShownColumn{kMaria, "mediumtext", "YES", "uuid()", "", K::LongText, "DEFAULT"},
        TShownColumn{kMaria, "blob", "YES", "'xy'", "", K::Bytes, "'xy'"},
        TShownColumn{kMaria, "longtext", "NO", "'{}'", "", K::LongText, "'{}'"},
        TShownColumn{kMaria, "longtext", "YES", "json_object('k',1)", "", K::LongText, "DEFAULT"},
        TShownColumn{kMy80, "text", "YES", "_utf8mb4\\'a\\'", "DEFAULT_GENERATED", K::LongText, "DEFAULT"},
        TShownColumn{kMy80, "json", "NO", "json_object(_utf8mb4\\'k\\',1)", "DEFAULT_GENERATED", K::None,
                     "(left out)"},
        // Numbers with a fraction: the fifteen-digit form goes only where it is the default.
        TShownColumn{kMy80, "decimal(30,10)", "YES", "12345678901234567890.1234567890", "", K::Float, "DEFAULT"},
        TShownColumn{kMaria, "decimal(30,0)", "YES", "100000000000000000000", "", K::Float, "DEFAULT"},
        TShownColumn{kMy57, "decimal(10,4)", "NO", "-0.0500", "", K::Float, "-0.05"},
        TShownColumn{kMy80, "double", "YES", "1.2345678901234567", "", K::Float, "DEFAULT"},
        TShownColumn{kMy80, "double", "NO", "0.30000000000000004", "", K::Float, "DEFAULT"},
        TShownColumn{kMy80, "float", "YES", "1.5", "", K::Float, "DEFAULT"},
        // Dates and times keep their fraction.
        TShownColumn{kMy80, "timestamp(3)", "YES", "2020-01-02 03:04:05.500", "", K::DateTime,
                     "'2020-01-02 03:04:05.500'"},
        TShownColumn{kMy57, "timestamp(6)", "NO", "2020-01-02 00:00:00.000000", "", K::DateTime, "'2020-01-02'"},
        // DATETIME(n) and TIME(n) get no field: the insert leaves them to the server.
        TShownColumn{kMy57, "datetime(6)", "NO", "2020-01-02 00:00:00.000001", "", K::None, "(left out)"},
        TShownColumn{kMaria, "time(2)", "YES", "-838:59:58.99", "", K::None, "(left out)"}));

// What the server makes of an insert that leaves a column to the layer: the check's answer.
struct TOutcomeCase {
    const char* name;
    const char* type;
    const char* null;
    std::optional<const char*> defaultValue;
    const char* extra;
    bool json;  // told by the result's description of the column
    TSqlModeFlags mode;
    TUnsetOutcome outcome;
};

void PrintTo(const TOutcomeCase& c, std::ostream* os) { *os << c.name; }

class UnsetOutcomeTest : public ::testing::TestWithParam<TOutcomeCase> {};

TEST_P(UnsetOutcomeTest, SaysWhetherTheServerTakesTheInsert) {
    const TOutcomeCase& c = GetParam();
    TShowColumnsRow row{"c", c.type, c.null, std::nullopt, c.extra};
    if (c.defaultValue) row.defaultValue = *c.defaultValue;
    TColumnInfo column = LearnColumn("t", row);
    if (c.json) column.isJson = true;
    EXPECT_EQ(UnsetOutcome(column, column.kind.kind != K::None, c.mode), c.outcome);
}

constexpr TSqlModeFlags kLax{false, false};
constexpr TSqlModeFlags kStrict{true, false};
constexpr TSqlModeFlags kStrictNoZeroDate{true, true};
using O = TUnsetOutcome;

INSTANTIATE_TEST_SUITE_P(
    Columns, UnsetOutcomeTest,
    ::testing::Values(
        TOutcomeCase{"NullableColumn", "int(11)", "YES", std::nullopt, "", false, kStrict, O::Stored},
        TOutcomeCase{"WithADefault", "varchar(5)", "NO", "", "", false, kStrict, O::Stored},
        TOutcomeCase{"AutoIncrement", "int(11)", "NO", std::nullopt, "auto_increment", false, kStrict, O::Stored},
        TOutcomeCase{"Generated", "int(11)", "NO", std::nullopt, "STORED GENERATED", false, kStrict, O::Stored},
        TOutcomeCase{"NotNullEnum", "enum('A','I')", "NO", std::nullopt, "", false, kStrict, O::Stored},
        TOutcomeCase{"NotNullInteger", "int(11)", "NO", std::nullopt, "", false, kStrict, O::EmptyValue},
        TOutcomeCase{"NotNullText", "varchar(5)", "NO", std::nullopt, "", false, kStrictNoZeroDate, O::EmptyValue},
        TOutcomeCase{"NotNullDateLax", "date", "NO", std::nullopt, "", false, kStrict, O::EmptyValue},
        TOutcomeCase{"NotNullDateNoZeroDate", "date", "NO", std::nullopt, "", false, kStrictNoZeroDate,
                     O::RefusedZeroDate},
        TOutcomeCase{"NotNullDatetimeNoZeroDate", "datetime", "NO", std::nullopt, "", false, kStrictNoZeroDate,
                     O::RefusedZeroDate},
        TOutcomeCase{"NotNullTimeNoZeroDate", "time", "NO", std::nullopt, "", false, kStrictNoZeroDate,
                     O::EmptyValue},
        TOutcomeCase{"NotNullJsonOfMariaDb", "longtext", "NO", std::nullopt, "", true, kLax, O::RefusedEmptyJson},
        TOutcomeCase{"NullableJsonOfMariaDb", "longtext", "YES", std::nullopt, "", true, kStrict, O::Stored},
        TOutcomeCase{"NotNullJsonWithADefault", "longtext", "NO", "'{}'", "", true, kStrict, O::Stored},
        TOutcomeCase{"NotNullJsonOfMySqlStrict", "json", "NO", std::nullopt, "", false, kStrict, O::RefusedLeftOut},
        TOutcomeCase{"NotNullJsonOfMySqlLax", "json", "NO", std::nullopt, "", false, kLax, O::ImplicitDefault},
        TOutcomeCase{"NotNullBinaryStrict", "varbinary(8)", "NO", std::nullopt, "", false, kStrict,
                     O::RefusedLeftOut}),
    [](const ::testing::TestParamInfo<TOutcomeCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvik
