#include "bench/ReferenceRun.h"

#include <mysql.h>

#include <stdexcept>
#include <vector>

namespace tarvik::bench {
namespace {

class TLink {
public:
    explicit TLink(const TReferenceParams& p) : handle_(mysql_init(nullptr)) {
        mysql_options(handle_, MYSQL_SET_CHARSET_NAME, "latin1");
        if (!mysql_real_connect(handle_, p.host.c_str(), p.user.c_str(), p.password.c_str(), p.database.c_str(),
                                p.port, nullptr, CLIENT_CONNECT_WITH_DB)) {
            std::string error = mysql_error(handle_);
            mysql_close(handle_);
            throw std::runtime_error(error);
        }
    }
    ~TLink() { mysql_close(handle_); }

    // Sends a statement and stores its whole result (nullptr for statements without one).
    MYSQL_RES* Store(const std::string& sql) {
        if (mysql_query(handle_, sql.c_str()) != 0) throw std::runtime_error(mysql_error(handle_));
        return mysql_store_result(handle_);
    }
    void Drain(const std::string& sql) {
        MYSQL_RES* r = Store(sql);
        if (r) {
            while (mysql_fetch_row(r)) {
            }
            mysql_free_result(r);
        }
    }
    void Layout(const std::string& table) {
        Drain("SHOW COLUMNS FROM " + table);
        Drain("SHOW INDEX FROM " + table);
    }

private:
    MYSQL* handle_;
};

}  // namespace

int64_t RunReference(const TReferenceParams& p) {
    TLink link(p);
    const std::string branch = std::to_string(p.branch);

    link.Layout("produto");
    MYSQL_RES* products = link.Store("Select produto_id from produto");
    link.Layout(p.table);
    MYSQL_RES* live = link.Store("Select * from " + p.table + " where produto_id = 0");

    int64_t inserted = 0;
    std::string sql;
    while (MYSQL_ROW row = mysql_fetch_row(products)) {
        const std::string product = row[0] ? row[0] : "";
        link.Layout(p.table);
        sql = "Select * from " + p.table + " where produto_id = " + product + " and filial_id = " + branch;
        MYSQL_RES* probe = link.Store(sql);
        const bool missing = probe == nullptr || mysql_num_rows(probe) == 0;
        if (probe) mysql_free_result(probe);
        if (missing) {
            sql = "INSERT INTO " + p.table + " (produto_id, filial_id, lojas_leram) VALUES (" + product + ", " +
                  branch + ", '" + p.storeCode + "')";
            if (MYSQL_RES* r = link.Store(sql)) mysql_free_result(r);
            ++inserted;
        }
    }
    if (live) mysql_free_result(live);
    mysql_free_result(products);
    return inserted;
}

}  // namespace tarvik::bench
