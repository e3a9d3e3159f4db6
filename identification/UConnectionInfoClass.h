#pragma once
// The identification connection's description, read once from "connection.conf" beside the
// executable, and the connection itself, opened on first use and kept until the program ends.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "client/Session.h"
#include "platform/ProfileReader.h"

namespace tarvik {

class TDaoConnection;

// Decodes hex-encoded bytes (two digits per byte, either letter case); an odd last digit is
// ignored. Throws EConvertError when a pair is not two hexadecimal digits.
std::string HexToText(const std::string& text);
// Encodes bytes as connection.conf stores them: two upper-case hexadecimal digits per byte.
std::string TextToHex(const std::string& bytes);

// The keys of connection.conf, all in section "connection", in the order the file is written.
namespace conf_keys {
inline constexpr const char* kSection = "connection";
inline constexpr const char* kMacAdress = "MacAdress";
inline constexpr const char* kCodFisica = "CodFisica";  // the one integer value
inline constexpr const char* kDatabaseIP = "DatabaseIP";
inline constexpr const char* kDatabasename = "Databasename";
inline constexpr const char* kUsuario = "Usuario";
inline constexpr const char* kSenha = "Senha";
inline constexpr const char* kName = "Name";
inline constexpr const char* kCnpj = "Cnpj";
inline constexpr const char* kAll[] = {kMacAdress, kCodFisica, kDatabaseIP, kDatabasename,
                                       kUsuario,   kSenha,     kName,       kCnpj};
// The link's port and TLS, hex-encoded like the rest, written after them and only when set: a
// file without them connects on 3306 in clear, as every file did before they existed.
inline constexpr const char* kPorta = "Porta";
inline constexpr const char* kTls = "Tls";
inline constexpr const char* kTlsCa = "TlsCa";
inline constexpr const char* kTlsCert = "TlsCert";
inline constexpr const char* kTlsKey = "TlsKey";
inline constexpr const char* kLink[] = {kPorta, kTls, kTlsCa, kTlsCert, kTlsKey};
}  // namespace conf_keys

class TConnectionInfo {
public:
    // The file's name, beside the executable.
    static constexpr const char* kFileName = "connection.conf";
    // The identification connection goes to the server's default port unless Porta says otherwise.
    static constexpr int32_t kPort = kDefaultServerPort;

    TConnectionInfo();
    // Closes and releases the identification connection. The process-wide instance is forgotten
    // only by ReleaseConnectionInfo, which destroys it.
    virtual ~TConnectionInfo();
    TConnectionInfo(const TConnectionInfo&) = delete;
    TConnectionInfo& operator=(const TConnectionInfo&) = delete;

    // The executable's directory followed by kFileName.
    static std::string ConnectionConfFileName();
    // The text of a connection.conf that holds `entries` (keys of conf_keys, plain values) in
    // the order given, each value hex-encoded, CR LF line ends. A key left out reads as empty.
    static std::string ConnectionConfText(const std::vector<TProfileEntry>& entries);

    // One value of section "connection", decoded; the empty text when it is missing or not
    // valid hex.
    static std::string ReadConfText(const TProfileReader& reader, const std::string& key);
    // The decoded value as an integer; `defaultValue` when it is missing, not valid hex, not
    // an integer or out of range.
    static int32_t ReadConfInteger(const TProfileReader& reader, const std::string& key, int32_t defaultValue);

    // Reads every key of the file into the members; a missing file leaves them empty.
    void LoadConnectionConf();

    const std::string& GetMacAdress() const { return macAdress_; }
    const std::string& GetUsuario() const { return usuario_; }
    const std::string& GetSenha() const { return senha_; }
    const std::string& GetDatabasename() const { return databasename_; }
    // DatabaseIP as the file holds it ("localhost" not replaced).
    const std::string& GetDatabaseIPAsStored() const { return databaseIP_; }
    const std::string& GetName() const { return name_; }
    int32_t GetCodFisica() const { return codFisica_; }
    const std::string& GetCnpj() const { return cnpj_; }
    const TTlsSettings& GetTls() const { return tls_; }

    // The host to connect to: this machine's own address when DatabaseIP is "localhost" in
    // any letter case (nothing trimmed), otherwise DatabaseIP unchanged.
    std::string GetDatabaseIP() const;

    // The open identification connection, owned by this object; opened on the first call
    // that succeeds. A failure stores nothing, so the next call tries again.
    TDaoConnection& GetConnection();
    bool HasConnection() const { return connection_ != nullptr; }

    // This machine's own address (see platform/HostLookup.h).
    std::string LocalAddress() const;

private:
    std::string macAdress_;
    std::string usuario_;
    std::string senha_;
    std::string databasename_;
    std::string databaseIP_;
    std::string name_;
    int32_t codFisica_ = 0;
    std::unique_ptr<TDaoConnection> connection_;
    std::string cnpj_;
    std::string porta_;
    TTlsSettings tls_;
};

// The process-wide instance, created and loaded on first use.
TConnectionInfo& GetConnectionInfo();

// At program end, after the window: closes the identification connection and forgets the
// instance (the next GetConnectionInfo would read the file again).
void ReleaseConnectionInfo();

}  // namespace tarvik
