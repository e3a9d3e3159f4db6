#include "tools/admin/InitCommand.h"

#include <ostream>
#include <vector>

#include "db/DbConnection.h"
#include "identification/UConnectionInfoClass.h"
#include "platform/Errors.h"
#include "platform/ExecutablePath.h"
#include "platform/ProfileReader.h"
#include "settings/UConfigSistemaQOR.h"
#include "settings/util.h"
#include "tools/admin/Failures.h"
#include "tools/admin/Files.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

namespace {

constexpr const char* kSettingsFile = "sistema_qor.ini";
constexpr const char* kConnectionFile = "connection.conf";
// Never a value the tool writes: tells "key missing" apart from any value read back.
constexpr const char* kAbsent = "\x01(absent)";

// What the program's reader gives for a key of the text about to be written.
std::string ReadBack(const std::string& contents, const std::string& section, const std::string& key) {
    return TProfileReader::Lookup(contents, section, key, kAbsent);
}

void RequireReadsAs(const std::string& option, const std::string& value, const std::string& readBack,
                    const std::string& where) {
    if (readBack == value) return;
    throw EUsage(option + " " + Quoted(value) + " cannot be stored in " + where + ": the program would read " +
                 Quoted(readBack == kAbsent ? std::string() : readBack));
}

// The main connection keeps only the first kMaxConnectionParameterLength characters of its
// parameters: a longer value would reach the server cut, and the login would fail.
void RequireConnectionLength(const std::string& what, const std::string& value) {
    if (value.size() > kMaxConnectionParameterLength)
        throw EUsage(what + " has " + std::to_string(value.size()) + " characters: the connection takes at most " +
                     std::to_string(kMaxConnectionParameterLength));
}

void ValidateInitOptions(const TInitOptions& o) {
    if (o.branch < 1)
        throw EUsage("--branch " + std::to_string(o.branch) + ": a branch number is 1 or more");
    if (o.useLogicalBranch) {
        // The store code then comes from this number; a number without one would stop every run.
        try {
            (void)TConfigSistemaQOR::LojasLeramFor(o.branch);
        } catch (const Exception& e) {
            throw EUsage("--branch " + std::to_string(o.branch) + ": " + Utf8FromWindows1252(e.Message()));
        }
    }
    RequireConnectionLength("--host", o.host);
    RequireConnectionLength("--database", o.database);
}

}  // namespace

TInitFiles BuildInitFiles(const TInitOptions& o, const std::string& password, const std::string& idPassword) {
    ValidateInitOptions(o);
    const std::string cipher = CipherText("E", password, kPasswordCipherKey);
    TInitFiles files;
    files.sistemaQor = TConfigSistemaQOR::SettingsFileText(
        {o.host, o.database, cipher, o.useLogicalBranch ? "1" : "0", std::to_string(o.branch)});

    const std::string ip = settings::kIpLocal.section;
    const std::string ini = std::string(kSettingsFile) + " [" + ip + "]";
    RequireReadsAs("--host", o.host, ReadBack(files.sistemaQor, ip, settings::kIpLocal.key), ini + " local");
    RequireReadsAs("--database", o.database, ReadBack(files.sistemaQor, ip, settings::kIpDatabase.key),
                   ini + " database");
    // The cipher cannot carry every byte (codes 0 and 255 come back changed) and the reader
    // cuts long values, so the password is checked the way the window will read it.
    const std::string storedCipher = ReadBack(files.sistemaQor, ip, settings::kIpSenha.key);
    std::string deciphered;
    try {
        deciphered = CipherText("D", storedCipher, kPasswordCipherKey);
    } catch (const Exception&) {
    }
    if (storedCipher != cipher || deciphered != password)
        throw EUsage("the main connection's password cannot be stored in " + ini +
                     " senha: it would not decipher to the same text (too long, or holding a byte 0 or 255)");
    RequireConnectionLength("the main connection's password", password);

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
        {conf_keys::kSenha, "the identification password", o.idUser ? idPassword : std::string()},
        {conf_keys::kName, "--name", o.name},
        {conf_keys::kCnpj, "--cnpj", o.cnpj},
    };
    std::vector<TProfileEntry> entries;
    for (const TConfValue& c : connection) entries.push_back({c.key, c.value});
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
            throw EUsage(std::string(option) + ": the value is too long to be stored in " + kConnectionFile +
                         " [connection] " + key);
    }
    return files;
}

int InitSettingsFiles(const TInitOptions& o, TConsole& console) {
    const bool identificationNeeded = !o.useLogicalBranch;
    if (identificationNeeded && (!o.idHost || !o.idDatabase || !o.idUser))
        throw EUsage("--id-host, --id-database and --id-user are needed: without --use-logical-branch the store "
                     "code comes from the identification connection");
    ValidateInitOptions(o);

    const std::vector<TFileToWrite> names = {{kSettingsFile, ""}, {kConnectionFile, ""}};
    RequireDirectory(o.directory);
    if (!o.force) {
        const std::vector<std::string> existing = ExistingFiles(o.directory, names);
        if (!existing.empty()) {
            std::string message;
            for (const std::string& path : existing)
                message += (message.empty() ? "" : "\n") + path + " exists; give --force to replace it";
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
            throw EUsage(console.inIsTerminal
                             ? "no " + what + " given"
                             : "standard input: no " + what + " on line " + std::to_string(line));
        if (console.inIsTerminal) {
            std::string again;
            if (!console.readSecret("Again: ", again) || again != secret)
                throw EUsage("the two entries of the " + what + " differ");
        }
        return secret;
    };
    const std::string password =
        ask("password of the main connection", "Password of root@" + o.host + ": ", 1);
    std::string idPassword;
    if (o.idUser)
        idPassword = ask("password of the identification connection",
                         "Password of " + *o.idUser + "@" + o.idHost.value_or("") + " (identification): ", 2);

    const TInitFiles files = BuildInitFiles(o, password, idPassword);
    WriteFilesInPlace(o.directory, {{kSettingsFile, files.sistemaQor}, {kConnectionFile, files.connectionConf}},
                      owner);
    const std::string dir = WithDirectorySeparator(o.directory);
    console.out << "wrote " << dir << kSettingsFile << "\nwrote " << dir << kConnectionFile << '\n';
    return kExitDone;
}

}  // namespace tarvik::admin
