#pragma once
// TLS on a session: what the settings ask of a link, given to the client library before it
// connects, and what the link turned out to be once it is open.

#include <string>

struct st_mysql;

namespace tarvik {

// What a link asks for. None: the link is as it always was, in clear. Required: encrypted, the
// server's certificate taken as it comes (it protects against a listener, not against a man in
// the middle). Verify: encrypted, and the server's certificate checked against the CA (the
// system's trusted ones when no CA file is named) and against the host name the link goes to.
enum class TTlsMode { None, Required, Verify };

struct TTlsSettings {
    TTlsMode mode = TTlsMode::None;
    std::string caFile;    // PEM; empty: the system's trusted CAs (verify)
    std::string certFile;  // the client's own certificate (PEM), for servers that ask for one
    std::string keyFile;   // its private key (PEM)
    // Not empty when the stored values could not be read as TLS settings: then no session may
    // open at all (never one in clear in place of the one asked for); this is its error.
    std::string fault;
};

// "required" and "verify", as the settings files and the command line write them; "" for None.
const char* TlsModeName(TTlsMode mode);
// The mode a settings value names: "" (None), "required" or "verify", letter case ignored.
// False for any other text.
bool ParseTlsMode(const std::string& text, TTlsMode& mode);
// The settings a link's stored values make: a CA, certificate or key file without a mode asks
// for verify, the safe reading. A mode it does not know gives settings with a fault naming `where`.
TTlsSettings TlsSettingsFromValues(const std::string& mode, const std::string& caFile, const std::string& certFile,
                                   const std::string& keyFile, const std::string& where);

// What a server's greeting (platform/ServerGreeting.h) says of TLS: offered, not offered, or
// nothing to tell (an error packet, a greeting of a protocol this program does not know).
enum class TGreetingTls { Offered, NotOffered, Unknown };
TGreetingTls GreetingTls(const std::string& payload);

// Gives the library what `tls` asks for. With None nothing is set: the handshake stays as it was.
void ApplyTlsOptions(st_mysql* handle, const TTlsSettings& tls);

// What an open link is: encrypted or not, the TLS version and cipher, and whether the server's
// certificate was verified (only a link that asked for verify gets this far verified).
struct TLinkSecurity {
    bool encrypted = false;
    std::string version;
    std::string cipher;
    bool verified = false;
};
TLinkSecurity ReadLinkSecurity(st_mysql* handle, const TTlsSettings& tls);

}  // namespace tarvik
