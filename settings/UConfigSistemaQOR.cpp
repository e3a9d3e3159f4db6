#include "settings/UConfigSistemaQOR.h"

#include "platform/Conversions.h"
#include "platform/ExecutablePath.h"
#include "platform/ProfileReader.h"

namespace tarvik {

std::string TConfigSistemaQOR::SettingsFileName() { return ExecutableDirectory() + kFileName; }

std::string TConfigSistemaQOR::SettingsFileText(const TSettingsFileValues& v, const std::string& lineEnd) {
    using namespace settings;
    std::vector<TProfileEntry> ip = {{kIpLocal.key, v.local}, {kIpDatabase.key, v.database}, {kIpSenha.key, v.senha}};
    for (const auto& [key, value] : v.link)
        if (!value.empty()) ip.push_back({key->key, value});
    return ProfileSectionText(kIpLocal.section, ip, lineEnd) +
           ProfileSectionText(kCodLogica.section, {{kUsaFisLogica.key, v.usaFisLogica}, {kCodLogica.key, v.codLogica}},
                              lineEnd);
}

std::string TConfigSistemaQOR::ReadSetting(const std::string& section, const std::string& key,
                                           const std::string& dflt) {
    // A reader of our own for this one value: it opens, reads and closes the file itself.
    const TProfileReader reader(SettingsFileName());
    return reader.ReadString(section, key, dflt);
}

std::string TConfigSistemaQOR::ReadSetting(const TSettingKey& setting) {
    return ReadSetting(setting.section, setting.key, setting.defaultValue);
}

int32_t TConfigSistemaQOR::GetCodLogica() {
    int32_t value = 0;
    if (!TryStrToInt(ReadSetting(settings::kCodLogica), value)) return 0;
    return value;
}

bool TConfigSistemaQOR::UsesLogicalBranch(const std::string& usaFisLogica) { return usaFisLogica == "1"; }

bool TConfigSistemaQOR::UsesLogicalBranch() { return UsesLogicalBranch(ReadSetting(settings::kUsaFisLogica)); }

}  // namespace tarvik
