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
    // Account, port and TLS before the password: a password that cannot be deciphered must
    // not leave the link going out as root, or in clear, where the file asks otherwise.
    connection.SetLogin(read(settings::kIpUsuario));
    connection.SetPort(read(settings::kIpPorta));
    connection.SetTls(TlsSettingsFromValues(read(settings::kIpTls), read(settings::kIpTlsCa), read(settings::kIpTlsCert),
                                            read(settings::kIpTlsKey),
                                            std::string(TConfigSistemaQOR::kFileName) + " [ip] " + settings::kIpTls.key));
    connection.SetPassword(CipherText("D", read(settings::kIpSenha), kPasswordCipherKey));
}

}  // namespace tarvik
