// The effective branch number and its store code: the half of TConfigSistemaQOR that may
// need the server identification record, and with it the identification connection.

#include "identification/UIdentificacaoServidorClass.h"
#include "settings/StoreCode.h"
#include "settings/UConfigSistemaQOR.h"

namespace tarvik {

std::string TConfigSistemaQOR::GetFilialId() {
    if (UsesLogicalBranch()) return ReadSetting(settings::kCodLogica);
    return std::to_string(GetIdentificacaoServidor().GetFilialServidor());
}

std::string TConfigSistemaQOR::GetLojasLeram() { return FilialToLojasLeram(TextToBranchNumber(GetFilialId())); }

}  // namespace tarvik
