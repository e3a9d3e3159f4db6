#pragma once
// The tables of a branch database as the tests make them: the product list, the run's target
// table and the server identification record's table.

namespace tarvik::test {

inline constexpr const char* kCreateProduto = "CREATE TABLE produto (produto_id INT NOT NULL)";
inline constexpr const char* kCreateEstoqueMinimo =
    "CREATE TABLE estoque_minimo (produto_id INT NOT NULL, filial_id INT NOT NULL, lojas_leram CHAR(1) NOT NULL)";
inline constexpr const char* kCreateIdentificacaoServidor =
    "CREATE TABLE identificacao_servidor (filial_id INT, cnpj_servidor VARCHAR(18),"
    " tipo_servidor VARCHAR(20), data_identificacao DATETIME, hash_identificacao VARCHAR(64))";

}  // namespace tarvik::test
