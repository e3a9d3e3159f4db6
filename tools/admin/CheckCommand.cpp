#include "tools/admin/CheckCommand.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

#include "client/Session.h"
#include "db/ColumnLayout.h"
#include "db/DbConnection.h"
#include "db/DbQuery.h"
#include "identification/UConnectionInfoClass.h"
#include "identification/UIdentificacaoServidorClass.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "run/GenerationRun.h"
#include "run/MainConnection.h"
#include "settings/UConfigSistemaQOR.h"
#include "tools/admin/Failures.h"
#include "tools/admin/Files.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

namespace {

using nlohmann::json;

std::string Message(const std::exception& e) { return Utf8FromSystemText(e.what()); }

bool Contains(const std::string& list, const std::string& word) {
    const std::string padded = "," + list + ",";
    return padded.find("," + word + ",") != std::string::npos;
}

// The server's refusals of a login that only different settings can mend: the user or
// password, or the database. Anything else (no answer, a server gone) means the check itself
// could not be made.
bool RefusedBySettings(const EDatabaseError& error) {
    return IsRefusedLogin(error.ErrorNumber()) || IsRefusedDatabase(error.ErrorNumber());
}

// The column names of a table, from SHOW COLUMNS through the main connection's own query.
std::vector<std::string> ColumnNames(TDbQuery& query, const std::string& table) {
    query.SetStatement("SHOW COLUMNS FROM " + table);
    query.Open();
    std::vector<std::string> names;
    for (; !query.AtEnd(); query.MoveNext()) names.push_back(query.GetFieldText("Field"));
    query.Close();
    return names;
}

// The columns of a target table as the run's live query learns them, with what its insert
// carries for each column that the run does not set (the data layer's own answer). The SELECT
// reads no row and needs none of the columns it names, so a table without one of them is
// still described.
std::vector<TUnsetColumn> InsertLayout(TDbQuery& query, const std::string& table) {
    query.SetStatement("Select * from " + table + " where 1 = 0");
    query.Open();
    std::vector<TUnsetColumn> layout = query.InsertLayout();
    query.Close();
    return layout;
}

const TUnsetColumn* Find(const std::vector<TUnsetColumn>& layout, const std::string& name) {
    for (const TUnsetColumn& c : layout)
        if (SameText(c.column.name, name)) return &c;
    return nullptr;
}

class TChecker {
public:
    explicit TChecker(const TCheckOptions& options) : options_(options) {}

    json report = json::object();
    std::vector<std::string> problems;   // UTF-8, one reason each
    std::vector<std::string> notes;

    // False when the check itself could not be made.
    bool Check() {
        if (!MainConnection()) return false;
        Branch();
        for (const std::string& table : Tables()) Target(table);
        // The store code is only asked for a row that is inserted.
        if (storeCodeError_ && anyRowsToInsert_)
            problems.push_back("a run stops at the first missing row with: " + *storeCodeError_);
        else if (storeCodeError_)
            notes.push_back("no store code (" + *storeCodeError_ + "), but no run inserts a row now, so none needs it");
        return true;
    }

private:
    std::vector<std::string> Tables() const {
        if (options_.table) return {*options_.table};
        return {TargetTableFor(0), TargetTableFor(1)};
    }

    bool MainConnection() {
        SetDesignTimeValues(conexao_);
        try {
            ApplyConnectionSettings(conexao_);
        } catch (const std::exception& e) {
            problems.push_back("sistema_qor.ini [ip] senha: " + Message(e) +
                               " (the window shows this at start-up and cannot log in)");
            report["main_connection"] = {{"error", Message(e)}};
            return true;
        }
        json& main = report["main_connection"];
        main["host"] = Utf8FromWindows1252(conexao_.Host());
        main["database"] = Utf8FromWindows1252(conexao_.Database());
        main["user"] = Utf8FromWindows1252(conexao_.Login());
        try {
            query_.SetStatement("SELECT VERSION() AS versao, @@SESSION.sql_mode AS modo");
            query_.Open();
        } catch (const EDatabaseError& e) {
            main["error"] = Message(e);
            const std::string where = "main connection " + conexao_.Login() + "@" + conexao_.Host() + ", database " +
                                      conexao_.Database() + ": " + Message(e);
            if (!RefusedBySettings(e)) {
                connectionError_ = where;
                return false;
            }
            // The server answered and refused what the settings say: that is the set-up's fault.
            problems.push_back(where);
            return true;
        } catch (const std::exception& e) {
            main["error"] = Message(e);
            connectionError_ = "main connection " + conexao_.Login() + "@" + conexao_.Host() + ", database " +
                               conexao_.Database() + ": " + Message(e);
            return false;
        }
        connected_ = true;
        const std::string mode = query_.GetFieldText("modo");
        main["server_version"] = Utf8FromWindows1252(query_.GetFieldText("versao"));
        main["sql_mode"] = Utf8FromWindows1252(mode);
        strict_ = Contains(mode, "STRICT_TRANS_TABLES") || Contains(mode, "STRICT_ALL_TABLES");
        noZeroDate_ = Contains(mode, "NO_ZERO_DATE");
        main["strict"] = strict_;
        main["no_backslash_escapes"] = Contains(mode, "NO_BACKSLASH_ESCAPES");
        query_.Close();

        try {
            const std::vector<std::string> produto = ColumnNames(query_, "produto");
            if (std::none_of(produto.begin(), produto.end(),
                             [](const std::string& name) { return SameText(name, "produto_id"); }))
                problems.push_back("produto has no column produto_id");
        } catch (const std::exception& e) {
            problems.push_back("produto: " + Message(e));
        }
        return true;
    }

    void Branch() {
        json& branch = report["branch"];
        const std::string usa = TConfigSistemaQOR::ReadSetting(settings::kUsaFisLogica);
        logical_ = TConfigSistemaQOR::GetCodLogica();
        branch["logical"] = logical_;
        branch["store_code_source"] = usa == "1" ? "file" : "server";
        if (usa != "1") {
            json& id = report["identification"];
            TConnectionInfo& info = GetConnectionInfo();
            id["host"] = Utf8FromWindows1252(info.GetDatabaseIPAsStored());
            id["database"] = Utf8FromWindows1252(info.GetDatabasename());
            id["user"] = Utf8FromWindows1252(info.GetUsuario());
            try {
                const TIdentificacaoServidor& record = GetIdentificacaoServidor();
                id["record"] = {{"filial_id", record.GetFilialServidor()},
                                {"cnpj_servidor", Utf8FromWindows1252(record.GetCnpjServidor())},
                                {"tipo_servidor", Utf8FromWindows1252(record.GetTipoServidor())}};
            } catch (const std::exception& e) {
                id["error"] = Message(e);
            }
        }
        // Exactly what the run asks for a row it inserts; the record is loaded by now, so
        // nothing further reaches the server.
        try {
            branch["effective"] = Utf8FromWindows1252(TConfigSistemaQOR::GetFilialId());
            branch["store_code"] = Utf8FromWindows1252(TConfigSistemaQOR::GetLojasLeram());
        } catch (const std::exception& e) {
            storeCodeError_ = Message(e);
            branch["error"] = *storeCodeError_;
        }
    }

    void Target(const std::string& table) {
        json& t = report["tables"][table];
        if (!connected_) return;
        std::vector<TUnsetColumn> layout;
        try {
            layout = InsertLayout(query_, table);
        } catch (const std::exception& e) {
            t["error"] = Message(e);
            problems.push_back(table + ": " + Message(e));
            return;
        }
        bool usable = true;
        for (const char* needed : {"produto_id", "filial_id", "lojas_leram"}) {
            const TUnsetColumn* c = Find(layout, needed);
            if (!c) {
                problems.push_back(table + " has no column " + needed);
                usable = false;
            } else if (c->column.generated) {
                problems.push_back(table + "." + needed + " is a generated column: the run cannot set it");
                usable = false;
            }
        }
        if (const TUnsetColumn* c = Find(layout, "lojas_leram");
            c && LowerCase(c->column.type).find("char") == std::string::npos)
            problems.push_back(table + ".lojas_leram is " + LowerCase(c->column.type) +
                               ", not a char or varchar column");

        // What the run's insert carries for every other column, and what the server makes of
        // it, is the data layer's to say (db/ColumnLayout.h); the check only words it.
        json blockers = json::array();
        for (const TUnsetColumn& u : layout) {
            const TColumnInfo& c = u.column;
            if (SameText(c.name, "produto_id") || SameText(c.name, "filial_id") || SameText(c.name, "lojas_leram"))
                continue;
            const std::string column = table + "." + c.name + " (" + LowerCase(c.type) + ")";
            switch (UnsetOutcome(c, u.listed, {strict_, noZeroDate_})) {
                case TUnsetOutcome::Stored:
                    break;
                case TUnsetOutcome::EmptyValue:
                    notes.push_back(table + "." + c.name + " is NOT NULL without a default: each row gets the empty "
                                    "value (0, '' or the zero date)");
                    break;
                case TUnsetOutcome::ImplicitDefault:
                    notes.push_back(column + " is NOT NULL without a default: the server gives each row its "
                                    "implicit default");
                    break;
                case TUnsetOutcome::RefusedLeftOut:
                    blockers.push_back(c.name);
                    problems.push_back(column + " is NOT NULL without a default and the run " +
                                       (c.nameMayBeLost ? "leaves it out (its name may hold characters the latin1 "
                                                          "link cannot carry)"
                                                        : "cannot write its type") +
                                       ": the strict sql_mode refuses every insert");
                    break;
                case TUnsetOutcome::RefusedZeroDate:
                    blockers.push_back(c.name);
                    problems.push_back(column + " is NOT NULL without a default: the strict sql_mode with "
                                       "NO_ZERO_DATE refuses the zero date a run gives it");
                    break;
                case TUnsetOutcome::RefusedEmptyJson:
                    blockers.push_back(c.name);
                    problems.push_back(column + " is a NOT NULL JSON column without a default: the empty text a "
                                       "run gives it is no JSON, so the server refuses every insert");
                    break;
            }
        }
        t["columns_failing_inserts"] = blockers;
        if (!usable) return;

        try {
            query_.SetStatement(CountStatement(table, logical_));
            query_.Open();
            const long long products = std::stoll(query_.GetFieldText("produtos"));
            const long long missing = std::stoll(query_.GetFieldText("faltantes"));
            query_.Close();
            t["products"] = products;
            t["rows_to_insert"] = missing;
            if (missing > 0) anyRowsToInsert_ = true;
        } catch (const std::exception& e) {
            t["error"] = Message(e);
            problems.push_back(table + ": " + Message(e));
        }
    }

public:
    std::optional<std::string> connectionError_;

private:
    const TCheckOptions& options_;
    // Destroyed in reverse: the transaction first, which closes the link, then the query, which
    // frees the result it read through it, then the connection (the layer allows any order).
    TDbConnection conexao_;
    TDbQuery query_{"QCheck", conexao_, false};
    TDbTransaction transacao_{conexao_};
    bool connected_ = false;
    bool strict_ = false;
    bool noZeroDate_ = false;
    int32_t logical_ = 0;
    bool anyRowsToInsert_ = false;
    std::optional<std::string> storeCodeError_;
};

void PrintText(const json& r, const std::vector<std::string>& problems, const std::vector<std::string>& notes,
               std::ostream& out) {
    const json& main = r["main_connection"];
    if (main.contains("host"))
        out << "main connection: " << main["user"].get<std::string>() << "@" << main["host"].get<std::string>()
            << ", database " << main["database"].get<std::string>() << '\n';
    if (main.contains("server_version"))
        out << "  server " << main["server_version"].get<std::string>() << ", sql_mode \""
            << main["sql_mode"].get<std::string>() << "\" (strict: " << (main["strict"].get<bool>() ? "yes" : "no")
            << ", NO_BACKSLASH_ESCAPES: " << (main["no_backslash_escapes"].get<bool>() ? "yes" : "no") << ")\n";
    if (r.contains("identification")) {
        const json& id = r["identification"];
        out << "identification connection: " << id["user"].get<std::string>() << "@" << id["host"].get<std::string>()
            << ", database " << id["database"].get<std::string>() << '\n';
        if (id.contains("record"))
            out << "  record: filial_id " << id["record"]["filial_id"].get<int>() << ", cnpj_servidor \""
                << id["record"]["cnpj_servidor"].get<std::string>() << "\", tipo_servidor \""
                << id["record"]["tipo_servidor"].get<std::string>() << "\"\n";
        else if (id.contains("error"))
            out << "  record: " << id["error"].get<std::string>() << '\n';
    }
    const json& b = r["branch"];
    out << "branch: filial_id " << b["logical"].get<int>() << " (CodLogica); store code from "
        << (b["store_code_source"] == "file" ? "sistema_qor.ini" : "the server's record");
    if (b.contains("store_code"))
        out << ": branch " << b["effective"].get<std::string>() << ", code \"" << b["store_code"].get<std::string>()
            << "\"";
    out << '\n';
    if (r.contains("tables"))
        for (const auto& [name, t] : r["tables"].items()) {
            out << name << ": ";
            if (t.contains("products"))
                out << t["products"].get<long long>() << " products, " << t["rows_to_insert"].get<long long>()
                    << " rows to insert\n";
            else if (t.contains("error"))
                out << t["error"].get<std::string>() << '\n';
            else
                out << "not counted\n";
        }
    for (const std::string& n : notes) out << "note: " << n << '\n';
    if (problems.empty()) {
        out << "a run would succeed\n";
        return;
    }
    out << "a run would not succeed:\n";
    for (const std::string& p : problems) out << "  " << p << '\n';
}

}  // namespace

std::string CountStatement(const std::string& table, int32_t branch) {
    // The FROM of the subquery comes first, so the main connection's query learns only the
    // target table's layout; NOT IN over a non-correlated subquery lets the server build the
    // set of present products once instead of probing per product.
    return "SELECT COUNT(*) AS produtos, COUNT(DISTINCT CASE WHEN p.produto_id NOT IN (SELECT x.produto_id FROM " +
           table + " x WHERE x.filial_id = " + std::to_string(branch) +
           " AND x.produto_id IS NOT NULL) THEN p.produto_id END) AS faltantes FROM produto p";
}

int CheckWorkstation(const TCheckOptions& options, TConsole& console) {
    if (options.table && *options.table != TargetTableFor(0) && *options.table != TargetTableFor(1))
        throw EUsage("--table " + Quoted(*options.table) + ": " + TargetTableFor(0) + " or " + TargetTableFor(1));
    TSettingsDirectory directory(options.directory);
    TChecker checker(options);
    const bool checked = checker.Check();
    MakeTextsUtf8(checker.report);
    for (std::vector<std::string>* texts : {&checker.problems, &checker.notes})
        for (std::string& text : *texts) text = Utf8FromSystemText(text);
    if (checker.connectionError_) checker.connectionError_ = Utf8FromSystemText(*checker.connectionError_);
    if (!checked) {
        if (options.json) {
            checker.report["checked"] = false;
            checker.report["error"] = *checker.connectionError_;
            console.out << checker.report.dump(2) << '\n';
        }
        console.err << "tarvik-admin: cannot check: " << *checker.connectionError_ << '\n';
        return kExitCannotCheck;
    }
    if (options.json) {
        checker.report["checked"] = true;
        checker.report["run_would_succeed"] = checker.problems.empty();
        checker.report["problems"] = checker.problems;
        checker.report["notes"] = checker.notes;
        console.out << checker.report.dump(2) << '\n';
    } else {
        PrintText(checker.report, checker.problems, checker.notes, console.out);
    }
    return checker.problems.empty() ? kExitDone : kExitWrong;
}

}  // namespace tarvik::admin
