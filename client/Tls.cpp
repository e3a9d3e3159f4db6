#include "client/Tls.h"

#include <mysql.h>

#include "client/Messages.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace tarvik {

const char* TlsModeName(TTlsMode mode) {
    switch (mode) {
        case TTlsMode::Required: return "required";
        case TTlsMode::Verify: return "verify";
        case TTlsMode::None: break;
    }
    return "";
}

bool ParseTlsMode(const std::string& text, TTlsMode& mode) {
    for (const TTlsMode candidate : {TTlsMode::None, TTlsMode::Required, TTlsMode::Verify}) {
        if (SameText(text, TlsModeName(candidate))) {
            mode = candidate;
            return true;
        }
    }
    return false;
}

TTlsSettings TlsSettingsFromValues(const std::string& mode, const std::string& caFile, const std::string& certFile,
                                   const std::string& keyFile, const std::string& where) {
    TTlsSettings tls;
    if (!ParseTlsMode(mode, tls.mode)) {
        tls.mode = TTlsMode::Verify;
        tls.fault = Format(client_messages::kUnknownTlsMode, mode.c_str(), where.c_str());
    }
    tls.caFile = caFile;
    tls.certFile = certFile;
    tls.keyFile = keyFile;
    // A file named without a mode was meant for TLS: the link is not left in clear for it.
    if (tls.mode == TTlsMode::None && !(caFile.empty() && certFile.empty() && keyFile.empty()))
        tls.mode = TTlsMode::Verify;
    return tls;
}

TGreetingTls GreetingTls(const std::string& payload) {
    // Protocol 10: its number, the server's version ended by a zero byte, the connection id (4
    // bytes), the first part of the scramble (8) and a filler byte, then the lower two bytes
    // of the capabilities.
    if (payload.empty() || payload[0] != 10) return TGreetingTls::Unknown;
    const size_t versionEnd = payload.find('\0', 1);
    if (versionEnd == std::string::npos) return TGreetingTls::Unknown;
    const size_t capabilities = versionEnd + 1 + 4 + 8 + 1;
    if (payload.size() < capabilities + 2) return TGreetingTls::Unknown;
    const unsigned lower = static_cast<unsigned char>(payload[capabilities]) |
                           static_cast<unsigned char>(payload[capabilities + 1]) << 8;
    return (lower & CLIENT_SSL) ? TGreetingTls::Offered : TGreetingTls::NotOffered;
}

void ApplyTlsOptions(MYSQL* h, const TTlsSettings& tls) {
    if (tls.mode == TTlsMode::None) return;
    // Enforced: a server without TLS ends the connect before the login is sent.
    my_bool enforce = 1;
    mysql_optionsv(h, MYSQL_OPT_SSL_ENFORCE, &enforce);
    // Said both ways, since the library's own default for it has changed between versions.
    my_bool verify = tls.mode == TTlsMode::Verify ? 1 : 0;
    mysql_optionsv(h, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
    if (!tls.caFile.empty()) mysql_optionsv(h, MYSQL_OPT_SSL_CA, tls.caFile.c_str());
    if (!tls.certFile.empty()) mysql_optionsv(h, MYSQL_OPT_SSL_CERT, tls.certFile.c_str());
    if (!tls.keyFile.empty()) mysql_optionsv(h, MYSQL_OPT_SSL_KEY, tls.keyFile.c_str());
}

TLinkSecurity ReadLinkSecurity(MYSQL* h, const TTlsSettings& tls) {
    TLinkSecurity security;
    const char* cipher = h ? mysql_get_ssl_cipher(h) : nullptr;
    if (!cipher) return security;
    security.encrypted = true;
    security.cipher = cipher;
    const char* version = nullptr;
    if (mariadb_get_infov(h, MARIADB_CONNECTION_TLS_VERSION, &version) == 0 && version) security.version = version;
    security.verified = tls.mode == TTlsMode::Verify;
    return security;
}

}  // namespace tarvik
