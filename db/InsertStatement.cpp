#include "db/InsertStatement.h"

#include "db/ReservedWords.h"

namespace tarvik {

void AppendColumnName(std::string& out, std::string_view name) {
    if (!NameNeedsQuotes(name)) {
        out += name;
        return;
    }
    AppendEnclosed(out, name, '`');
}

std::string BuildInsertStatement(std::string_view table, const std::vector<std::string_view>& columns,
                                 const std::vector<TInsertValue>& values, TQuoting quoting) {
    std::string out = "INSERT INTO ";
    out += table;
    out += " (";
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i) out += ", ";
        AppendColumnName(out, columns[i]);
    }
    out += ") VALUES (";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) out += ", ";
        AppendValueLiteral(out, values[i], quoting);
    }
    out += ')';
    return out;
}

}  // namespace tarvik
