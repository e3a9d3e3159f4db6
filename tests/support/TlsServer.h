#pragma once
// A private server (PrivateServer.h) that speaks TLS, with a CA and certificates made by the test
// with the openssl command: the certificate it serves can be swapped while it runs (FLUSH SSL),
// so one server shows a link every way a certificate can fail.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/PrivateServer.h"
#include "tests/support/TempDir.h"

namespace tarvik::test {

enum class TServedCertificate {
    Good,        // signed by CaFile(), for the server's own address
    OtherHost,   // signed by CaFile(), for another address and name
    Expired,     // signed by CaFile(), for the server's address, no longer valid
    SelfSigned,  // for the server's address, signed by nobody
};

class TTlsServer {
public:
    // Starts serving the Good certificate; `options` go to the server as well.
    explicit TTlsServer(std::vector<std::string> options = {});

    TPrivateServer& Server() { return *server_; }
    const TServerAddress& Address() const { return server_->Address(); }
    // The CA that signed every certificate the server may serve but the self-signed one.
    std::string CaFile() const { return files_.File("ca.pem"); }
    // A CA that signed none of them.
    std::string OtherCaFile() const { return files_.File("other-ca.pem"); }
    // A client certificate signed by CaFile(), and its key.
    std::string ClientCertFile() const { return files_.File("client.pem"); }
    std::string ClientKeyFile() const { return files_.File("client.key"); }

    // Serves `which` from the next connection on.
    void Serve(TServedCertificate which);

private:
    // The certificates for `host`; the server's options that name them.
    std::vector<std::string> MakeCertificates(const std::string& host);

    TTempDir files_;
    std::chrono::steady_clock::time_point expiredMadeAt_;
    std::unique_ptr<TPrivateServer> server_;
};

// A branch database `database` on the server (the tables of branch-schema.sql, products 1 to 3,
// none of their rows present) and an account
// `user`@'%' with what a run needs and nothing more: SELECT on produto and the identification
// record, SELECT and INSERT on the two target tables (the account is made once; each database
// adds its own GRANTs).
void MakeRunAccount(TPrivateServer& server, const std::string& database, const std::string& user,
                    const std::string& password);

}  // namespace tarvik::test
