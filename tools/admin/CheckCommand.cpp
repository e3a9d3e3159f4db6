#include "tools/admin/CheckCommand.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <ostream>

#include "client/Session.h"
#include "db/ColumnLayout.h"
#include "db/DbConnection.h"
#include "db/DbLink.h"
#include "db/DbQuery.h"
#include "identification/UConnectionInfoClass.h"
#include "identification/UDao.h"
#include "identification/UIdentificacaoServidorClass.h"
#include "platform/Errors.h"
#include "platform/HostLookup.h"
#include "platform/Text.h"
#include "run/GenerationRun.h"
#include "run/FlightRun.h"
#include "run/MainConnection.h"
#include "run/RunLock.h"
#include "settings/UConfigSistemaQOR.h"
#include "tools/admin/ExitStatus.h"
#include "tools/admin/FailureKind.h"
#include "tools/admin/Files.h"
#include "tools/admin/Messages.h"
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

std::string Utf8(const std::string& text) { return Utf8FromWindows1252(text); }

class TNoHistoryFile {
public:
    TNoHistoryFile() { SetHistoryFileLeft(false); }
    ~TNoHistoryFile() { SetHistoryFileLeft(true); }
    TNoHistoryFile(const TNoHistoryFile&) = delete;
    TNoHistoryFile& operator=(const TNoHistoryFile&) = delete;
};

class TChecker {
public:
    explicit TChecker(const std::optional<std::string>& table) : table_(table) {}

    TCheckReport report;

    void Check() {
        report.checked = MainConnection();
        if (!report.checked) return;
        Branch();
        Link();
        for (const std::string& table : Tables()) {
            Target(table);
            RunLock(table);
            Estimate(table);
        }
        // The store code is only asked for a row that is inserted.
        const std::optional<std::string>& storeCodeError = report.branch.error;
        if (storeCodeError && anyRowsToInsert_)
            AddProblem(storeCodeErrorKind_, Fill(admin_messages::kRunStopsWith, {*storeCodeError}));
        else if (storeCodeError)
            report.notes.push_back(Fill(admin_messages::kStoreCodeNotNeeded, {*storeCodeError}));
    }

private:
    // One reason a run would not succeed, and its kind (tools/admin/FailureKind.h).
    void AddProblem(const std::string& kind, std::string text) {
        report.problems.push_back(std::move(text));
        report.problemKinds.push_back(kind);
    }

    // A link that asked for TLS and is open without it fails the check, whatever else went well
    // (the session refuses such a link already; a link that verifies is verified once open).
    void RequireVerified(TTlsMode asked, const TLinkSecurity& security, const char* link) {
        if (asked != TTlsMode::None && !security.encrypted)
            AddProblem(failure_kinds::kTls, Fill(admin_messages::kLinkNotAsAsked, {link, TlsModeName(asked)}));
    }

    std::vector<std::string> Tables() const {
        if (table_) return {*table_};
        return {TargetTableFor(0), TargetTableFor(1)};
    }

    std::string ConnectionFailure(const std::exception& e) const {
        return Fill(admin_messages::kMainConnectionFailed,
                    {conexao_.Login(), conexao_.Host(), conexao_.Database(), Message(e)});
    }

    // False when the check itself could not be made.
    bool MainConnection() {
        TCheckMainConnection& main = report.mainConnection;
        SetDesignTimeValues(conexao_);
        try {
            ApplyConnectionSettings(conexao_);
        } catch (const std::exception& e) {
            AddProblem(failure_kinds::kSettings, Fill(admin_messages::kPasswordUnusable,
                                                      {TConfigSistemaQOR::kFileName, settings::kIpSenha.section,
                                                       settings::kIpSenha.key, Message(e)}));
            main.error = Message(e);
            return true;
        }
        main.settingsApplied = true;
        main.host = Utf8(conexao_.Host());
        main.database = Utf8(conexao_.Database());
        main.user = Utf8(conexao_.Login());
        main.tlsAsked = conexao_.Tls().mode;
        try {
            query_.SetStatement("SELECT VERSION() AS versao, @@SESSION.sql_mode AS modo");
            query_.Open();
        } catch (const EDatabaseError& e) {
            main.error = Message(e);
            if (IsTlsRefusal(e.Message())) {
                // No statement went over the link: a set-up fault (the settings or the server's
                // certificate), not a check that could not be made.
                AddProblem(failure_kinds::kTls, Message(e));  // it names the link already
                return true;
            }
            if (!RefusedBySettings(e)) {
                report.error = ConnectionFailure(e);
                report.errorKind = FailureKind(e, transacao_.TimedOut());
                return false;
            }
            // The server answered and refused what the settings say: that is the set-up's fault.
            AddProblem(FailureKind(e, false), ConnectionFailure(e));
            return true;
        } catch (const std::exception& e) {
            main.error = Message(e);
            report.error = ConnectionFailure(e);
            report.errorKind = FailureKind(e, transacao_.TimedOut());
            return false;
        }
        connected_ = true;
        main.security = conexao_.Link()->Security();
        RequireVerified(main.tlsAsked, *main.security, admin_messages::kMainLink);
        const std::string mode = query_.GetFieldText("modo");
        strict_ = Contains(mode, "STRICT_TRANS_TABLES") || Contains(mode, "STRICT_ALL_TABLES");
        noZeroDate_ = Contains(mode, "NO_ZERO_DATE");
        main.server = TCheckServer{Utf8(query_.GetFieldText("versao")), Utf8(mode), strict_,
                                   Contains(mode, "NO_BACKSLASH_ESCAPES")};
        query_.Close();

        try {
            const std::vector<std::string> produto = ColumnNames(query_, "produto");
            if (std::none_of(produto.begin(), produto.end(),
                             [](const std::string& name) { return SameText(name, "produto_id"); }))
                AddProblem(failure_kinds::kMissingColumn, Fill(admin_messages::kNoColumn, {"produto", "produto_id"}));
        } catch (const std::exception& e) {
            AddProblem(FailureKind(e, transacao_.TimedOut()), Fill(admin_messages::kTableFailed, {"produto", Message(e)}));
        }
        return true;
    }

    void Branch() {
        TCheckBranch& branch = report.branch;
        branch.storeCodeFromFile = TConfigSistemaQOR::UsesLogicalBranch();
        logical_ = TConfigSistemaQOR::GetCodLogica();
        branch.logical = logical_;
        if (!branch.storeCodeFromFile) {
            TCheckIdentification& id = report.identification.emplace();
            TConnectionInfo& info = GetConnectionInfo();
            id.host = Utf8(info.GetDatabaseIPAsStored());
            id.database = Utf8(info.GetDatabasename());
            id.user = Utf8(info.GetUsuario());
            id.tlsAsked = info.GetTls().mode;
            try {
                const TIdentificacaoServidor& record = GetIdentificacaoServidor();
                id.record = TCheckRecord{record.GetFilialServidor(), Utf8(record.GetCnpjServidor()),
                                         Utf8(record.GetTipoServidor())};
            } catch (const std::exception& e) {
                id.error = Message(e);
                if (IsTlsRefusal(e.what())) AddProblem(failure_kinds::kTls, Message(e));
            }
            if (info.HasConnection()) {
                id.security = info.GetConnection().Security();
                RequireVerified(id.tlsAsked, *id.security, admin_messages::kIdentificationLink);
            }
        }
        // Exactly what the run asks for a row it inserts; the record is loaded by now, so
        // nothing further reaches the server.
        try {
            branch.effective = Utf8(TConfigSistemaQOR::GetFilialId());
            branch.storeCode = Utf8(TConfigSistemaQOR::GetLojasLeram());
        } catch (const std::exception& e) {
            branch.error = Message(e);
            storeCodeErrorKind_ = FailureKind(e, false);
        }
    }

    // A few pings on the open link: what every statement of a run pays on top of its work.
    void Link() {
        if (!connected_) return;
        constexpr int kPings = 5;
        std::vector<double> times;
        try {
            for (int i = 0; i < kPings; ++i) {
                const auto start = std::chrono::steady_clock::now();
                transacao_.EvaluateExpression("1");
                times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                                    .count());
            }
        } catch (const std::exception&) {
            return;  // the link's trouble shows in what follows
        }
        std::sort(times.begin(), times.end());
        report.link = TCheckLink{times[times.size() / 2], kPings};
    }

    void RunLock(const std::string& table) {
        TCheckTable& t = report.tables[table];
        if (!connected_) return;
        t.runLock = RunLockName(conexao_.Database(), table, logical_);
        try {
            const std::string holder = RunLockHolder(transacao_, t.runLock);
            if (holder.empty()) return;
            t.runLockHolder = holder;
            AddProblem(failure_kinds::kLockHeld, Fill(admin_messages::kRunLockHeld, {table, t.runLock, holder}));
        } catch (const std::exception& e) {
            AddProblem(FailureKind(e, transacao_.TimedOut()), Fill(admin_messages::kTableFailed, {table, Message(e)}));
        }
    }

    // The run's own work on this server is not known before it runs; these are the figures of
    // the loopback benchmarks on an idle machine (2 cores, MariaDB 10.11), to which the link adds
    // its round trips: three per product and one per insert one at a time; in flights one per
    // flight, and one more for the last flight's INSERTs.
    void Estimate(const std::string& table) {
        TCheckTable& t = report.tables[table];
        if (!report.link || !t.products || !t.rowsToInsert) return;
        constexpr double kWindowWorkMs = 0.5, kFlightsWorkMs = 0.05;
        const double rtt = report.link->roundTripMs;
        const double products = static_cast<double>(*t.products);
        const double flights = std::ceil(products / static_cast<double>(TFlightLimits{}.products));
        t.windowSeconds = (products * (kWindowWorkMs + 3 * rtt) + static_cast<double>(*t.rowsToInsert) * rtt) / 1000;
        t.toolSeconds = (products * kFlightsWorkMs + (flights + 1) * rtt) / 1000;
    }

    void Target(const std::string& table) {
        TCheckTable& t = report.tables[table];
        if (!connected_) return;
        t.examined = true;
        std::vector<TUnsetColumn> layout;
        try {
            layout = InsertLayout(query_, table);
        } catch (const std::exception& e) {
            t.error = Message(e);
            AddProblem(FailureKind(e, transacao_.TimedOut()), Fill(admin_messages::kTableFailed, {table, Message(e)}));
            return;
        }
        bool usable = true;
        for (const char* needed : {"produto_id", "filial_id", "lojas_leram"}) {
            const TUnsetColumn* c = Find(layout, needed);
            if (!c) {
                AddProblem(failure_kinds::kMissingColumn, Fill(admin_messages::kNoColumn, {table, needed}));
                usable = false;
            } else if (c->column.generated) {
                AddProblem(failure_kinds::kInsertRefused, Fill(admin_messages::kGeneratedColumn, {table, needed}));
                usable = false;
            }
        }
        if (const TUnsetColumn* c = Find(layout, "lojas_leram");
            c && LowerCase(c->column.type).find("char") == std::string::npos)
            AddProblem(failure_kinds::kInsertRefused,
                       Fill(admin_messages::kNotACharColumn, {table, "lojas_leram", LowerCase(c->column.type)}));

        // What the run's insert carries for every other column, and what the server makes of
        // it, is the data layer's to say (db/ColumnLayout.h); the check only words it.
        std::vector<std::string>& blockers = t.columnsFailingInserts.emplace();
        for (const TUnsetColumn& u : layout) {
            const TColumnInfo& c = u.column;
            if (SameText(c.name, "produto_id") || SameText(c.name, "filial_id") || SameText(c.name, "lojas_leram"))
                continue;
            const std::string column = Fill(admin_messages::kColumn, {table, c.name, LowerCase(c.type)});
            switch (UnsetOutcome(c, u.listed, {strict_, noZeroDate_})) {
                case TUnsetOutcome::Stored:
                    break;
                case TUnsetOutcome::EmptyValue:
                    report.notes.push_back(Fill(admin_messages::kEmptyValue, {table, c.name}));
                    break;
                case TUnsetOutcome::ImplicitDefault:
                    report.notes.push_back(Fill(admin_messages::kImplicitDefault, {column}));
                    break;
                case TUnsetOutcome::RefusedLeftOut:
                    blockers.push_back(Utf8FromSystemText(c.name));
                    AddProblem(failure_kinds::kInsertRefused,
                               Fill(admin_messages::kRefusedLeftOut,
                                    {column, c.nameMayBeLost ? admin_messages::kNameMayBeLost
                                                             : admin_messages::kTypeNotWritten}));
                    break;
                case TUnsetOutcome::RefusedZeroDate:
                    blockers.push_back(Utf8FromSystemText(c.name));
                    AddProblem(failure_kinds::kInsertRefused, Fill(admin_messages::kRefusedZeroDate, {column}));
                    break;
                case TUnsetOutcome::RefusedEmptyJson:
                    blockers.push_back(Utf8FromSystemText(c.name));
                    AddProblem(failure_kinds::kInsertRefused, Fill(admin_messages::kRefusedEmptyJson, {column}));
                    break;
            }
        }
        if (!usable) return;

        try {
            query_.SetStatement(CountStatement(table, logical_));
            query_.Open();
            const long long products = std::stoll(query_.GetFieldText("produtos"));
            const long long missing = std::stoll(query_.GetFieldText("faltantes"));
            query_.Close();
            t.products = products;
            t.rowsToInsert = missing;
            if (missing > 0) anyRowsToInsert_ = true;
        } catch (const std::exception& e) {
            t.error = Message(e);
            AddProblem(FailureKind(e, transacao_.TimedOut()), Fill(admin_messages::kTableFailed, {table, Message(e)}));
        }
    }

    const std::optional<std::string>& table_;
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
    std::string storeCodeErrorKind_ = failure_kinds::kOther;
};

// What a link asked for and, once open, what it is: {"asked", "encrypted", "version", "cipher",
// "verified"}; the last four null while it was not opened.
json TlsJson(TTlsMode asked, const std::optional<TLinkSecurity>& security) {
    json tls = {{"asked", asked == TTlsMode::None ? "none" : TlsModeName(asked)},
                {"encrypted", nullptr}, {"version", nullptr}, {"cipher", nullptr}, {"verified", nullptr}};
    if (!security) return tls;
    tls["encrypted"] = security->encrypted;
    tls["verified"] = security->verified;
    if (security->encrypted) {
        tls["version"] = security->version;
        tls["cipher"] = security->cipher;
    }
    return tls;
}

// "  encrypted: TLSv1.3, cipher X, server certificate verified", or "  in clear (no TLS)".
std::string TlsShown(const std::optional<TLinkSecurity>& security) {
    using namespace admin_messages;
    if (!security) return std::string();
    if (!security->encrypted) return kInClearShown;
    return Fill(kTlsShown, {security->version.empty() ? kNotTold : security->version,
                            security->cipher.empty() ? kNotTold : security->cipher,
                            security->verified ? kVerified : kNotVerified});
}

json ToJson(const TCheckReport& r) {
    json report = json::object();
    const TCheckMainConnection& m = r.mainConnection;
    json& main = report["main_connection"];
    if (m.settingsApplied) main.update({{"host", m.host}, {"database", m.database}, {"user", m.user}});
    if (m.server)
        main.update({{"server_version", m.server->version},
                     {"sql_mode", m.server->sqlMode},
                     {"strict", m.server->strict},
                     {"no_backslash_escapes", m.server->noBackslashEscapes}});
    if (m.error) main["error"] = *m.error;
    if (m.settingsApplied) main["tls"] = TlsJson(m.tlsAsked, m.security);
    if (!r.checked) {
        report["checked"] = false;
        report["error"] = r.error;
        report["error_kind"] = r.errorKind;
        return report;
    }

    const TCheckBranch& b = r.branch;
    json& branch = report["branch"];
    branch["logical"] = b.logical;
    branch["store_code_source"] = b.storeCodeFromFile ? "file" : "server";
    if (b.effective) branch["effective"] = *b.effective;
    if (b.storeCode) branch["store_code"] = *b.storeCode;
    if (b.error) branch["error"] = *b.error;
    if (r.identification) {
        const TCheckIdentification& i = *r.identification;
        json& id = report["identification"];
        id.update({{"host", i.host}, {"database", i.database}, {"user", i.user}});
        if (i.record)
            id["record"] = {{"filial_id", i.record->filialId},
                            {"cnpj_servidor", i.record->cnpjServidor},
                            {"tipo_servidor", i.record->tipoServidor}};
        if (i.error) id["error"] = *i.error;
        id["tls"] = TlsJson(i.tlsAsked, i.security);
    }
    for (const auto& [name, t] : r.tables) {
        json& table = report["tables"][name];
        if (!t.examined) continue;  // stays null
        table = json::object();
        if (t.columnsFailingInserts) table["columns_failing_inserts"] = *t.columnsFailingInserts;
        if (t.products) table["products"] = *t.products;
        if (t.rowsToInsert) table["rows_to_insert"] = *t.rowsToInsert;
        if (t.error) table["error"] = *t.error;
        table["run_lock"] = {{"name", t.runLock}, {"holder", t.runLockHolder ? json(*t.runLockHolder) : json()}};
        if (t.windowSeconds)
            table["estimated_seconds"] = {{"window", *t.windowSeconds}, {"tarvik_admin_run", *t.toolSeconds}};
    }
    if (r.link) report["link"] = {{"round_trip_ms", r.link->roundTripMs}, {"pings", r.link->pings}};
    report["checked"] = true;
    report["run_would_succeed"] = r.RunWouldSucceed();
    report["problems"] = r.problems;
    json reasons = json::array();
    for (size_t i = 0; i < r.problems.size(); ++i)
        reasons.push_back({{"kind", i < r.problemKinds.size() ? r.problemKinds[i] : failure_kinds::kOther},
                           {"message", r.problems[i]}});
    report["reasons"] = reasons;
    report["notes"] = r.notes;
    return report;
}

std::string Decimal(double value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

// "0:07", "1:05:00": minutes and seconds, hours when it takes them.
std::string Duration(double seconds) {
    const long long s = std::llround(std::max(seconds, 1.0));
    char text[32];
    if (s >= 3600) std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    return text;
}

void PrintText(const TCheckReport& r, std::ostream& out) {
    using namespace admin_messages;
    const TCheckMainConnection& m = r.mainConnection;
    if (m.settingsApplied) out << Fill(kMainConnectionShown, {m.user, m.host, m.database});
    if (m.server)
        out << Fill(kServerShown, {m.server->version, m.server->sqlMode, m.server->strict ? kYes : kNo,
                                   m.server->noBackslashEscapes ? kYes : kNo});
    out << TlsShown(m.security);
    if (r.link) out << Fill(kRoundTripShown, {Decimal(r.link->roundTripMs, 2), std::to_string(r.link->pings)});
    if (r.identification) {
        const TCheckIdentification& id = *r.identification;
        out << Fill(kIdentificationShown, {id.user, id.host, id.database});
        out << TlsShown(id.security);
        if (id.record)
            out << Fill(kRecordShown,
                        {std::to_string(id.record->filialId), id.record->cnpjServidor, id.record->tipoServidor});
        else if (id.error)
            out << Fill(kRecordFailedShown, {*id.error});
    }
    const TCheckBranch& b = r.branch;
    out << Fill(kBranchShown,
                {std::to_string(b.logical), b.storeCodeFromFile ? TConfigSistemaQOR::kFileName : kServerRecord});
    if (b.storeCode) out << Fill(kStoreCodeShown, {*b.effective, *b.storeCode});
    out << '\n';
    for (const auto& [name, t] : r.tables) {
        if (t.products) {
            out << Fill(kTableCountedShown, {name, std::to_string(*t.products), std::to_string(*t.rowsToInsert)});
            if (t.windowSeconds) out << Fill(kEstimateShown, {Duration(*t.windowSeconds), Duration(*t.toolSeconds)});
        } else if (t.error)
            out << Fill(kTableFailedShown, {name, *t.error});
        else
            out << Fill(kTableNotCountedShown, {name});
    }
    for (const std::string& n : r.notes) out << Fill(kNoteShown, {n});
    if (r.RunWouldSucceed()) {
        out << kRunWouldSucceed;
        return;
    }
    out << kRunWouldNotSucceed;
    for (const std::string& p : r.problems) out << Fill(kProblemShown, {p});
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

TCheckReport CheckSettings(const std::optional<std::string>& table) {
    TChecker checker(table);
    checker.Check();
    // The reasons gather texts decoded where they were read with names the server gave as
    // they came (the link's latin1 bytes).
    TCheckReport& report = checker.report;
    for (std::vector<std::string>* texts : {&report.problems, &report.notes})
        for (std::string& text : *texts) text = Utf8FromSystemText(text);
    report.error = Utf8FromSystemText(report.error);
    return report;
}

CLI::App* AddCheckOptions(CLI::App& app, TCheckOptions& options) {
    CLI::App* command = app.add_subcommand("check", admin_messages::kCheckHelp);
    command->add_option("DIR", options.directory, admin_messages::kDirectoryHelp)->required();
    command->add_flag("--json", options.json, admin_messages::kJsonHelp);
    command->add_option("--table", options.table,
                        Fill(admin_messages::kCheckTableHelp, {TargetTableFor(0), TargetTableFor(1)}));
    return command;
}

int CheckWorkstation(const TCheckOptions& options, TConsole& console) {
    if (options.table && *options.table != TargetTableFor(0) && *options.table != TargetTableFor(1))
        throw EUsage(Fill(admin_messages::kBadTable, {Quoted(*options.table), TargetTableFor(0), TargetTableFor(1)}));
    TSettingsDirectory directory(options.directory);
    // check only reads: the address lookup of a "localhost" identification host leaves no
    // iphist.dat in the administrator's directory (the window and run still do).
    const TNoHistoryFile noHistoryFile;
    const TCheckReport report = CheckSettings(options.table);
    if (options.json) console.out << ToJson(report).dump(2) << '\n';
    if (!report.checked) {
        console.err << Fill(admin_messages::kCannotCheck, {report.error});
        return kExitCannotCheck;
    }
    if (!options.json) PrintText(report, console.out);
    return report.RunWouldSucceed() ? kExitDone : kExitWrong;
}

}  // namespace tarvik::admin
