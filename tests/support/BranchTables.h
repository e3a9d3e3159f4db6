#pragma once
// The tables of a branch database as the tests make them: the product list, the run's target
// tables and the server identification record's table, from the one text the scripts load too
// (tests/support/branch-schema.sql, built in as it is).

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/BranchSchemaText.h"

namespace tarvik::test {

// The file's statements in order, comment lines left out (each ends its last line with ";").
inline std::vector<std::string> BranchSchema() {
    std::vector<std::string> statements;
    std::string statement;
    const std::string text = kBranchSchemaText;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line.rfind("--", 0) == 0) continue;
        statement += statement.empty() ? line : "\n" + line;
        if (statement.back() == ';') {
            statement.pop_back();
            statements.push_back(statement);
            statement.clear();
        }
    }
    return statements;
}

// The CREATE TABLE statement of one of the file's tables.
inline std::string CreateBranchTable(const std::string& table) {
    for (const std::string& statement : BranchSchema())
        if (statement.rfind("CREATE TABLE " + table + " (", 0) == 0) return statement;
    throw std::logic_error("no table " + table + " in branch-schema.sql");
}

inline const std::string kCreateProduto = CreateBranchTable("produto");
inline const std::string kCreateEstoqueMinimo = CreateBranchTable("estoque_minimo");
inline const std::string kCreateIdentificacaoServidor = CreateBranchTable("identificacao_servidor");

}  // namespace tarvik::test
