#include "tools/admin/InitCommand.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>
#include <utility>
#include <vector>

#include "db/DbConnection.h"
#include "identification/UConnectionInfoClass.h"
#include "platform/Errors.h"
#include "platform/ExecutablePath.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/ProfileReader.h"
#include "settings/PasswordCipher.h"
#include "settings/StoreCode.h"
#include "settings/UConfigSistemaQOR.h"
#include "tools/admin/ExitStatus.h"
#include "tools/admin/Files.h"
#include "tools/admin/Messages.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

namespace {

constexpr const char* kSettingsFile = TConfigSistemaQOR::kFileName;
constexpr const char* kConnectionFile = TConnectionInfo::kFileName;

// What the program's reader gives for a key of the text about to be written.
std::string ReadBack(const std::string& contents, const std::string& section, const std::string& key) {
    return TProfileReader::Lookup(contents, section, key, kAbsent);
}

void RequireReadsAs(const std::string& option, const std::string& value, const std::string& readBack,
                    const std::string& where) {
    if (readBack == value) return;
    throw EUsage(Fill(admin_messages::kCannotStore,
                      {option, Quoted(value), where, Quoted(readBack == kAbsent ? std::string() : readBack)}));
}

// The main connection keeps only the first kMaxConnectionParameterLength characters of its
// parameters: a longer value would reach the server cut, and the login would fail.
void RequireConnectionLength(const std::string& what, const std::string& value) {
    if (value.size() > kMaxConnectionParameterLength)
        throw EUsage(Fill(admin_messages::kTooLongForConnection,
                          {what, std::to_string(value.size()), std::to_string(kMaxConnectionParameterLength)}));
}

void ValidateInitOptions(const TInitOptions& o) {
    if (o.branch < 1)
        throw EUsage(Fill(admin_messages::kBranchBelowOne, {std::to_string(o.branch)}));
    if (o.useLogicalBranch) {
        // The store code then comes from this number; a number without one would stop every run.
        try {
            (void)FilialToLojasLeram(o.branch);
        } catch (const Exception& e) {
            throw EUsage(
                Fill(admin_messages::kBranchWithoutStoreCode, {std::to_string(o.branch), Utf8FromWindows1252(e.Message())}));
        }
    }
    RequireConnectionLength("--host", o.host);
    RequireConnectionLength("--database", o.database);
    if (o.user) {
        RequireConnectionLength("--user", *o.user);
        if (o.user->empty()) throw EUsage(Fill(admin_messages::kEmptyOption, {"--user"}));
    }
    for (const auto& [option, port] : {std::pair{"--port", o.port}, std::pair{"--id-port", o.idPort}})
        if (port && !IsPort(*port))
            throw EUsage(Fill(admin_messages::kBadPort, {option, std::to_string(*port)}));
}

// Where the program finds the file from any working directory.
std::string AbsolutePath(const std::string& path) { return std::filesystem::absolute(path).lexically_normal().string(); }

// A link's TLS as the files store it: the mode written out (verify when only files are named),
// each file as an absolute path that exists now, a certificate only with its key.
struct TStoredTls {
    std::string mode, ca, cert, key;
};
TStoredTls StoredTls(const TTlsOptions& t, const std::string& prefix) {
    TStoredTls stored;
    if (!t.Given()) return stored;
    TTlsMode mode = TTlsMode::Verify;
    if (t.mode && (!ParseTlsMode(*t.mode, mode) || mode == TTlsMode::None))
        throw EUsage(Fill(admin_messages::kBadTlsMode, {prefix + "tls-mode", Quoted(*t.mode)}));
    stored.mode = TlsModeName(mode);
    const auto file = [&prefix](const std::optional<std::string>& path, const char* option) {
        if (!path) return std::string();
        const std::string name = prefix + option;
        if (!IsRegularFile(*path)) throw EUsage(Fill(admin_messages::kNoSuchTlsFile, {name, Quoted(*path)}));
        return AbsolutePath(*path);
    };
    stored.ca = file(t.ca, "tls-ca");
    stored.cert = file(t.cert, "tls-cert");
    stored.key = file(t.key, "tls-key");
    if (stored.cert.empty() != stored.key.empty())
        throw EUsage(Fill(admin_messages::kCertWithoutKey, {prefix + "tls-cert", prefix + "tls-key"}));
    return stored;
}

// The sections and keys of a settings text, in order, each once (letter case ignored, as the
// program's reader ignores it).
std::vector<std::pair<std::string, std::string>> SectionKeys(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> keys;
    std::string section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        start = end + 1;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = Trim(line.substr(1, line.size() - 2));
        } else if (const size_t equals = line.find('='); equals != std::string::npos && !section.empty()) {
            const std::string key = Trim(line.substr(0, equals));
            const bool seen = std::any_of(keys.begin(), keys.end(), [&](const auto& k) {
                return SameText(k.first, section) && SameText(k.second, key);
            });
            if (!key.empty() && !seen) keys.emplace_back(section, key);
        }
    }
    return keys;
}

// "[section] key" of every key whose value in the file `name` of `directory` differs from the one
// in `wanted` (a key in one and not in the other included), each as the program reads it and
// `meaning` gives it; every key of `wanted` when the file cannot be read.
std::vector<std::string> ChangedKeys(const std::string& directory, const std::string& name, const std::string& wanted,
                                     const std::function<std::string(const std::string& section,
                                                                     const std::string& key,
                                                                     const std::string& value)>& meaning) {
    std::string stored;
    const bool exists = ReadWholeFile(WithDirectorySeparator(directory) + name, stored);
    std::vector<std::pair<std::string, std::string>> keys = SectionKeys(wanted);
    for (const auto& key : SectionKeys(stored)) {
        if (std::none_of(keys.begin(), keys.end(), [&](const auto& k) {
                return SameText(k.first, key.first) && SameText(k.second, key.second);
            }))
            keys.push_back(key);
    }
    std::vector<std::string> changed;
    for (const auto& [section, key] : keys) {
        const std::string before = exists ? ReadBack(stored, section, key) : std::string(kAbsent);
        const std::string after = ReadBack(wanted, section, key);
        const auto value = [&](const std::string& v) { return v == kAbsent ? v : meaning(section, key, v); };
        if (value(before) != value(after)) changed.push_back(std::string(name) + " [" + section + "] " + key);
    }
    return changed;
}

// What a stored value means: the password deciphered (the cipher text changes with every write),
// connection.conf's values decoded from hex.
std::string SettingMeaning(const std::string& section, const std::string& key, const std::string& value) {
    if (!SameText(section, settings::kIpSenha.section) || !SameText(key, settings::kIpSenha.key)) return value;
    try {
        return CipherText("D", value, kPasswordCipherKey);
    } catch (const Exception&) {
        return "\x01undecipherable:" + value;
    }
}

std::string ConnectionMeaning(const std::string&, const std::string&, const std::string& value) {
    try {
        return HexToText(value);
    } catch (const Exception&) {
        return "\x01not hex:" + value;
    }
}

}  // namespace

CLI::App* AddInitOptions(CLI::App& app, TInitOptions& o) {
    using namespace admin_messages;
    CLI::App* command =
        app.add_subcommand("init", Fill(kInitHelp, {TConfigSistemaQOR::kFileName, TConnectionInfo::kFileName}));
    command->add_option("DIR", o.directory, kInitDirectoryHelp)->required();
    command->add_flag("--force", o.force, kForceHelp);
    command->add_flag("--if-changed", o.ifChanged, kIfChangedHelp);
    command->add_option("--host", o.host, kHostHelp)->required();
    command->add_option("--database", o.database, kDatabaseHelp)->capture_default_str();
    command->add_option("--branch", o.branch, kBranchHelp)->required();
    command->add_flag("--use-logical-branch", o.useLogicalBranch, kUseLogicalBranchHelp);
    command->add_option("--user", o.user, kUserHelp);
    command->add_option("--port", o.port, kPortHelp);
    command->add_option("--tls-mode", o.tls.mode, kTlsModeHelp);
    command->add_option("--tls-ca", o.tls.ca, kTlsCaHelp);
    command->add_option("--tls-cert", o.tls.cert, kTlsCertHelp);
    command->add_option("--tls-key", o.tls.key, kTlsKeyHelp);
    command->add_option("--id-host", o.idHost, Fill(kIdHostHelp, {TConnectionInfo::kFileName}));
    command->add_option("--id-port", o.idPort, kIdPortHelp);
    command->add_option("--id-tls-mode", o.idTls.mode, kIdTlsHelp);
    command->add_option("--id-tls-ca", o.idTls.ca, kIdTlsHelp);
    command->add_option("--id-tls-cert", o.idTls.cert, kIdTlsHelp);
    command->add_option("--id-tls-key", o.idTls.key, kIdTlsHelp);
    command->add_option("--id-database", o.idDatabase, kIdDatabaseHelp);
    command->add_option("--id-user", o.idUser, kIdUserHelp);
    command->add_option("--mac", o.mac, kMacHelp);
    command->add_option("--cod-fisica", o.codFisica, kCodFisicaHelp);
    command->add_option("--name", o.name, kNameHelp);
    command->add_option("--cnpj", o.cnpj, kCnpjHelp);
    command->add_option("--owner", o.owner, kOwnerHelp);
    return command;
}

TInitFiles BuildInitFiles(const TInitOptions& o, const std::string& password, const std::string& idPassword) {
    ValidateInitOptions(o);
    const std::string cipher = CipherText("E", password, kPasswordCipherKey);
    TInitFiles files;
    const TStoredTls tls = StoredTls(o.tls, "--");
    const TStoredTls idTls = o.idTls.Given() ? StoredTls(o.idTls, "--id-") : tls;
    // The link's keys, each with the option it came from; an empty value is not written.
    const std::pair<const TSettingKey*, std::pair<const char*, std::string>> link[] = {
        {&settings::kIpUsuario, {"--user", o.user.value_or("")}},
        {&settings::kIpPorta, {"--port", o.port ? std::to_string(*o.port) : std::string()}},
        {&settings::kIpTls, {"--tls-mode", tls.mode}},
        {&settings::kIpTlsCa, {"--tls-ca", tls.ca}},
        {&settings::kIpTlsCert, {"--tls-cert", tls.cert}},
        {&settings::kIpTlsKey, {"--tls-key", tls.key}},
    };
    TSettingsFileValues values{o.host, o.database, cipher, o.useLogicalBranch ? "1" : "0", std::to_string(o.branch), {}};
    for (const auto& [key, value] : link) values.link.emplace_back(key, value.second);
    files.sistemaQor = TConfigSistemaQOR::SettingsFileText(values);

    const std::string ip = settings::kIpLocal.section;
    const std::string ini = std::string(kSettingsFile) + " [" + ip + "]";
    RequireReadsAs("--host", o.host, ReadBack(files.sistemaQor, ip, settings::kIpLocal.key), ini + " " + settings::kIpLocal.key);
    RequireReadsAs("--database", o.database, ReadBack(files.sistemaQor, ip, settings::kIpDatabase.key),
                   ini + " " + settings::kIpDatabase.key);
    for (const auto& [key, value] : link) {
        if (value.second.empty()) continue;
        RequireReadsAs(value.first, value.second, ReadBack(files.sistemaQor, ip, key->key), ini + " " + key->key);
    }
    // The cipher cannot carry every byte (codes 0 and 255 come back changed) and the reader
    // cuts long values, so the password is checked the way the window will read it.
    const std::string storedCipher = ReadBack(files.sistemaQor, ip, settings::kIpSenha.key);
    std::string deciphered;
    try {
        deciphered = CipherText("D", storedCipher, kPasswordCipherKey);
    } catch (const Exception&) {
    }
    if (storedCipher != cipher || deciphered != password)
        throw EUsage(Fill(admin_messages::kPasswordCannotBeStored, {ini}));
    RequireConnectionLength(admin_messages::kMainPasswordOption, password);

    // Every key is written; one whose option was not given is empty.
    struct TConfValue {
        const char* key;
        const char* option;
        std::string value;
    };
    const TConfValue connection[] = {
        {conf_keys::kMacAdress, "--mac", o.mac},
        {conf_keys::kCodFisica, "--cod-fisica", o.codFisica ? std::to_string(*o.codFisica) : std::string()},
        {conf_keys::kDatabaseIP, "--id-host", o.idHost.value_or("")},
        {conf_keys::kDatabasename, "--id-database", o.idDatabase.value_or("")},
        {conf_keys::kUsuario, "--id-user", o.idUser.value_or("")},
        {conf_keys::kSenha, admin_messages::kIdentificationPasswordOption, o.idUser ? idPassword : std::string()},
        {conf_keys::kName, "--name", o.name},
        {conf_keys::kCnpj, "--cnpj", o.cnpj},
        {conf_keys::kPorta, "--id-port", o.idPort ? std::to_string(*o.idPort) : std::string()},
        {conf_keys::kTls, "--id-tls-mode", idTls.mode},
        {conf_keys::kTlsCa, "--id-tls-ca", idTls.ca},
        {conf_keys::kTlsCert, "--id-tls-cert", idTls.cert},
        {conf_keys::kTlsKey, "--id-tls-key", idTls.key},
    };
    std::vector<TProfileEntry> entries;
    for (const TConfValue& c : connection) {
        // The link's keys only when set: a file without them reads as it always did.
        const bool linkKey = std::find(std::begin(conf_keys::kLink), std::end(conf_keys::kLink), std::string_view(c.key)) !=
                             std::end(conf_keys::kLink);
        if (linkKey && c.value.empty()) continue;
        entries.push_back({c.key, c.value});
    }
    files.connectionConf = TConnectionInfo::ConnectionConfText(entries);

    // Read back through the program's own decoding, value by value.
    for (const auto& [key, option, expected] : connection) {
        const std::string stored = ReadBack(files.connectionConf, conf_keys::kSection, key);
        std::string decoded;
        try {
            decoded = HexToText(stored == kAbsent ? std::string() : stored);
        } catch (const Exception&) {
            decoded = kAbsent;
        }
        if (decoded != expected)
            throw EUsage(Fill(admin_messages::kConfValueTooLong, {option, kConnectionFile, conf_keys::kSection, key}));
    }
    return files;
}

int InitSettingsFiles(const TInitOptions& o, TConsole& console) {
    const bool identificationNeeded = !o.useLogicalBranch;
    if (identificationNeeded && (!o.idHost || !o.idDatabase || !o.idUser))
        throw EUsage(admin_messages::kIdentificationOptionsNeeded);
    ValidateInitOptions(o);

    const std::vector<TFileToWrite> names = {{kSettingsFile, ""}, {kConnectionFile, ""}};
    RequireDirectory(o.directory);
    if (!o.force && !o.ifChanged) {
        const std::vector<std::string> existing = ExistingFiles(o.directory, names);
        if (!existing.empty()) {
            std::string message;
            for (const std::string& path : existing)
                message += (message.empty() ? "" : "\n") + Fill(admin_messages::kFileExists, {path});
            throw EUsage(message);
        }
    }

    // Whatever can be refused is refused before the passwords are asked for.
    std::optional<TFileOwner> owner;
    if (o.owner) owner = LookUpOwner(*o.owner);

    // Both passwords before anything is written, so that an interrupted prompt writes nothing.
    const auto ask = [&console](const std::string& what, const std::string& prompt, int line) {
        std::string secret;
        if (!console.readSecret || !console.readSecret(prompt, secret))
            throw EUsage(console.inIsTerminal ? Fill(admin_messages::kNoPasswordGiven, {what})
                                              : Fill(admin_messages::kNoPasswordOnLine, {what, std::to_string(line)}));
        if (console.inIsTerminal) {
            std::string again;
            if (!console.readSecret(admin_messages::kAgainPrompt, again) || again != secret)
                throw EUsage(Fill(admin_messages::kPasswordsDiffer, {what}));
        }
        return secret;
    };
    const std::string password =
        ask(admin_messages::kMainPassword, Fill(admin_messages::kMainPasswordPrompt, {o.user.value_or(settings::kIpUsuario.defaultValue), o.host}), 1);
    std::string idPassword;
    if (o.idUser)
        idPassword = ask(admin_messages::kIdentificationPassword,
                         Fill(admin_messages::kIdentificationPasswordPrompt, {*o.idUser, o.idHost.value_or("")}), 2);

    const TInitFiles files = BuildInitFiles(o, password, idPassword);
    const std::string dir = WithDirectorySeparator(o.directory);
    if (o.ifChanged) {
        // Compared by what the program reads, never by the cipher text, and never shown.
        std::vector<std::string> changed = ChangedKeys(o.directory, kSettingsFile, files.sistemaQor, SettingMeaning);
        for (std::string& key : ChangedKeys(o.directory, kConnectionFile, files.connectionConf, ConnectionMeaning))
            changed.push_back(std::move(key));
        if (changed.empty()) {
            console.out << Fill(admin_messages::kUnchanged, {dir + kSettingsFile, dir + kConnectionFile});
            return kExitDone;
        }
        WriteFilesInPlace(o.directory, {{kSettingsFile, files.sistemaQor}, {kConnectionFile, files.connectionConf}},
                          owner);
        for (const std::string& key : changed) console.out << Fill(admin_messages::kChangedKey, {Utf8FromWindows1252(key)});
        return kExitChanged;
    }
    WriteFilesInPlace(o.directory, {{kSettingsFile, files.sistemaQor}, {kConnectionFile, files.connectionConf}},
                      owner);
    for (const char* name : {kSettingsFile, kConnectionFile}) console.out << Fill(admin_messages::kWrote, {dir + name});
    return kExitDone;
}

}  // namespace tarvik::admin
