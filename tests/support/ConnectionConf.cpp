#include "tests/support/ConnectionConf.h"

#include "identification/UConnectionInfoClass.h"

namespace tarvik::test {

std::string ConnectionConfFor(const std::string& host, const std::string& database, const std::string& password) {
    return TConnectionInfo::ConnectionConfText({{conf_keys::kDatabaseIP, host},
                                                {conf_keys::kDatabasename, database},
                                                {conf_keys::kUsuario, TestServer().user},
                                                {conf_keys::kSenha, password}});
}

}  // namespace tarvik::test
