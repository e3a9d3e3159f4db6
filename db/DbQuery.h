#pragma once
// A query of the main connection: a SELECT whose whole result is stored on the client and read
// row by row; a live query also takes appended rows, which it inserts into its first table.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/ColumnLayout.h"

namespace tarvik {

class TDbConnection;

// A column of the table that an appended row goes into, and what an insert carries for it
// while nobody sets it.
struct TUnsetColumn {
    TColumnInfo column;
    bool listed = false;  // the insert names it (it has a field); otherwise it is left out
    TInitialValue initial;
};
class TDbTransaction;

enum class TQueryState { Closed, Browsing, Inserting };

class TDbQuery {
public:
    // The connection must exist already; the transaction may be made after the query.
    TDbQuery(std::string name, TDbConnection& connection, TDbTransaction& transaction, bool requestLive);
    ~TDbQuery();  // frees what the query holds; never talks to the server
    TDbQuery(const TDbQuery&) = delete;
    TDbQuery& operator=(const TDbQuery&) = delete;

    const std::string& Name() const { return name_; }
    bool RequestLive() const { return requestLive_; }
    TQueryState State() const;
    bool Active() const { return State() != TQueryState::Closed; }

    // Closes the query and forgets its tables' layout, also when the text is the same as before.
    // The text is kept as lines, each followed by CR LF.
    void SetStatement(const std::string& text);
    const std::string& Statement() const { return statement_; }

    // Learns the layout of the FROM clause's tables (once per statement), runs the statement,
    // stores its whole result and makes the first row current. Does nothing when open.
    void Open();
    // Frees the result and the rows; sends nothing.
    void Close();

    int RowCount();        // copies every remaining row of the result; the number of rows
    bool AtEnd() const;    // no row, or MoveNext was called on the last row
    void MoveNext();
    bool NoRows() const;   // the open query has no row at all

    // Field names are compared without regard to letter case.
    std::string GetFieldText(const std::string& field);
    int32_t GetFieldInteger(const std::string& field);

    // Every learned column of the first table of the FROM clause, in the server's order, with
    // what PostRow would send for it if the run set nothing: the one place that decides it.
    // Meaningful while the query is open.
    std::vector<TUnsetColumn> InsertLayout() const;

    void AppendRow();
    void SetFieldInteger(const std::string& field, int32_t value);
    void SetFieldText(const std::string& field, const std::string& value);
    // Inserts the appended row into the first table of the FROM clause through the transaction.
    void PostRow();
    // The INSERT that PostRow would send for the appended row, byte for byte (before the link's
    // sending rule), without sending it; the row is then kept as PostRow keeps it. For a caller
    // that sends the statement itself (a run in flights), and so takes on reporting its outcome.
    std::string TakeAppendedRowInsert();

private:
    friend class TDbConnection;
    friend class TDbTransaction;
    struct Impl;

    // Closes without the wait cursor and without the server, for a transaction whose link goes.
    void Release();
    // The appended row's INSERT text; `autoIncrementField` is the field of the table's
    // auto-increment column, -1 when it has none.
    std::string AppendedRowInsert(int& autoIncrementField) const;
    void Detach();

    std::string name_;
    bool requestLive_;
    std::string statement_;
    TDbConnection* connection_;
    TDbTransaction* transaction_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarvik
