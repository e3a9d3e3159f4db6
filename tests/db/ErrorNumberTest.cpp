// The client library's error number travels with every error the server or the library
// reports, beside the unchanged text, so that callers can tell the causes apart by number.
#include "client/Session.h"
#include "platform/Errors.h"
#include "tests/db/DbTestSupport.h"
#include "tests/support/KilledServerScene.h"

#include <functional>
#include <typeinfo>
#include <utility>

namespace tarvik::test {
namespace {

// The error `action` raises; a test failure when it raises none.
EDatabaseError ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EDatabaseError& error) {
        return error;
    }
    ADD_FAILURE() << "no database error was raised";
    return EDatabaseError("");
}

class ErrorNumberTest : public DbServerTest {
protected:
    void SetUp() override {
        db.Exec("CREATE TABLE estoque_minimo (produto_id INT NOT NULL PRIMARY KEY, filial_id INT NOT NULL,"
                " lojas_leram CHAR(1) NOT NULL)");
    }
    void Append(int32_t product) {
        qInclui.AppendRow();
        qInclui.SetFieldInteger("produto_id", product);
        qInclui.SetFieldInteger("filial_id", 3);
        qInclui.SetFieldText("lojas_leram", "3");
    }
};

TEST_F(ErrorNumberTest, RefusedStatementsCarryTheServersNumber) {
    qInclui.SetStatement("Select * from estoque_minimo where produto_id = 0");
    qInclui.Open();
    Append(12);
    qInclui.PostRow();
    Append(12);
    const EDatabaseError duplicate = ErrorOf([&] { qInclui.PostRow(); });
    EXPECT_EQ(duplicate.ErrorNumber(), 1062u);  // ER_DUP_ENTRY
    EXPECT_EQ(duplicate.Message(), "QInclui: Duplicate entry '12' for key 'PRIMARY'");

    qTemp.SetStatement("Select * from nao_existe");
    const EDatabaseError missing = ErrorOf([&] { qTemp.Open(); });
    EXPECT_EQ(missing.ErrorNumber(), 1146u);  // ER_NO_SUCH_TABLE
    EXPECT_EQ(missing.Message(), "Table '" + db.Name() + ".nao_existe' doesn't exist");

    // Errors of the layer's own carry none.
    EXPECT_EQ(ErrorOf([&] { qTemp.GetFieldText("x"); }).ErrorNumber(), 0u);
}

TEST_F(ErrorNumberTest, RefusedLoginCarriesTheServersNumber) {
    conexao.SetPassword("not-the-password");
    qTemp.SetStatement("Select 1");
    EXPECT_EQ(ErrorOf([&] { qTemp.Open(); }).ErrorNumber(), 1045u);  // ER_ACCESS_DENIED_ERROR
}

// What a refused link says about the settings, told by its number alone.
TEST_F(ErrorNumberTest, RefusedLoginAndDatabaseAreToldApart) {
    struct TCase {
        const char* name;
        std::string password;
        std::string database;
        bool refusedLogin;
        bool refusedDatabase;
    };
    const TCase cases[] = {
        {"wrong password", "not-the-password", db.Name(), true, false},
        {"unknown database", TestServer().password, db.Name() + "_missing", false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TMainConnection link(TestServer(), c.database);
        link.conexao.SetPassword(c.password);
        link.qTemp.SetStatement("Select 1");
        const EDatabaseError refused = ErrorOf([&] { link.qTemp.Open(); });
        EXPECT_EQ(IsRefusedLogin(refused.ErrorNumber()), c.refusedLogin) << refused.ErrorNumber();
        EXPECT_EQ(IsRefusedDatabase(refused.ErrorNumber()), c.refusedDatabase) << refused.ErrorNumber();
    }
}

// A server gone between two statements: the client library's own number for it.
TEST(ErrorNumberOfALostServer, IsOneOfTheClientLibrarysServerGoneNumbers) {
    TKilledServerScene scene(0);
    TMainConnection link(scene.Address(), "loja");
    link.qTemp.SetStatement("Select 1");
    link.qTemp.Open();
    link.qTemp.Close();
    scene.Kill();
    const EDatabaseError gone = ErrorOf([&] { link.qTemp.Open(); });
    // CR_SERVER_GONE_ERROR or CR_SERVER_LOST, depending on where the library noticed.
    EXPECT_TRUE(gone.ErrorNumber() == 2006u || gone.ErrorNumber() == 2013u) << gone.ErrorNumber() << " " << gone.Message();
    // The server said nothing about the settings.
    EXPECT_FALSE(IsRefusedLogin(gone.ErrorNumber()));
    EXPECT_FALSE(IsRefusedDatabase(gone.ErrorNumber()));
}

// An insert on a link that broke: whether the server stored the row is unknown, and the error
// says so by its type, with the client library's text and number as ever. A read on the same
// broken link changes nothing and stays a plain database error.
TEST(ErrorNumberOfALostServer, AnInsertOnALostLinkHasAnUnknownOutcome) {
    TKilledServerScene scene(0);
    TMainConnection link(scene.Address(), "loja");
    link.qInclui.SetStatement("Select * from estoque_minimo where produto_id = 0");
    link.qInclui.Open();
    const auto append = [&link](int32_t product) {
        link.qInclui.AppendRow();
        link.qInclui.SetFieldInteger("produto_id", product);
        link.qInclui.SetFieldInteger("filial_id", 3);
        link.qInclui.SetFieldText("lojas_leram", "3");
    };
    append(1);
    link.qInclui.PostRow();  // the layout is learned, so the next post sends its INSERT alone
    scene.Kill();
    append(2);
    try {
        link.qInclui.PostRow();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(typeid(e), typeid(EStatementOutcomeUnknown)) << typeid(e).name() << " " << e.Message();
        // Where the library noticed decides which of its two texts and numbers it is.
        const auto* gone = dynamic_cast<const EDatabaseError*>(&e);
        ASSERT_NE(gone, nullptr);
        if (gone->ErrorNumber() == 2013u)
            EXPECT_EQ(e.Message(), "QInclui: Lost connection to server during query");
        else
            EXPECT_EQ(std::make_pair(gone->ErrorNumber(), e.Message()),
                      std::make_pair(2006u, std::string("QInclui: Server has gone away")));
    }
    link.qTemp.SetStatement("Select 1");
    try {
        link.qTemp.Open();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(typeid(e), typeid(EDatabaseError)) << typeid(e).name() << " " << e.Message();
    }
}

}  // namespace
}  // namespace tarvik::test
