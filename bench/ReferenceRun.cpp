#include "bench/ReferenceRun.h"

#include <mysql.h>

#include <stdexcept>

#include "client/ClientHandles.h"
#include <vector>

namespace tarvik::bench {
namespace {

class TLink {
public:
    explicit TLink(const TReferenceParams& p) : handle_(mysql_init(nullptr)) {
        mysql_options(handle_.get(), MYSQL_SET_CHARSET_NAME, "latin1");
        if (!mysql_real_connect(handle_.get(), p.host.c_str(), p.user.c_str(), p.password.c_str(),
                                p.database.c_str(), p.port, nullptr, CLIENT_CONNECT_WITH_DB))
            throw std::runtime_error(mysql_error(handle_.get()));
    }

    // Sends a statement and stores its whole result (empty for statements without one).
    TResultHandle Store(const std::string& sql) {
        if (mysql_query(handle_.get(), sql.c_str()) != 0) throw std::runtime_error(mysql_error(handle_.get()));
        return TResultHandle(mysql_store_result(handle_.get()));
    }
    void Drain(const std::string& sql) {
        if (const TResultHandle r = Store(sql)) {
            while (mysql_fetch_row(r.get())) {
            }
        }
    }
    void Layout(const std::string& table) {
        Drain("SHOW COLUMNS FROM " + table);
        Drain("SHOW INDEX FROM " + table);
    }

private:
    TConnectionHandle handle_;
};

}  // namespace

int64_t RunReference(const TReferenceParams& p) {
    TLink link(p);
    const std::string branch = std::to_string(p.branch);

    link.Layout("produto");
    const TResultHandle products = link.Store("Select produto_id from produto");
    link.Layout(p.table);
    const TResultHandle live = link.Store("Select * from " + p.table + " where produto_id = 0");

    int64_t inserted = 0;
    std::string sql;
    while (MYSQL_ROW row = mysql_fetch_row(products.get())) {
        const std::string product = row[0] ? row[0] : "";
        link.Layout(p.table);
        sql = "Select * from " + p.table + " where produto_id = " + product + " and filial_id = " + branch;
        const bool missing = [&] {
            const TResultHandle probe = link.Store(sql);
            return !probe || mysql_num_rows(probe.get()) == 0;
        }();
        if (missing) {
            sql = "INSERT INTO " + p.table + " (produto_id, filial_id, lojas_leram) VALUES (" + product + ", " +
                  branch + ", '" + p.storeCode + "')";
            link.Store(sql);
            ++inserted;
        }
    }
    return inserted;
}

}  // namespace tarvik::bench
