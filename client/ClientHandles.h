#pragma once
// Owning handles for the MySQL client library's two resources, a connection and a stored
// result, for every part that talks to a server (the main connection's layer, the
// identification connection, the tests' own sessions, the benchmarks). The library's types
// are only forward-declared, so a header that holds a handle does not bring in mysql.h.

#include <memory>

struct st_mysql;
struct st_mysql_res;

namespace tarvik {

struct TConnectionCloser {
    void operator()(st_mysql* connection) const noexcept;  // mysql_close
};
struct TResultFreer {
    void operator()(st_mysql_res* result) const noexcept;  // mysql_free_result
};

using TConnectionHandle = std::unique_ptr<st_mysql, TConnectionCloser>;
using TResultHandle = std::unique_ptr<st_mysql_res, TResultFreer>;

}  // namespace tarvik
