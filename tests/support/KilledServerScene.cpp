#include "tests/support/KilledServerScene.h"

#include "tests/support/BranchTables.h"

namespace tarvik::test {

void MakeKilledServerShop(TPrivateServer& server, const std::string& name, int products) {
    std::string sql = "CREATE DATABASE " + name + " CHARACTER SET latin1; USE " + name + "; " + kCreateProduto +
                      "; ALTER TABLE produto ADD PRIMARY KEY (produto_id); " + kCreateEstoqueMinimo +
                      "; ALTER TABLE estoque_minimo ADD observacao VARCHAR(20) NOT NULL DEFAULT 'nova'";
    // (A sequence table counts down when its end is below its start, so none for no products.)
    if (products > 0) sql += "; INSERT INTO produto SELECT seq FROM seq_1_to_" + std::to_string(products);
    server.Exec(sql);
}

TKilledServerScene::TKilledServerScene(int products) { MakeKilledServerShop(server_, "loja", products); }

std::vector<TRow> TKilledServerScene::AfterRestart(const std::string& sql) {
    server_.Kill();
    server_.Start();
    return server_.Query(sql);
}

}  // namespace tarvik::test
