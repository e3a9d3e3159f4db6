#include "run/MainConnection.h"

#include "db/DbConnection.h"
#include "platform/ProfileReader.h"
#include "settings/PasswordCipher.h"
#include "settings/UConfigSistemaQOR.h"

namespace tarvik {

void SetDesignTimeValues(TDbConnection& connection) {
    connection.SetHost("localhost");
    connection.SetPort(std::to_string(TDbConnection::kDefaultPort));
    connection.SetDatabase("merovan");
    connection.SetLogin("root");
    connection.SetPassword("580317kwd");
    connection.SetLoginPrompt(false);
}

void ApplyConnectionSettings(TDbConnection& connection) {
    const TProfileReader reader(TConfigSistemaQOR::SettingsFileName());
    const auto read = [&reader](const TSettingKey& setting) {
        return reader.ReadString(setting.section, setting.key, setting.defaultValue);
    };
    connection.SetHost(read(settings::kIpLocal));
    connection.SetDatabase(read(settings::kIpDatabase));
    connection.SetPassword(CipherText("D", read(settings::kIpSenha), kPasswordCipherKey));
}

}  // namespace tarvik
