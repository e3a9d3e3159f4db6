#include "client/ClientHandles.h"

#include <mysql.h>

namespace tarvik {

void TConnectionCloser::operator()(st_mysql* connection) const noexcept { mysql_close(connection); }

void TResultFreer::operator()(st_mysql_res* result) const noexcept { mysql_free_result(result); }

}  // namespace tarvik
