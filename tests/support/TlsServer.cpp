#include "tests/support/TlsServer.h"

#include <sys/wait.h>

#include <cstdio>
#include <stdexcept>
#include <thread>

#include "tests/support/BranchTables.h"
#include "tests/support/ChildProcess.h"

namespace tarvik::test {
namespace {

// Runs the openssl command in `dir`; throws with its output when it fails.
void OpenSsl(const TTempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), "openssl");
    TSpawnOptions options;
    options.output = dir.File("openssl.log");
    options.errorToOutput = true;
    options.inputFromNull = true;
    const pid_t pid = Spawn(args, options);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("openssl " + args[1] + " failed:\n" + ReadWholeFile(dir.File("openssl.log")));
}

// A key and a certificate request for `name`.
void Request(const TTempDir& dir, const std::string& name) {
    OpenSsl(dir, {"req", "-newkey", "rsa:2048", "-nodes", "-keyout", dir.File(name + ".key"), "-out",
                  dir.File(name + ".csr"), "-subj", "/CN=" + name});
}

// The request `name` signed by the CA `ca`, valid for `days` (0: it ends as it begins), with
// `san` as its subjectAltName.
void Sign(const TTempDir& dir, const std::string& name, const std::string& ca, int days, const std::string& san) {
    const std::string extensions = dir.Write(name + ".ext", san.empty() ? "" : "subjectAltName=" + san + "\n");
    OpenSsl(dir, {"x509", "-req", "-in", dir.File(name + ".csr"), "-CA", dir.File(ca + ".pem"), "-CAkey",
                  dir.File(ca + ".key"), "-CAcreateserial", "-out", dir.File(name + ".pem"), "-days",
                  std::to_string(days), "-extfile", extensions});
}

void CopyFile(const TTempDir& dir, const std::string& from, const std::string& to) {
    dir.Write(to, ReadWholeFile(dir.File(from)));
}

}  // namespace

TTlsServer::TTlsServer(std::vector<std::string> options) {
    for (const char* ca : {"ca", "other-ca"})
        OpenSsl(files_, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", files_.File(std::string(ca) + ".key"),
                         "-out", files_.File(std::string(ca) + ".pem"), "-days", "30", "-subj",
                         std::string("/CN=Tarvik test ") + ca});
    Request(files_, "client");
    Sign(files_, "client", "ca", 30, "");
    server_ = std::make_unique<TPrivateServer>(std::move(options),
                                               [this](const std::string& host) { return MakeCertificates(host); });
}

std::vector<std::string> TTlsServer::MakeCertificates(const std::string& host) {
    // The address as a name too: Wine's Schannel matches the host only against the names.
    const std::string own = "IP:" + host + ",DNS:" + host;
    Request(files_, "served");
    Sign(files_, "served", "ca", 30, own);
    CopyFile(files_, "served.pem", "good.pem");
    Sign(files_, "served", "ca", 30, "IP:127.0.0.9,DNS:elsewhere.example");
    CopyFile(files_, "served.pem", "other-host.pem");
    Sign(files_, "served", "ca", 0, own);
    CopyFile(files_, "served.pem", "expired.pem");
    expiredMadeAt_ = std::chrono::steady_clock::now();
    OpenSsl(files_, {"req", "-x509", "-key", files_.File("served.key"), "-out", files_.File("self-signed.pem"), "-days",
                     "30", "-subj", "/CN=" + host, "-addext", "subjectAltName=" + own});
    CopyFile(files_, "good.pem", "server.pem");
    return {"--ssl-ca=" + CaFile(), "--ssl-cert=" + files_.File("server.pem"), "--ssl-key=" + files_.File("served.key")};
}

void TTlsServer::Serve(TServedCertificate which) {
    const char* names[] = {"good.pem", "other-host.pem", "expired.pem", "self-signed.pem"};
    if (which == TServedCertificate::Expired) {
        // Made valid for no time at all: past its end a second later.
        std::this_thread::sleep_until(expiredMadeAt_ + std::chrono::milliseconds(1500));
    }
    CopyFile(files_, names[static_cast<int>(which)], "server.pem");
    server_->Exec("FLUSH SSL");
}

void MakeRunAccount(TPrivateServer& server, const std::string& database, const std::string& user,
                    const std::string& password) {
    server.Exec("CREATE DATABASE " + database + " CHARACTER SET latin1");
    for (const std::string& statement : BranchSchema()) server.Exec("USE " + database + ";" + statement);
    server.Exec("INSERT INTO " + database + ".produto VALUES (1), (2), (3)");
    const std::string account = "'" + user + "'@'%'";
    server.Exec("CREATE USER IF NOT EXISTS " + account + " IDENTIFIED BY '" + password + "';"
                "GRANT SELECT ON " + database + ".produto TO " + account + ";"
                "GRANT SELECT ON " + database + ".identificacao_servidor TO " + account + ";"
                "GRANT SELECT, INSERT ON " + database + ".estoque_minimo TO " + account + ";"
                "GRANT SELECT, INSERT ON " + database + ".estoque_minimo2 TO " + account);
}

}  // namespace tarvik::test
