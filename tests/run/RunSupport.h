#pragma once
// What the run's tests share: a front end that shows nothing, and the connection pointed at a
// server as the settings would point it.

#include <cstdint>
#include <string>

#include "run/GenerationRun.h"
#include "run/RunComponents.h"
#include "tests/support/TestServer.h"

namespace tarvik::test {

// Keeps the gauge's progress and counts the rows the run reported inserted.
struct TQuietView : TRunView {
    int32_t progress = 0;
    int posted = 0;
    void SetStartEnabled(bool) override {}
    void SetGaugeMaximum(int32_t) override {}
    int32_t GaugeProgress() const override { return progress; }
    void SetGaugeProgress(int32_t p) override { progress = p; }
    void Inform(const std::string&) override {}
    void RowPosted() override { ++posted; }
};

// Host, port, database, login and password of the components' connection.
inline void PointAt(TRunComponents& components, const TServerAddress& server, const std::string& database) {
    TDbConnection& c = components.Conexao();
    c.SetHost(server.host);
    c.SetPort(std::to_string(server.port));
    c.SetDatabase(database);
    c.SetLogin(server.user);
    c.SetPassword(server.password);
}

}  // namespace tarvik::test
