#pragma once
// The floor of a generation run: the same statements, in the same order, sent by a bare loop
// over the MariaDB C API, with every result stored on the client as the program stores it.

#include <cstdint>
#include <string>

namespace tarvik::bench {

struct TReferenceParams {
    std::string host = "127.0.0.1";
    unsigned port = 3306;
    std::string user = "root";
    std::string password;
    std::string database;
    std::string table = "estoque_minimo";
    int32_t branch = 3;
    char storeCode = '3';
};

// Runs the loop; returns the number of rows inserted. Throws std::runtime_error on failure.
int64_t RunReference(const TReferenceParams& params);

}  // namespace tarvik::bench
