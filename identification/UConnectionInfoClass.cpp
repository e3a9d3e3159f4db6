#include "identification/UConnectionInfoClass.h"

#include "identification/Messages.h"
#include "identification/UDao.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/ExecutablePath.h"
#include "platform/HostLookup.h"

#include <memory>

namespace tarvik {
namespace {

using conf_keys::kSection;

std::unique_ptr<TConnectionInfo> g_connectionInfo;

}  // namespace

std::string HexToText(const std::string& text) {
    std::string result;
    const size_t pairs = text.size() / 2;
    result.reserve(pairs);
    for (size_t i = 0; i < pairs; ++i) {
        const int high = HexDigitValue(text[2 * i]);
        const int low = HexDigitValue(text[2 * i + 1]);
        if (high < 0 || low < 0) throw EConvertError(Format(identification_messages::kInvalidHexText, text.c_str()));
        result += static_cast<char>(high * 16 + low);
    }
    return result;
}

std::string TextToHex(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) AppendHexByte(out, static_cast<unsigned char>(c));
    return out;
}

TConnectionInfo::TConnectionInfo() = default;

TConnectionInfo::~TConnectionInfo() = default;  // closes the identification connection

std::string TConnectionInfo::ConnectionConfFileName() { return ExecutableDirectory() + kFileName; }

std::string TConnectionInfo::ConnectionConfText(const std::vector<TProfileEntry>& entries) {
    std::vector<TProfileEntry> encoded;
    encoded.reserve(entries.size());
    for (const TProfileEntry& entry : entries) encoded.push_back({entry.key, TextToHex(entry.value)});
    return ProfileSectionText(kSection, encoded);
}

std::string TConnectionInfo::ReadConfText(const TProfileReader& reader, const std::string& key) {
    const std::string stored = reader.ReadString(kSection, key, std::string());
    if (stored.empty()) return stored;
    try {
        return HexToText(stored);
    } catch (const EConvertError&) {
        // A damaged value counts as a missing one; the others still load.
        return std::string();
    }
}

int32_t TConnectionInfo::ReadConfInteger(const TProfileReader& reader, const std::string& key,
                                         int32_t defaultValue) {
    int32_t value = defaultValue;
    if (!TryStrToInt(ReadConfText(reader, key), value)) return defaultValue;
    return value;
}

void TConnectionInfo::LoadConnectionConf() {
    const TProfileReader reader(ConnectionConfFileName());
    using namespace conf_keys;
    macAdress_ = ReadConfText(reader, kMacAdress);
    codFisica_ = ReadConfInteger(reader, kCodFisica, 0);
    databaseIP_ = ReadConfText(reader, kDatabaseIP);
    databasename_ = ReadConfText(reader, kDatabasename);
    usuario_ = ReadConfText(reader, kUsuario);
    senha_ = ReadConfText(reader, kSenha);
    name_ = ReadConfText(reader, kName);
    cnpj_ = ReadConfText(reader, kCnpj);
    porta_ = ReadConfText(reader, kPorta);
    tls_ = TlsSettingsFromValues(ReadConfText(reader, kTls), ReadConfText(reader, kTlsCa),
                                 ReadConfText(reader, kTlsCert), ReadConfText(reader, kTlsKey),
                                 std::string(kFileName) + " [" + kSection + "] " + kTls);
}

std::string TConnectionInfo::GetDatabaseIP() const {
    if (LowerCase(databaseIP_) == "localhost") return LocalAddress();
    return databaseIP_;
}

TDaoConnection& TConnectionInfo::GetConnection() {
    if (connection_) return *connection_;
    const std::string usuario = GetUsuario();
    const std::string senha = GetSenha();
    const std::string databasename = GetDatabasename();
    // A port that is not one stops here: the link never goes to some other port instead.
    int32_t port = kPort;
    if (!porta_.empty() && !ReadPort(porta_, port))
        throw EConvertError(Format(identification_messages::kInvalidPort, porta_.c_str(), kFileName, kSection, conf_keys::kPorta));
    // Last, so that a failing address lookup comes after everything else was taken.
    const std::string server = GetDatabaseIP();
    connection_ = TDao::OpenConnection(server, databasename, usuario, senha, nullptr, port, tls_);
    return *connection_;
}

std::string TConnectionInfo::LocalAddress() const { return tarvik::LocalAddress(); }

TConnectionInfo& GetConnectionInfo() {
    if (!g_connectionInfo) {
        // Stored before it is loaded; the load reports nothing, so it is always a loaded one.
        g_connectionInfo = std::make_unique<TConnectionInfo>();
        g_connectionInfo->LoadConnectionConf();
    }
    return *g_connectionInfo;
}

void ReleaseConnectionInfo() { g_connectionInfo.reset(); }

}  // namespace tarvik
