#include "tests/support/ConnectionConf.h"

#include "tests/support/HexEncode.h"

namespace tarvik::test {

std::string ConnectionConfFor(const std::string& host, const std::string& database, const std::string& password) {
    return "[connection]\r\nDatabaseIP=" + HexEncode(host) + "\r\nDatabasename=" + HexEncode(database) +
           "\r\nUsuario=" + HexEncode(TestServer().user) + "\r\nSenha=" + HexEncode(password) + "\r\n";
}

}  // namespace tarvik::test
