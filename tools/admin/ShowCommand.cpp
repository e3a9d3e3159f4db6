#include "tools/admin/ShowCommand.h"

#include <nlohmann/json.hpp>

#include <iomanip>
#include <ostream>

#include "identification/UConnectionInfoClass.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/ProfileReader.h"
#include "settings/UConfigSistemaQOR.h"
#include "settings/util.h"
#include "tools/admin/Failures.h"
#include "tools/admin/Files.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

namespace {

constexpr const char* kAbsent = "\x01(absent)";
constexpr const char* kMask = "********";

bool FileExists(const std::string& path) { return IsRegularFile(path); }

std::string Message(const std::exception& e) { return Utf8FromSystemText(e.what()); }

class TInspector {
public:
    explicit TInspector(bool reveal) : reveal_(reveal) {}

    TSettingsReport report;

    void SistemaQor() {
        TShownFile file{"sistema_qor.ini", TConfigSistemaQOR::SettingsFileName(), false, {}};
        file.exists = FileExists(file.path);
        if (!file.exists) Warn(file.name, "", "", "no such file: every value is its default");

        const TShownValue local = Read(file, settings::kIpLocal);
        if (local.present && local.stored.empty())
            Warn(file.name, local.section, local.key, "empty: the client library's default server is used");
        Read(file, settings::kIpDatabase);

        TShownValue senha = Read(file, settings::kIpSenha);
        senha.secret = true;
        try {
            senha.value = CipherText("D", senha.stored, kPasswordCipherKey);
        } catch (const std::exception& e) {
            senha.value.clear();
            // What is no cipher text is often the password itself, typed in plain; the
            // converter's message quotes it too.
            const std::string what = reveal_ ? Quoted(senha.stored) + " is not cipher text (" + Message(e) + ")"
                                             : std::string("the value is not cipher text");
            Warn(file.name, senha.section, senha.key,
                 what + ": the window reports this at start-up and keeps its built-in password");
        }
        if (!senha.present)
            Warn(file.name, senha.section, senha.key, "missing: the built-in default password is used");
        file.values.back() = senha;

        const TShownValue usa = Read(file, settings::kUsaFisLogica);
        TShownValue cod = Read(file, settings::kCodLogica);
        report.logicalBranch = TConfigSistemaQOR::GetCodLogica();
        cod.value = std::to_string(report.logicalBranch);
        file.values.back() = cod;
        int32_t parsed = 0;
        if (!TryStrToInt(cod.stored, parsed))
            Warn(file.name, cod.section, cod.key,
                 Quoted(cod.stored) + " is not a whole number: it reads as 0 (filial_id 0 in every row)");
        else if (cod.stored != cod.value)
            Warn(file.name, cod.section, cod.key, Quoted(cod.stored) + " reads as " + cod.value);

        report.storeCodeFromFile = usa.stored == "1";
        if (usa.stored != "1" && usa.stored != "0")
            Warn(file.name, usa.section, usa.key,
                 Quoted(usa.stored) + " is not \"1\": the store code comes from the server's identification record");
        if (report.storeCodeFromFile) {
            report.effectiveBranch = cod.stored;
            try {
                const int32_t effective = TextToBranchNumber(cod.stored);
                report.storeCode = TConfigSistemaQOR::LojasLeramFor(effective);
                if (effective != report.logicalBranch)
                    Warn(file.name, cod.section, cod.key,
                         "the store code is that of branch " + std::to_string(effective) +
                             ", while the rows get filial_id " + std::to_string(report.logicalBranch));
            } catch (const std::exception& e) {
                report.storeCodeError = Message(e);
                Warn(file.name, cod.section, cod.key, "no store code, every run that inserts stops with: " +
                                                          report.storeCodeError);
            }
        }
        report.files.push_back(file);
    }

    void ConnectionConf() {
        TShownFile file{"connection.conf", TConnectionInfo::ConnectionConfFileName(), false, {}};
        file.exists = FileExists(file.path);
        if (!file.exists)
            Warn(file.name, "", "",
                 report.storeCodeFromFile ? "no such file (not needed while usa_fislogica is \"1\")"
                                          : "no such file: the identification connection has no server, "
                                            "database, user or password");
        const TProfileReader reader(file.path);
        for (const char* key : conf_keys::kAll) {
            TShownValue v;
            v.section = conf_keys::kSection;
            v.key = key;
            const std::string raw = reader.ReadString(v.section, key, kAbsent);
            v.present = raw != kAbsent;
            v.stored = v.present ? raw : std::string();
            v.secret = v.key == conf_keys::kSenha;
            const bool integer = v.key == conf_keys::kCodFisica;
            v.value = integer ? std::to_string(TConnectionInfo::ReadConfInteger(reader, key, 0))
                              : TConnectionInfo::ReadConfText(reader, key);
            if (!v.stored.empty()) {
                try {
                    const std::string decoded = HexToText(v.stored);
                    if (v.stored.size() % 2 != 0)
                        Warn(file.name, v.section, key, "an odd number of hex digits: the last one is ignored");
                    int32_t number = 0;
                    if (integer && !TryStrToInt(decoded, number))
                        Warn(file.name, v.section, key, "decodes to " + Quoted(decoded) + ", which reads as 0");
                } catch (const std::exception&) {
                    Warn(file.name, v.section, key,
                         (v.secret ? std::string("the value") : Quoted(v.stored)) + " is not hex: it reads as " +
                             (integer ? "0" : "empty"));
                }
            }
            if (v.key == conf_keys::kDatabaseIP && LowerCase(v.value) == "localhost")
                Warn(file.name, v.section, key,
                     "\"localhost\" is replaced by this machine's own address (looked up at each connection), "
                     "and the lookup leaves an empty iphist.dat in the working directory");
            file.values.push_back(v);
        }
        report.files.push_back(file);
    }

private:
    const TShownValue& Read(TShownFile& file, const TSettingKey& setting) {
        TShownValue v;
        v.section = setting.section;
        v.key = setting.key;
        const std::string raw = TConfigSistemaQOR::ReadSetting(setting.section, setting.key, kAbsent);
        v.present = raw != kAbsent;
        v.stored = v.present ? raw : std::string(setting.defaultValue);
        v.value = v.stored;
        file.values.push_back(v);
        return file.values.back();
    }

    void Warn(const std::string& file, const std::string& section, const std::string& key, const std::string& text) {
        report.warnings.push_back({file, section, key, text});
    }

    bool reveal_;
};

std::string Where(const TWarning& w) {
    std::string where = w.file;
    if (!w.section.empty()) where += " [" + w.section + "] " + w.key;
    return where;
}

nlohmann::json ToJson(const TSettingsReport& report, bool reveal) {
    nlohmann::json files = nlohmann::json::array();
    for (const TShownFile& f : report.files) {
        nlohmann::json values = nlohmann::json::object();
        for (const TShownValue& v : f.values) {
            const bool hide = v.secret && !reveal;
            nlohmann::json& section = values[Utf8FromWindows1252(v.section)];
            section[Utf8FromWindows1252(v.key)] = {
                {"present", v.present},
                {"stored", hide ? kMask : Utf8FromWindows1252(v.stored)},
                {"value", hide ? kMask : Utf8FromWindows1252(v.value)},
            };
        }
        files.push_back({{"name", f.name}, {"path", Utf8FromSystemText(f.path)}, {"exists", f.exists},
                         {"values", values}});
    }
    nlohmann::json store = {{"source", report.storeCodeFromFile ? "file" : "server"}};
    if (report.storeCodeFromFile) {
        store["branch"] = Utf8FromWindows1252(report.effectiveBranch);
        if (report.storeCode) store["code"] = Utf8FromWindows1252(*report.storeCode);
        else store["error"] = report.storeCodeError;
    }
    nlohmann::json warnings = nlohmann::json::array();
    for (const TWarning& w : report.warnings)
        warnings.push_back({{"file", w.file}, {"section", w.section}, {"key", w.key}, {"message", w.message}});
    return {{"files", files}, {"logical_branch", report.logicalBranch}, {"store_code", store},
            {"warnings", warnings}};
}

void PrintText(const TSettingsReport& report, bool reveal, std::ostream& out) {
    for (const TShownFile& f : report.files) {
        out << f.name << " (" << Utf8FromSystemText(f.path) << (f.exists ? "" : ", missing") << ")\n";
        for (const TShownValue& v : f.values) {
            const std::string label = "[" + v.section + "] " + v.key;
            out << "  " << std::left << std::setw(30) << label << ' ';
            if (v.secret && !reveal) out << kMask;
            else out << Quoted(v.value);
            if (!v.present) out << "  (default)";
            out << '\n';
        }
    }
    out << "logical branch number (filial_id of the rows): " << report.logicalBranch << '\n';
    if (report.storeCodeFromFile) {
        out << "store code: from sistema_qor.ini (usa_fislogica is \"1\"), branch "
            << Quoted(report.effectiveBranch) << ": ";
        if (report.storeCode) out << Quoted(*report.storeCode) << '\n';
        else out << "none (" << report.storeCodeError << ")\n";
    } else {
        out << "store code: from the server's identification record (tarvik-admin check reads it)\n";
    }
    if (report.warnings.empty()) {
        out << "no warnings\n";
        return;
    }
    out << "warnings:\n";
    for (const TWarning& w : report.warnings) out << "  " << Where(w) << ": " << w.message << '\n';
}

}  // namespace

TSettingsReport InspectSettings(bool reveal) {
    TInspector inspector(reveal);
    inspector.SistemaQor();
    inspector.ConnectionConf();
    return inspector.report;
}

int ShowSettingsFiles(const TShowOptions& options, TConsole& console) {
    TSettingsDirectory directory(options.directory);
    const TSettingsReport report = InspectSettings(options.reveal);
    if (options.json) console.out << ToJson(report, options.reveal).dump(2) << '\n';
    else PrintText(report, options.reveal, console.out);
    return kExitDone;
}

}  // namespace tarvik::admin
