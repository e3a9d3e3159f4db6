#include "tools/admin/ShowCommand.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <iomanip>
#include <ostream>

#include "identification/UConnectionInfoClass.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/ProfileReader.h"
#include "platform/Text.h"
#include "settings/PasswordCipher.h"
#include "settings/StoreCode.h"
#include "settings/UConfigSistemaQOR.h"
#include "tools/admin/ExitStatus.h"
#include "tools/admin/Files.h"
#include "tools/admin/Messages.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

namespace {


bool FileExists(const std::string& path) { return IsRegularFile(path); }

std::string Message(const std::exception& e) { return Utf8FromSystemText(e.what()); }

class TInspector {
public:
    explicit TInspector(bool reveal) : reveal_(reveal) {}

    TSettingsReport report;

    void SistemaQor() {
        TShownFile file{TConfigSistemaQOR::kFileName, TConfigSistemaQOR::SettingsFileName(), false, {}};
        file.exists = FileExists(file.path);
        if (!file.exists) Warn(file.name, "", "", admin_messages::kNoSettingsFile);

        const TShownValue local = Read(file, settings::kIpLocal);
        if (local.present && local.stored.empty())
            Warn(file.name, local.section, local.key, admin_messages::kEmptyLocal);
        Read(file, settings::kIpDatabase);

        TShownValue senha = Read(file, settings::kIpSenha);
        senha.secret = true;
        try {
            senha.value = CipherText("D", senha.stored, kPasswordCipherKey);
        } catch (const std::exception& e) {
            senha.value.clear();
            // What is no cipher text is often the password itself, typed in plain; the
            // converter's message quotes it too.
            const std::string what = reveal_ ? Fill(admin_messages::kNotCipherTextRevealed, {Quoted(senha.stored), Message(e)})
                                             : std::string(admin_messages::kNotCipherText);
            Warn(file.name, senha.section, senha.key, Fill(admin_messages::kPasswordKept, {what}));
        }
        if (!senha.present)
            Warn(file.name, senha.section, senha.key, admin_messages::kDefaultPassword);
        file.values.back() = senha;

        // The link's account, port and TLS, each with what it falls back to when absent.
        Read(file, settings::kIpUsuario);
        PortWarning(file.name, Read(file, settings::kIpPorta));
        const std::string mode = Read(file, settings::kIpTls).stored, ca = Read(file, settings::kIpTlsCa).stored,
                          cert = Read(file, settings::kIpTlsCert).stored, key = Read(file, settings::kIpTlsKey).stored;
        TlsWarning(file.name, settings::kIpTls.section, settings::kIpTls.key, TlsSettingsFromValues(mode, ca, cert, key, ""));

        const TShownValue usa = Read(file, settings::kUsaFisLogica);
        TShownValue cod = Read(file, settings::kCodLogica);
        report.logicalBranch = TConfigSistemaQOR::GetCodLogica();
        cod.value = std::to_string(report.logicalBranch);
        file.values.back() = cod;
        int32_t parsed = 0;
        if (!TryStrToInt(cod.stored, parsed))
            Warn(file.name, cod.section, cod.key, Fill(admin_messages::kNotAWholeNumber, {Quoted(cod.stored)}));
        else if (cod.stored != cod.value)
            Warn(file.name, cod.section, cod.key, Fill(admin_messages::kReadsAs, {Quoted(cod.stored), cod.value}));

        report.storeCodeFromFile = TConfigSistemaQOR::UsesLogicalBranch(usa.stored);
        if (!report.storeCodeFromFile && usa.stored != "0")
            Warn(file.name, usa.section, usa.key, Fill(admin_messages::kStoreCodeFromServer, {Quoted(usa.stored)}));
        if (report.storeCodeFromFile) {
            report.effectiveBranch = cod.stored;
            try {
                const int32_t effective = TextToBranchNumber(cod.stored);
                report.storeCode = FilialToLojasLeram(effective);
                if (effective != report.logicalBranch)
                    Warn(file.name, cod.section, cod.key,
                         Fill(admin_messages::kStoreCodeOfAnotherBranch,
                              {std::to_string(effective), std::to_string(report.logicalBranch)}));
            } catch (const std::exception& e) {
                report.storeCodeError = Message(e);
                Warn(file.name, cod.section, cod.key,
                     Fill(admin_messages::kNoStoreCodeEveryRunStops, {report.storeCodeError}));
            }
        }
        report.files.push_back(file);
    }

    void ConnectionConf() {
        TShownFile file{TConnectionInfo::kFileName, TConnectionInfo::ConnectionConfFileName(), false, {}};
        file.exists = FileExists(file.path);
        if (!file.exists)
            Warn(file.name, "", "",
                 report.storeCodeFromFile ? admin_messages::kNoConnectionFileNotNeeded
                                          : admin_messages::kNoConnectionFile);
        const TProfileReader reader(file.path);
        std::vector<const char*> keys(std::begin(conf_keys::kAll), std::end(conf_keys::kAll));
        keys.insert(keys.end(), std::begin(conf_keys::kLink), std::end(conf_keys::kLink));
        for (const char* key : keys) {
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
                        Warn(file.name, v.section, key, admin_messages::kOddHexDigits);
                    int32_t number = 0;
                    if (integer && !TryStrToInt(decoded, number))
                        Warn(file.name, v.section, key, Fill(admin_messages::kDecodesToNoInteger, {Quoted(decoded)}));
                } catch (const std::exception&) {
                    Warn(file.name, v.section, key,
                         Fill(admin_messages::kNotHex,
                              {v.secret ? std::string(admin_messages::kSecretValue) : Quoted(v.stored),
                               integer ? admin_messages::kReadsAsZero : admin_messages::kReadsAsEmpty}));
                }
            }
            if (v.key == conf_keys::kDatabaseIP && LowerCase(v.value) == "localhost")
                Warn(file.name, v.section, key, admin_messages::kLocalhostReplaced);
            if (v.key == conf_keys::kPorta) PortWarning(file.name, v);
            file.values.push_back(v);
        }
        const TTlsSettings tls = TlsSettingsFromValues(
            TConnectionInfo::ReadConfText(reader, conf_keys::kTls), TConnectionInfo::ReadConfText(reader, conf_keys::kTlsCa),
            TConnectionInfo::ReadConfText(reader, conf_keys::kTlsCert),
            TConnectionInfo::ReadConfText(reader, conf_keys::kTlsKey), "");
        TlsWarning(file.name, conf_keys::kSection, conf_keys::kTls, tls);
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

    // A port that is no port stops every connect on that link.
    void PortWarning(const std::string& file, const TShownValue& v) {
        int32_t port = 0;
        if (v.value.empty() || ReadPort(v.value, port)) return;
        Warn(file, v.section, v.key, Fill(admin_messages::kNotAPort, {Quoted(v.value)}));
    }

    // A mode the program does not know stops every connect on that link; files without a mode
    // ask for verify.
    void TlsWarning(const std::string& file, const std::string& section, const std::string& key, const TTlsSettings& tls) {
        if (!tls.fault.empty()) Warn(file, section, key, admin_messages::kUnknownTlsModeShown);
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
                {"stored", hide ? admin_messages::kMask : Utf8FromWindows1252(v.stored)},
                {"value", hide ? admin_messages::kMask : Utf8FromWindows1252(v.value)},
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
        out << Fill(admin_messages::kShownFile, {f.name, Utf8FromSystemText(f.path), f.exists ? "" : admin_messages::kMissing});
        for (const TShownValue& v : f.values) {
            const std::string label = "[" + v.section + "] " + v.key;
            out << "  " << std::left << std::setw(30) << label << ' ';
            if (v.secret && !reveal) out << admin_messages::kMask;
            else out << Quoted(v.value);
            if (!v.present) out << admin_messages::kDefaultValue;
            out << '\n';
        }
    }
    out << Fill(admin_messages::kLogicalBranch, {std::to_string(report.logicalBranch)});
    if (report.storeCodeFromFile) {
        out << Fill(admin_messages::kStoreCodeFromFileShown, {TConfigSistemaQOR::kFileName, Quoted(report.effectiveBranch)});
        if (report.storeCode) out << Quoted(*report.storeCode) << '\n';
        else out << Fill(admin_messages::kNoStoreCodeShown, {report.storeCodeError});
    } else {
        out << admin_messages::kStoreCodeFromServerShown;
    }
    if (report.warnings.empty()) {
        out << admin_messages::kNoWarnings;
        return;
    }
    out << admin_messages::kWarnings;
    for (const TWarning& w : report.warnings) out << Fill(admin_messages::kWarningShown, {Where(w), w.message});
}

}  // namespace

TSettingsReport InspectSettings(bool reveal) {
    TInspector inspector(reveal);
    inspector.SistemaQor();
    inspector.ConnectionConf();
    return inspector.report;
}

CLI::App* AddShowOptions(CLI::App& app, TShowOptions& options) {
    CLI::App* command = app.add_subcommand("show", admin_messages::kShowHelp);
    command->add_option("DIR", options.directory, admin_messages::kDirectoryHelp)->required();
    command->add_flag("--json", options.json, admin_messages::kJsonHelp);
    command->add_flag("--reveal", options.reveal, admin_messages::kRevealHelp);
    return command;
}

int ShowSettingsFiles(const TShowOptions& options, TConsole& console) {
    TSettingsDirectory directory(options.directory);
    const TSettingsReport report = InspectSettings(options.reveal);
    if (options.json) console.out << ToJson(report, options.reveal).dump(2) << '\n';
    else PrintText(report, options.reveal, console.out);
    return kExitDone;
}

}  // namespace tarvik::admin
