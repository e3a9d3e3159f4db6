#pragma once
// The installation's settings file, sistema_qor.ini beside the executable, and the branch
// identity read from it. Nothing is cached: every call reads the file anew through a reader
// of its own, so an edited file takes effect at the next call.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarvik {

// One key of sistema_qor.ini with the default that every reader of it uses.
struct TSettingKey {
    const char* section;
    const char* key;
    const char* defaultValue;
};

namespace settings {
inline constexpr TSettingKey kIpLocal{"ip", "local", ""};
inline constexpr TSettingKey kIpDatabase{"ip", "database", "merovan"};
inline constexpr TSettingKey kIpSenha{"ip", "senha", "8E52B07C19F3A64D0B7E"};
inline constexpr TSettingKey kUsaFisLogica{"FilialMatriz", "usa_fislogica", "0"};
inline constexpr TSettingKey kCodLogica{"FilialMatriz", "CodLogica", "0"};
// The main connection's account, port and TLS. Written only when set: a file without them
// connects as root on 3306 in clear, as every file did before they existed.
inline constexpr TSettingKey kIpUsuario{"ip", "usuario", "root"};
inline constexpr TSettingKey kIpPorta{"ip", "porta", "3306"};
inline constexpr TSettingKey kIpTls{"ip", "tls", ""};
inline constexpr TSettingKey kIpTlsCa{"ip", "tls_ca", ""};
inline constexpr TSettingKey kIpTlsCert{"ip", "tls_cert", ""};
inline constexpr TSettingKey kIpTlsKey{"ip", "tls_key", ""};
}  // namespace settings

// Every value of sistema_qor.ini, as stored: the password in its enciphered form (CipherText
// with kPasswordCipherKey), the branch's entries as texts.
struct TSettingsFileValues {
    std::string local;
    std::string database;
    std::string senha;
    std::string usaFisLogica;
    std::string codLogica;
    // Values of the link's keys (kIpUsuario to kIpTlsKey), in section "ip" after the password;
    // only those not empty are written.
    std::vector<std::pair<const TSettingKey*, std::string>> link = {};
};

class TConfigSistemaQOR {  // class functions only
public:
    TConfigSistemaQOR() = delete;

    // The file's name, beside the executable.
    static constexpr const char* kFileName = "sistema_qor.ini";

    // The executable's directory followed by kFileName; the file need not exist.
    static std::string SettingsFileName();
    // The text of a sistema_qor.ini that holds `values` under the keys ReadSetting looks up:
    // section "ip", then "FilialMatriz", each line ended by `lineEnd`. Values are written as
    // they are; one that would read back differently (blanks or quotes around it, a line
    // break) is for the caller to refuse.
    static std::string SettingsFileText(const TSettingsFileValues& values, const std::string& lineEnd = "\r\n");
    // One value of sistema_qor.ini by the profile-file reading rules; `dflt` when the file,
    // section or key is missing.
    static std::string ReadSetting(const std::string& section, const std::string& key, const std::string& dflt);
    static std::string ReadSetting(const TSettingKey& setting);

    // The logical branch number: "CodLogica" by the integer text rule, 0 when it does not follow it.
    static int32_t GetCodLogica();
    // Whether the branch uses its logical number ("CodLogica") for its store code: only when
    // "usa_fislogica" is exactly "1"; any other text, the server identification record's.
    static bool UsesLogicalBranch(const std::string& usaFisLogica);
    static bool UsesLogicalBranch();  // as the file says now
    // The effective branch number as a text: "CodLogica" as read when the branch uses its
    // logical number, otherwise the server identification record's branch number in decimal
    // (the record is loaded on first use; its load errors pass through).
    static std::string GetFilialId();
    // The store code (FilialToLojasLeram) of the effective branch number.
    static std::string GetLojasLeram();
};

}  // namespace tarvik
