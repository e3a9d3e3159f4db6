#pragma once
// The window's data components, for either toolkit's TForm1: the main connection with its
// design-time values, its transaction, and the three queries, created in the order they depend
// on each other.

#include <memory>

#include "db/DbConnection.h"
#include "db/DbQuery.h"
#include "run/MainConnection.h"

namespace tarvik {

template <typename TForm>
void CreateDataComponents(TForm& form) {
    form.Conexao = std::make_unique<TDbConnection>();
    SetDesignTimeValues(*form.Conexao);
    form.Transacao = std::make_unique<TDbTransaction>(*form.Conexao);
    form.QProdutos = std::make_unique<TDbQuery>("QProdutos", *form.Conexao, false);
    form.QTemp = std::make_unique<TDbQuery>("QTemp", *form.Conexao, false);
    form.QInclui = std::make_unique<TDbQuery>("QInclui", *form.Conexao, true);
}

}  // namespace tarvik
