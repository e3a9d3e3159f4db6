#pragma once
// The program as the user meets it: the real window, offscreen, with its settings files in a
// directory of the test's own and its data in a scratch database on the test server. Boxes
// are recorded instead of shown.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/qt/Utarvik.h"
#include "tests/app/BoxHookRecorder.h"
#include "tests/support/BranchTables.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestServer.h"

namespace tarvik::test {

using Texts = std::vector<std::string>;

// Each line followed by `end`: the settings files are read with CR LF, CR or LF alike.
std::string JoinLines(const Texts& lines, const std::string& end);

// The lines of the program's own sistema_qor.ini for a run against `database` on `host`.
Texts SettingsLines(const std::string& host, const std::string& database, const std::string& usaFisLogica = "1",
                    const std::string& codLogica = "3", const std::string& password = TestServer().password);

class TProgramFixture : public testing::Test {
protected:
    // `schema`: the statements that fill the scratch database before each test.
    explicit TProgramFixture(std::vector<std::string> schema) : schema_(std::move(schema)) {}

    // The settings files are looked up in dir_, and connection.conf there reaches the scratch
    // database. The identification record and the connection info are process-wide: they
    // are dropped before and after each test, so that no test sees another's.
    void SetUp() override;
    void TearDown() override;

    TForm1& OpenWindow();
    void Click();
    TForm1& OpenWindowAndClick();

    TScratchDatabase db_;
    TTempDir dir_;
    TBoxRecorder boxes_;
    std::unique_ptr<TForm1> form_;

private:
    std::vector<std::string> schema_;
};

}  // namespace tarvik::test
