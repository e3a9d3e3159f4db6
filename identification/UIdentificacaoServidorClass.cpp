#include "identification/UIdentificacaoServidorClass.h"

#include <exception>
#include <memory>

#include "identification/Messages.h"
#include "identification/UConnectionInfoClass.h"
#include "identification/UDao.h"
#include "platform/Errors.h"

namespace tarvik {
namespace {

std::unique_ptr<TIdentificacaoServidor> g_identificacao;

}  // namespace

std::string TIdentificacaoServidor::SelectIdentificacaoSQL() {
    return "select \r\n"
           "  filial_id \r\n"
           "  ,cnpj_servidor \r\n"
           "  ,tipo_servidor \r\n"
           "  ,data_identificacao \r\n"
           "  ,hash_identificacao\r\n"
           "from \r\n"
           "  identificacao_servidor \r\n";
}

void TIdentificacaoServidor::LoadIdentificacao() {
    try {
        TConnectionInfo& info = GetConnectionInfo();
        const std::string sql = SelectIdentificacaoSQL();
        TDaoConnection& connection = info.GetConnection();
        // Released when this block is left, whichever way.
        const std::unique_ptr<TDaoQuery> query = TDao::OpenQuery(connection, sql, true, false);
        if (query->RowCount() <= 0) throw Exception(identification_messages::kIdentificationNotFound);

        // Read into a copy, so that a column failing halfway leaves no mix of old and new values.
        TIdentificacaoServidor loaded;
        loaded.filial_id_ = query->GetFieldInteger("filial_id");
        loaded.cnpj_servidor_ = query->GetFieldText("cnpj_servidor");
        loaded.tipo_servidor_ = query->GetFieldText("tipo_servidor");
        loaded.data_identificacao_ = query->GetFieldDateTime("data_identificacao");
        loaded.hash_identificacao_ = query->GetFieldText("hash_identificacao");
        *this = std::move(loaded);
    } catch (const std::exception& e) {
        throw Exception(std::string(identification_messages::kIdentificationLoadFailed) + e.what());
    }
}

TIdentificacaoServidor& GetIdentificacaoServidor() {
    if (!g_identificacao) {
        g_identificacao = std::make_unique<TIdentificacaoServidor>();
        try {
            g_identificacao->LoadIdentificacao();
        } catch (...) {
            g_identificacao.reset();
            throw;
        }
    }
    return *g_identificacao;
}

void ReleaseIdentificacaoServidor() { g_identificacao.reset(); }

}  // namespace tarvik
