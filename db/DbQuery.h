#pragma once
// A query of the main connection: a SELECT whose whole result is stored on the client and read
// row by row; a live query also takes appended rows, which it inserts into its first table.
// It reads and inserts through its connection's link, which the connection's transaction opens.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/AppendedRow.h"

namespace tarvik {

class TDbConnection;
class TDbLink;

enum class TQueryState { Closed, Browsing, Inserting };

class TDbQuery {
public:
    // The transaction may be made after the query: it is needed from the first Open on.
    TDbQuery(std::string name, TDbConnection& connection, bool requestLive);
    ~TDbQuery();  // frees what the query holds; never talks to the server
    TDbQuery(const TDbQuery&) = delete;
    TDbQuery& operator=(const TDbQuery&) = delete;

    const std::string& Name() const { return name_; }
    bool RequestLive() const { return requestLive_; }
    // Closed also once the link it was opened through has closed.
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
    unsigned ColumnCount() const;  // the columns of the open query's result, 0 when closed
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
    struct Impl;

    // The query as it stands: what it read through a link that has closed since is let go.
    Impl& Current();
    bool Stale() const;

    std::string name_;
    bool requestLive_;
    std::string statement_;
    std::shared_ptr<TDbLink> link_;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarvik
