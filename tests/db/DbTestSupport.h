#pragma once
// A main connection wired like the window's, against a scratch database of the test server.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "db/DbConnection.h"
#include "db/DbQuery.h"
#include "platform/WaitCursor.h"
#include "tests/support/TestServer.h"

namespace tarvik::test {

// The window's data components, pointed at a database of a server.
struct TMainConnection {
    TMainConnection(const TServerAddress& server, const std::string& database) {
        conexao.SetHost(server.host);
        conexao.SetPort(std::to_string(server.port));
        conexao.SetLogin(server.user);
        conexao.SetPassword(server.password);
        conexao.SetDatabase(database);
    }

    // The transaction is declared after its queries, the other way round from the window, so
    // that the layer's tests also cover a transaction made after its queries and released
    // before them (the queries hold only the connection's link).
    TDbConnection conexao;
    TDbQuery qProdutos{"QProdutos", conexao, false};
    TDbQuery qTemp{"QTemp", conexao, false};
    TDbQuery qInclui{"QInclui", conexao, true};
    TDbTransaction transacao{conexao};
};

class DbServerTest : public ::testing::Test {
protected:
    // The sessions that our code opened on the scratch database, oldest first.
    std::vector<unsigned long> OurSessions() {
        std::vector<unsigned long> ids;
        for (unsigned long id : db.OtherSessions()) {
            // A refused login leaves a Connect row too, followed by the refusal.
            bool refused = false;
            for (const std::string& row : db.GeneralLog(id))
                if (row.rfind("Connect\tAccess denied", 0) == 0) refused = true;
            if (!refused) ids.push_back(id);
        }
        return ids;
    }

    // The one session our code opened.
    unsigned long OurSession() {
        const std::vector<unsigned long> ids = OurSessions();
        EXPECT_EQ(ids.size(), 1u);
        return ids.empty() ? 0 : ids.back();
    }

    std::string ConnectRow() const { return "Connect\troot@127.0.0.1 on " + db.Name() + " using TCP/IP"; }

    TScratchDatabase db;
    TMainConnection main{TestServer(), db.Name()};
    TDbConnection& conexao = main.conexao;
    TDbQuery& qProdutos = main.qProdutos;
    TDbQuery& qTemp = main.qTemp;
    TDbQuery& qInclui = main.qInclui;
    TDbTransaction& transacao = main.transacao;
};

// Records what the data layer does with the application's cursor.
class TCursorRecorder {
public:
    TCursorRecorder() {
        SetCursorHook({[this] { return shape; },
                       [this](TCursorShape s) {
                           shape = s;
                           if (s == TCursorShape::Wait) ++waits;
                       }});
    }
    ~TCursorRecorder() { ClearCursorHook(); }

    TCursorShape shape = TCursorShape::Default;
    int waits = 0;
};

}  // namespace tarvik::test
