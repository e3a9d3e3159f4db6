#include "db/ReservedWords.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace tarvik {
namespace {

// The reserved words of MySQL 8.0 (every release of the series, so also those reserved only
// for a while, such as ADMIN and ARRAY) and of MariaDB 10.3 to 11, in one sorted list. A word
// too many only costs a pair of backquotes; a word too few costs every insert.
constexpr std::string_view kReservedWords[] = {
    "ACCESSIBLE", "ADD", "ADMIN", "ALL", "ALTER", "ANALYZE", "AND", "ARRAY", "AS", "ASC",
    "ASENSITIVE", "BEFORE", "BETWEEN", "BIGINT", "BINARY", "BLOB", "BOTH", "BY", "CALL", "CASCADE",
    "CASE", "CHANGE", "CHAR", "CHARACTER", "CHECK", "COLLATE", "COLUMN", "CONDITION", "CONSTRAINT",
    "CONTINUE", "CONVERT", "CREATE", "CROSS", "CUBE", "CUME_DIST", "CURRENT_DATE", "CURRENT_ROLE",
    "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE", "DATABASES",
    "DAY_HOUR", "DAY_MICROSECOND", "DAY_MINUTE", "DAY_SECOND", "DEC", "DECIMAL", "DECLARE",
    "DEFAULT", "DELAYED", "DELETE", "DELETE_DOMAIN_ID", "DENSE_RANK", "DESC", "DESCRIBE",
    "DETERMINISTIC", "DISTINCT", "DISTINCTROW", "DIV", "DOUBLE", "DO_DOMAIN_IDS", "DROP", "DUAL",
    "EACH", "ELSE", "ELSEIF", "EMPTY", "ENCLOSED", "ESCAPED", "EXCEPT", "EXISTS", "EXIT", "EXPLAIN",
    "FALSE", "FETCH", "FIRST_VALUE", "FLOAT", "FLOAT4", "FLOAT8", "FOR", "FORCE", "FOREIGN", "FROM",
    "FULLTEXT", "FUNCTION", "GENERAL", "GENERATED", "GET", "GRANT", "GROUP", "GROUPING", "GROUPS",
    "HAVING", "HIGH_PRIORITY", "HOUR_MICROSECOND", "HOUR_MINUTE", "HOUR_SECOND", "IF", "IGNORE",
    "IGNORE_DOMAIN_IDS", "IGNORE_SERVER_IDS", "IN", "INDEX", "INFILE", "INNER", "INOUT",
    "INSENSITIVE", "INSERT", "INT", "INT1", "INT2", "INT3", "INT4", "INT8", "INTEGER", "INTERSECT",
    "INTERVAL", "INTO", "IO_AFTER_GTIDS", "IO_BEFORE_GTIDS", "IS", "ITERATE", "JOIN", "JSON_TABLE",
    "KEY", "KEYS", "KILL", "LAG", "LAST_VALUE", "LATERAL", "LEAD", "LEADING", "LEAVE", "LEFT",
    "LIKE", "LIMIT", "LINEAR", "LINES", "LOAD", "LOCALTIME", "LOCALTIMESTAMP", "LOCK", "LONG",
    "LONGBLOB", "LONGTEXT", "LOOP", "LOW_PRIORITY", "MASTER_BIND", "MASTER_DEMOTE_TO_REPLICA",
    "MASTER_DEMOTE_TO_SLAVE", "MASTER_HEARTBEAT_PERIOD", "MASTER_SSL_VERIFY_SERVER_CERT", "MATCH",
    "MAXVALUE", "MEDIUMBLOB", "MEDIUMINT", "MEDIUMTEXT", "MEMBER", "MIDDLEINT",
    "MINUTE_MICROSECOND", "MINUTE_SECOND", "MOD", "MODIFIES", "NATURAL", "NOT",
    "NO_WRITE_TO_BINLOG", "NTH_VALUE", "NTILE", "NULL", "NUMERIC", "OF", "OFFSET", "ON", "OPTIMIZE",
    "OPTIMIZER_COSTS", "OPTION", "OPTIONALLY", "OR", "ORDER", "OUT", "OUTER", "OUTFILE", "OVER",
    "PAGE_CHECKSUM", "PARSE_VCOL_EXPR", "PARTITION", "PERCENT_RANK", "PERSIST", "PERSIST_ONLY",
    "PORTION", "PRECISION", "PRIMARY", "PROCEDURE", "PURGE", "QUALIFY", "RANGE", "RANK", "READ",
    "READS", "READ_WRITE", "REAL", "RECURSIVE", "REFERENCES", "REF_SYSTEM_ID", "REGEXP", "RELEASE",
    "RENAME", "REPEAT", "REPLACE", "REQUIRE", "RESIGNAL", "RESTRICT", "RETURN", "RETURNING",
    "REVOKE", "RIGHT", "RLIKE", "ROW", "ROWS", "ROW_NUMBER", "SCHEMA", "SCHEMAS",
    "SECOND_MICROSECOND", "SELECT", "SENSITIVE", "SEPARATOR", "SET", "SHOW", "SIGNAL", "SLOW",
    "SMALLINT", "SPATIAL", "SPECIFIC", "SQL", "SQLEXCEPTION", "SQLSTATE", "SQLWARNING",
    "SQL_BIG_RESULT", "SQL_CALC_FOUND_ROWS", "SQL_SMALL_RESULT", "SSL", "STARTING",
    "STATS_AUTO_RECALC", "STATS_PERSISTENT", "STATS_SAMPLE_PAGES", "STORED", "STRAIGHT_JOIN",
    "SYSTEM", "TABLE", "TERMINATED", "THEN", "TINYBLOB", "TINYINT", "TINYTEXT", "TO", "TRAILING",
    "TRIGGER", "TRUE", "UNDO", "UNION", "UNIQUE", "UNLOCK", "UNSIGNED", "UPDATE", "USAGE", "USE",
    "USING", "UTC_DATE", "UTC_TIME", "UTC_TIMESTAMP", "VALUES", "VARBINARY", "VARCHAR",
    "VARCHARACTER", "VARYING", "VIRTUAL", "WHEN", "WHERE", "WHILE", "WINDOW", "WITH", "WRITE",
    "XOR", "YEAR_MONTH", "ZEROFILL", "_FILENAME",
};

// The search below compares in upper case, so the list is kept in upper case and in order.
static_assert(std::is_sorted(std::begin(kReservedWords), std::end(kReservedWords)));

bool LessIgnoringCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
    });
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsPlainNameCharacter(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '$';
}

// The lexer takes a word that begins with a digit as a number when it is one: 123, 1e5,
// 1e5abc (a number, then a word), 0x1F, 0b101. Other names that begin with a digit (2col)
// are names.
bool ReadsAsNumber(std::string_view name) {
    if (name.empty() || !IsDigit(name.front())) return false;
    if (name.size() > 1 && name[0] == '0' && (name[1] == 'x' || name[1] == 'X' || name[1] == 'b' || name[1] == 'B'))
        return true;
    size_t i = 0;
    while (i < name.size() && IsDigit(name[i])) ++i;
    if (i == name.size()) return true;
    return (name[i] == 'e' || name[i] == 'E') && i + 1 < name.size() && IsDigit(name[i + 1]);
}

}  // namespace

bool IsReservedWord(std::string_view word) {
    return std::binary_search(std::begin(kReservedWords), std::end(kReservedWords), word,
                              [](std::string_view a, std::string_view b) { return LessIgnoringCase(a, b); });
}

bool NameNeedsQuotes(std::string_view name) {
    if (name.empty()) return true;
    for (const char c : name)
        if (!IsPlainNameCharacter(c)) return true;
    return ReadsAsNumber(name) || IsReservedWord(name);
}

}  // namespace tarvik
