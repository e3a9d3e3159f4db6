#pragma once
// A branch database whose server is killed in the middle of a run: "loja" on a private server of
// the test's own (never the shared one). Its produto holds products 1 to N; its estoque_minimo is
// the branch table with one more column, observacao, that defaults to 'nova', so that a row the
// run wrote whole can be told from one it did not. What the run left is read after the server
// is started again on its data, so that only what reached its disk counts.
//
// The scripts set the same scene with tarvik_private_server (tests/support/PrivateServerMain.cpp).

#include <string>
#include <vector>

#include "tests/support/PrivateServer.h"

namespace tarvik::test {

// Makes the scene's database `name` on `server`, with products 1 to `products` in produto.
void MakeKilledServerShop(TPrivateServer& server, const std::string& name, int products);

class TKilledServerScene {
public:
    // A private server with the scene's database "loja".
    explicit TKilledServerScene(int products);

    TPrivateServer& Server() { return server_; }
    const TServerAddress& Address() const { return server_.Address(); }

    // SIGKILL, as in a crash; also reaps a server that another process killed.
    void Kill() { server_.Kill(); }
    // What reached the server's disk: the server (killed first if it still runs) started again
    // on its data, then asked `sql`.
    std::vector<TRow> AfterRestart(const std::string& sql);

private:
    TPrivateServer server_;
};

}  // namespace tarvik::test
