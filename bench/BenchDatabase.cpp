#include "bench/BenchDatabase.h"

#include <cstdio>

#include <mysql.h>

#include <stdexcept>

namespace tarvik::bench {

TBenchDatabase::TBenchDatabase(TBenchServer server, std::string name)
    : server_(std::move(server)), name_(std::move(name)) {
    TConnectionHandle owned(mysql_init(nullptr));
    if (!mysql_real_connect(owned.get(), server_.host.c_str(), server_.user.c_str(), server_.password.c_str(),
                            nullptr, server_.port, nullptr, 0))
        throw std::runtime_error("bench: cannot reach the test server (scripts/test-db start): " +
                                 std::string(mysql_error(owned.get())));
    handle_ = std::move(owned);
}

TBenchDatabase::~TBenchDatabase() = default;

void TBenchDatabase::Exec(const std::string& sql) {
    MYSQL* h = handle_.get();
    if (mysql_query(h, sql.c_str()) != 0) throw std::runtime_error(std::string(mysql_error(h)) + ": " + sql);
    TResultHandle drained(mysql_store_result(h));
}

std::string TBenchDatabase::Scalar(const std::string& sql) {
    MYSQL* h = handle_.get();
    if (mysql_query(h, sql.c_str()) != 0) throw std::runtime_error(std::string(mysql_error(h)) + ": " + sql);
    const TResultHandle result(mysql_store_result(h));
    std::string out;
    if (result) {
        if (MYSQL_ROW row = mysql_fetch_row(result.get())) out = row[0] ? row[0] : "";
    }
    return out;
}

void TBenchDatabase::Create(int64_t products, int32_t serverBranch) {
    Exec("DROP DATABASE IF EXISTS " + name_);
    Exec("CREATE DATABASE " + name_ + " CHARACTER SET latin1");
    Exec("USE " + name_);
    Exec("CREATE TABLE produto (produto_id INT NOT NULL PRIMARY KEY, descricao VARCHAR(60) NOT NULL DEFAULT '')");
    for (const char* table : {"estoque_minimo", "estoque_minimo2"})
        Exec(std::string("CREATE TABLE ") + table +
             " (produto_id INT NOT NULL, filial_id INT NOT NULL, lojas_leram CHAR(1) NOT NULL,"
             " PRIMARY KEY (produto_id, filial_id))");
    Exec("CREATE TABLE identificacao_servidor (filial_id INT, cnpj_servidor VARCHAR(20),"
         " tipo_servidor VARCHAR(20), data_identificacao DATETIME, hash_identificacao VARCHAR(64))");
    Exec("INSERT INTO identificacao_servidor VALUES (" + std::to_string(serverBranch) +
         ", '00000000000191', 'LOJA', '2026-01-02 03:04:05', 'bench')");
    // Products in chunks, so that a million does not make one huge statement.
    const int64_t chunk = 100000;
    for (int64_t from = 1; from <= products; from += chunk) {
        const int64_t to = std::min(products, from + chunk - 1);
        Exec("INSERT INTO produto (produto_id) SELECT seq FROM seq_" + std::to_string(from) + "_to_" +
             std::to_string(to));
    }
}

void TBenchDatabase::Reset(int32_t branch, char storeCode) {
    Exec("USE " + name_);
    for (const char* table : {"estoque_minimo", "estoque_minimo2"}) {
        Exec(std::string("TRUNCATE TABLE ") + table);
        Exec(std::string("INSERT INTO ") + table + " SELECT produto_id, " + std::to_string(branch) + ", '" +
             std::string(1, storeCode) + "' FROM produto WHERE produto_id % 2 = 0");
    }
}

void TBenchDatabase::Drop() { Exec("DROP DATABASE IF EXISTS " + name_); }

int64_t TBenchDatabase::CountRows(const std::string& table) {
    return std::stoll(Scalar("SELECT COUNT(*) FROM " + name_ + "." + table));
}

TBenchDatabase::TGeneralLogOff::TGeneralLogOff(TBenchDatabase& db) : db_(db), was_(db.Scalar("SELECT @@global.general_log")) {
    db_.Exec("SET GLOBAL general_log = 0");
}

TBenchDatabase::TGeneralLogOff::~TGeneralLogOff() {
    try {
        db_.Exec("SET GLOBAL general_log = " + (was_ == "1" ? std::string("1") : std::string("0")));
    } catch (...) {
        std::fprintf(stderr, "could not put the server's general log back on\n");
    }
}

std::string TBenchDatabase::ServerVersion() { return Scalar("SELECT VERSION()"); }

}  // namespace tarvik::bench
