// The run in flights against the one at a time, on the same data: the same rows, and the same
// probes and INSERTs on the wire, in every case a run can meet.
#include "run/FlightRun.h"
#include "run/RunComponents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "tests/run/RunSupport.h"
#include "tests/support/TestServer.h"

namespace tarvik {
namespace {

using Texts = std::vector<std::string>;

struct TRecordingView : TRunView {
    int32_t maximum = 0, progress = 0;
    int posted = 0;
    Texts told;
    std::function<bool(int32_t)> stopAt;
    void SetStartEnabled(bool) override {}
    void SetGaugeMaximum(int32_t m) override { maximum = m; }
    int32_t GaugeProgress() const override { return progress; }
    void SetGaugeProgress(int32_t p) override { progress = p; }
    void Inform(const std::string& text) override { told.push_back(text); }
    void RowPosted() override { ++posted; }
    bool StopRequested() const override { return stopAt && stopAt(progress); }
};

// A branch database of its own: products 1 to 60 with 7 listed twice, rows of branch 3 for every
// fifth product and of branch 5 for product 2, and a column whose default is written as a
// literal holding ";", a quote and a backslash. The store code holds the same characters.
class TBranch {
public:
    explicit TBranch(const std::string& extraColumns = "") {
        db.Exec("CREATE TABLE produto (produto_id INT NOT NULL)");
        db.Exec("INSERT INTO produto SELECT seq FROM seq_1_to_60");
        db.Exec("INSERT INTO produto VALUES (7)");
        db.Exec("CREATE TABLE estoque_minimo (produto_id INT NOT NULL, filial_id INT NOT NULL,"
                " lojas_leram VARCHAR(8) NOT NULL, obs VARCHAR(20) NOT NULL DEFAULT 'a;b''c\\\\d'" +
                extraColumns + ", KEY pf (produto_id, filial_id))");
        db.Exec("INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) SELECT seq, 3, 'x'"
                " FROM seq_5_to_60_step_5");
        db.Exec("INSERT INTO estoque_minimo (produto_id, filial_id, lojas_leram) VALUES (2, 5, 'y')");
        test::PointAt(components, test::TestServer(), db.Name());
    }

    std::vector<test::TRow> Rows() {
        return db.Query("SELECT produto_id, filial_id, lojas_leram, obs FROM estoque_minimo"
                        " ORDER BY produto_id, filial_id, lojas_leram");
    }
    // The probes and INSERTs the components' link sent, each flight taken apart.
    Texts ProbesAndInserts() {
        Texts sent;
        for (const std::string& s : db.Statements(db.OtherSessions().front()))
            if (s.rfind("Select * from estoque_minimo where produto_id = ", 0) == 0 && s.find(" = 0") != s.size() - 4)
                sent.push_back(s);
            else if (s.rfind("INSERT INTO ", 0) == 0)
                sent.push_back(s);
        return sent;
    }

    test::TScratchDatabase db;
    TRunComponents components;
    TRecordingView view;
    const TBranchIdentity branch{[] { return 3; }, [] { return std::string(";'\\"); }};
};

// Takes each flight apart by the statements expected of it, as a multiset: every flight text
// must be a ";"-joined run of them, and none may be left over or missing.
void ExpectSameStatements(const Texts& oneAtATime, const Texts& flights) {
    Texts left = oneAtATime;
    for (const std::string& flight : flights) {
        size_t at = 0;
        while (at < flight.size()) {
            auto match = std::find_if(left.begin(), left.end(), [&](const std::string& s) {
                return flight.compare(at, s.size(), s) == 0 &&
                       (at + s.size() == flight.size() || flight[at + s.size()] == ';');
            });
            ASSERT_NE(match, left.end()) << "not sent one at a time: " << flight.substr(at, 120);
            at += match->size() + 1;
            left.erase(match);
        }
    }
    EXPECT_EQ(left, Texts{}) << "sent one at a time, never in a flight";
}

TEST(FlightRunTest, SameRowsAndSameProbesAndInsertsAsOneAtATime) {
    TBranch one, flights;
    one.components.Run(one.view, "estoque_minimo", one.branch);
    flights.components.RunInFlights(flights.view, "estoque_minimo", TFlightLimits{16, 0}, flights.branch);

    EXPECT_EQ(flights.Rows(), one.Rows());
    EXPECT_EQ(flights.db.Scalar("SELECT COUNT(*) FROM estoque_minimo WHERE produto_id = 7 AND filial_id = 3"), "1")
        << "a product listed twice gets one row";
    EXPECT_EQ(flights.db.Scalar("SELECT CONCAT(lojas_leram, '|', obs) FROM estoque_minimo WHERE produto_id = 1"),
              ";'\\|a;b'c\\d");
    const Texts single = one.ProbesAndInserts();
    ASSERT_EQ(single.size(), 61u + 48u);
    ExpectSameStatements(single, flights.ProbesAndInserts());
    const Texts texts = flights.ProbesAndInserts();
    EXPECT_LT(texts.size(), 20u) << "sent in flights";
    // A flight's INSERTs go in the text of the next flight's probes; only the last flight's alone.
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(),
                            [](const std::string& t) { return t.find("Select * from") == std::string::npos; }),
              1);
    EXPECT_EQ(flights.view.told, Texts{"Processamento Concluido!"});
    EXPECT_EQ(flights.view.posted, 48);
    EXPECT_EQ(flights.view.progress, 61);
}

// The settings file is read for the branch once per flight, not once per product; the store
// code only for a flight that inserts, so a run with nothing missing never needs it.
TEST(FlightRunTest, TheBranchIsReadOncePerFlight) {
    TBranch flights;
    int numbers = 0, codes = 0;
    const TBranchIdentity counted{[&] { return ++numbers, 3; }, [&] { return ++codes, std::string(";'\\"); }};
    // 61 products in flights of 16, one cut short by product 7 listed twice: 5 flights.
    flights.components.RunInFlights(flights.view, "estoque_minimo", TFlightLimits{16, 0}, counted);
    EXPECT_EQ(flights.view.posted, 48);
    EXPECT_LE(numbers, 1 + 5) << "the run lock's name, then once per flight";
    EXPECT_LE(codes, 5);

    numbers = codes = 0;
    flights.components.RunInFlights(flights.view, "estoque_minimo", TFlightLimits{16, 0}, counted);
    EXPECT_EQ(flights.view.posted, 48) << "nothing was missing";
    EXPECT_LE(numbers, 1 + 5);
    EXPECT_EQ(codes, 0);
}

// A bound of bytes: forty columns with long defaults, where a text holds only a few INSERTs,
// and a bound that holds one statement, where a flight's INSERTs leave no room for the next
// flight's probes and go alone. A statement longer than the bound goes alone.
TEST(FlightRunTest, ABoundOfBytesSplitsFlightsAndAWideTableStillWorks) {
    std::string wide;
    for (int i = 0; i < 40; ++i)
        wide += ", c" + std::to_string(i) + " VARCHAR(100) NOT NULL DEFAULT '" + std::string(80, 'a' + i % 26) + "'";
    const struct {
        const char* what;
        std::string columns;
        size_t bound;
    } cases[] = {{"forty wide columns", wide, 16 * 1024}, {"one statement to a text", "", 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TBranch one(c.columns), flights(c.columns);
        one.components.Run(one.view, "estoque_minimo", one.branch);
        flights.components.RunInFlights(flights.view, "estoque_minimo", TFlightLimits{200, c.bound}, flights.branch);
        EXPECT_EQ(flights.Rows(), one.Rows());
        const Texts single = one.ProbesAndInserts();
        ExpectSameStatements(single, flights.ProbesAndInserts());
        for (const std::string& text : flights.ProbesAndInserts()) {
            if (text.size() > c.bound) {
                EXPECT_NE(std::find(single.begin(), single.end(), text), single.end()) << "over the bound: " << text;
            }
        }
        EXPECT_EQ(flights.view.posted, 48);
    }
}

// An INSERT the server refuses stops the run there: the products before it are stored, none
// after it, and the message names the product and the server's reason.
TEST(FlightRunTest, ARefusedInsertStopsTheRunAtItsProduct) {
    const struct {
        const char* what;
        std::string refusal;
        std::string reason;
    } cases[] = {
        {"a CHECK constraint", "ALTER TABLE estoque_minimo ADD CONSTRAINT sem_33 CHECK (produto_id <> 33)",
         "CONSTRAINT `sem_33` failed for `DB`.`estoque_minimo`"},
        {"a trigger that signals",
         "CREATE TRIGGER recusa BEFORE INSERT ON estoque_minimo FOR EACH ROW IF NEW.produto_id = 33 THEN"
         " SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'produto 33 recusado'; END IF",
         "produto 33 recusado"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TBranch one, flights;
        for (TBranch* b : {&one, &flights}) b->db.Exec(c.refusal);
        EXPECT_THROW(one.components.Run(one.view, "estoque_minimo", one.branch), EDatabaseError);
        std::string reason = c.reason;
        if (const size_t at = reason.find("DB"); at != std::string::npos) reason.replace(at, 2, flights.db.Name());
        try {
            flights.components.RunInFlights(flights.view, "estoque_minimo", TFlightLimits{16, 0}, flights.branch);
            ADD_FAILURE() << "the run went on";
        } catch (const EStatementOutcomeUnknown&) {
            ADD_FAILURE() << "a refusal is no lost answer";
        } catch (const EDatabaseError& e) {
            EXPECT_STREQ(e.what(), ("QInclui (produto_id 33): " + reason).c_str());
        }
        EXPECT_EQ(flights.Rows(), one.Rows());
        EXPECT_EQ(flights.db.Scalar("SELECT MAX(produto_id) FROM estoque_minimo WHERE lojas_leram <> 'x'"), "32");
        EXPECT_EQ(flights.view.posted, one.view.posted);
        EXPECT_EQ(flights.view.told, Texts{});
    }
}

// The link is cut while the server works on a flight's INSERTs: the rows it confirmed are
// counted, and the ones it never answered are named as unknown.
TEST(FlightRunTest, ALinkLostInTheMiddleOfAFlightSaysHowManyInsertsAreUnknown) {
    TBranch flights;
    flights.db.Exec("CREATE TRIGGER devagar BEFORE INSERT ON estoque_minimo FOR EACH ROW"
                    " IF NEW.produto_id = 23 THEN DO SLEEP(30); END IF");
    std::atomic<bool> done{false};
    std::thread cutter([&] {
        test::TAdminConnection admin;
        for (int i = 0; i < 3000 && !done; ++i) {
            const std::string id = admin.Scalar("SELECT ID FROM information_schema.PROCESSLIST WHERE DB = '" +
                                                flights.db.Name() + "' AND STATE = 'User sleep'");
            if (!id.empty()) {
                admin.Exec("KILL " + id);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    try {
        flights.components.RunInFlights(flights.view, "estoque_minimo", TFlightLimits{16, 0}, flights.branch);
        ADD_FAILURE() << "the run went on";
    } catch (const EFlightOutcomeUnknown& e) {
        // Products 17 to 32 make a flight; 17, 18, 19, 21 and 22 are answered before 23, and
        // 23, 24, 26 to 29, 31 and 32 are not.
        EXPECT_EQ(e.Unanswered(), 8u) << e.what();
        EXPECT_EQ(std::string(e.what()).rfind("QInclui (produto_id 23): ", 0), 0u) << e.what();
    }
    done = true;
    cutter.join();
    EXPECT_EQ(flights.db.Scalar("SELECT COUNT(*) FROM estoque_minimo WHERE lojas_leram <> 'x' AND filial_id = 3"),
              std::to_string(flights.view.posted));
    EXPECT_EQ(flights.view.posted, 13 + 5);
}

// Asked to stop, the run ends after the flight in progress, every row of it whole.
TEST(FlightRunTest, AStopRequestEndsTheRunAfterTheFlightInProgress) {
    TBranch flights;
    flights.view.stopAt = [](int32_t progress) { return progress > 0; };
    EXPECT_THROW(
        flights.components.RunInFlights(flights.view, "estoque_minimo", TFlightLimits{16, 0}, flights.branch),
        ERunStopped);
    EXPECT_EQ(flights.view.progress, 16);
    EXPECT_EQ(flights.db.Scalar("SELECT GROUP_CONCAT(produto_id ORDER BY produto_id) FROM estoque_minimo"
                                " WHERE lojas_leram <> 'x' AND filial_id = 3"),
              "1,2,3,4,6,7,8,9,11,12,13,14,16");
    EXPECT_EQ(flights.view.posted, 13);
}

// Several statements to one text are allowed on the link of a run in flights only.
TEST(FlightRunTest, OnlyARunInFlightsAllowsSeveralStatementsToAText) {
    TBranch one, flights;
    one.components.Run(one.view, "estoque_minimo", one.branch);
    const TFlightAnswer refused = one.components.Transacao().ExecFlight(
        {TFlightStatement::Select("SELECT 1", 1), TFlightStatement::Select("SELECT 2", 1)});
    EXPECT_TRUE(refused.failed);
    EXPECT_EQ(refused.errorNumber, 1064u) << refused.error;

    flights.components.RunInFlights(flights.view, "estoque_minimo", TFlightLimits{}, flights.branch);
    const TFlightAnswer answered = flights.components.Transacao().ExecFlight(
        {TFlightStatement::Select("SELECT 1", 1), TFlightStatement::Select("SELECT 2 UNION SELECT 3", 1)});
    EXPECT_FALSE(answered.failed) << answered.error;
    EXPECT_EQ(answered.counts, (std::vector<uint64_t>{1, 2}));
}

}  // namespace
}  // namespace tarvik
