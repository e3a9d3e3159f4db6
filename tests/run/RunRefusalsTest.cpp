// What a run refuses to write, in both modes: a product id that is no integer as the server
// prints one (it would be pasted into the probe as SQL), and rows of another branch than the one
// whose run lock it holds. The run stops before the probe or the row, with the rows before it
// stored.
#include "run/RunComponents.h"

#include <gtest/gtest.h>

#include <atomic>

#include "tests/run/RunSupport.h"
#include "tests/support/TestServer.h"
#include "tests/support/ThrowsExactly.h"

namespace tarvik {
namespace {

using test::TRow;

// A branch whose produto keeps its ids as text, in the order given.
class TTextIdBranch {
public:
    explicit TTextIdBranch(const std::vector<std::string>& ids) {
        db.Exec("CREATE TABLE produto (n INT AUTO_INCREMENT PRIMARY KEY, produto_id VARCHAR(60) NOT NULL)");
        for (const std::string& id : ids) db.Exec("INSERT INTO produto (produto_id) VALUES ('" + id + "')");
        db.Exec("CREATE TABLE estoque_minimo (produto_id INT NOT NULL, filial_id INT NOT NULL, lojas_leram CHAR(1))");
        test::PointAt(components, test::TestServer(), db.Name());
    }

    void Run(bool inFlights, const TBranchIdentity& branch) {
        if (inFlights) components.RunInFlights(view, "estoque_minimo", TFlightLimits{4, 0}, branch);
        else components.Run(view, "estoque_minimo", branch);
    }

    std::string Stored() {
        return db.Scalar("SELECT GROUP_CONCAT(CONCAT(produto_id, '/', filial_id) ORDER BY produto_id) FROM estoque_minimo");
    }

    test::TScratchDatabase db;
    TRunComponents components;
    test::TQuietView view;
};

const TBranchIdentity kBranch{[] { return 3; }, [] { return std::string("C"); }};

TEST(RunRefusalsTest, AProductIdThatIsNoIntegerStopsTheRunBeforeItsProbe) {
    const struct {
        std::string id;
        std::string stored;  // by the products before it
    } cases[] = {
        {"3 union select 1,1,1 -- ", "1/3,2/3"},
        {"01", "1/3,2/3"},  // "1" is listed after it: probed as 1, it would get a second row in a flight
        {"2e0", "1/3,2/3"},
        {"+5", "1/3,2/3"},
        {"-0", "1/3,2/3"},
        {" 7", "1/3,2/3"},
        {"", "1/3,2/3"},
    };
    for (const auto& c : cases) {
        for (const bool inFlights : {false, true}) {
            SCOPED_TRACE("'" + c.id + (inFlights ? "' in flights" : "' one at a time"));
            TTextIdBranch branch({"1", "2", c.id, "1", "6"});
            EXPECT_TRUE(test::ThrowsExactly<ERunError>(
                [&] { branch.Run(inFlights, kBranch); },
                "O produto_id '" + c.id +
                    "' n\xE3o \xE9 um n\xFAmero inteiro: a gera\xE7\xE3o parou antes de consult\xE1-lo."));
            EXPECT_EQ(branch.Stored(), c.stored);
            EXPECT_EQ(branch.view.posted, 2);
            EXPECT_EQ(branch.view.progress, 2);
            for (const std::string& statement : branch.db.Statements(branch.db.OtherSessions().front()))
                EXPECT_EQ(statement.find("union"), std::string::npos) << statement;
        }
    }
}

TEST(RunRefusalsTest, IntegersAsTheServerPrintsThemAreTheOnlyIdsWritten) {
    for (const char* id : {"0", "7", "-12", "2147483647", "99999999999"}) EXPECT_TRUE(IsPrintedInteger(id)) << id;
    for (const char* id : {"", "-", "-0", "+7", "07", "7 ", " 7", "7a", "1e3", "0x1F", "7;", "٣"})
        EXPECT_FALSE(IsPrintedInteger(id)) << id;
}

// sistema_qor.ini is edited to another branch during the run: the run stops at the first probe
// or row that would name the other branch, holding the lock of the first.
TEST(RunRefusalsTest, ABranchNumberThatChangesMidRunStopsTheRunBeforeARowOfTheOtherBranch) {
    for (const bool inFlights : {false, true}) {
        SCOPED_TRACE(inFlights ? "in flights" : "one at a time");
        TTextIdBranch branch({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
        std::atomic<int> reads{0};
        // The lock's read, then: one at a time a probe and a row for each product; in flights one
        // read for each flight of four.
        const int changeAfter = inFlights ? 2 : 1 + 2 * 3;
        const TBranchIdentity changing{[&] { return ++reads > changeAfter ? 4 : 3; },
                                       [] { return std::string("C"); }};
        EXPECT_TRUE(test::ThrowsExactly<ERunError>(
            [&] { branch.Run(inFlights, changing); },
            "O n\xFAmero da filial em sistema_qor.ini mudou durante a gera\xE7\xE3o (era 3, agora \xE9 4): a "
            "gera\xE7\xE3o parou antes de gravar linhas de outra filial."));
        EXPECT_EQ(branch.db.Scalar("SELECT COUNT(*) FROM estoque_minimo WHERE filial_id <> 3"), "0");
        EXPECT_EQ(branch.Stored(), inFlights ? "1/3,2/3,3/3,4/3" : "1/3,2/3,3/3");
    }
}

}  // namespace
}  // namespace tarvik
