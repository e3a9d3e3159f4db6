#include "db/DbQuery.h"

#include <mysql.h>

#include <chrono>

#include "db/DbConnection.h"
#include "db/DbLink.h"
#include "db/FromClause.h"
#include "db/Messages.h"
#include "db/ResultLayout.h"
#include "db/RowSet.h"
#include "db/StatementText.h"
#include "db/ValueText.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"

namespace tarvik {
namespace {

void RequireInserting(TQueryState state, const std::string& query) {
    if (state == TQueryState::Closed) throw EDatabaseError(Format(db_messages::kClosedDataset, query.c_str()));
    if (state != TQueryState::Inserting) throw EDatabaseError(Format(db_messages::kNotEditing, query.c_str()));
}

// The statement as lines, each followed by CR LF.
std::string AsLines(const std::string& text) {
    std::string lines;
    lines.reserve(text.size() + 2);
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.append(text, start, i - start);
        lines += "\r\n";
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) {
        lines.append(text, start, std::string::npos);
        lines += "\r\n";
    }
    return lines;
}

}  // namespace

struct TDbQuery::Impl {
    TQueryState state = TQueryState::Closed;
    uint64_t generation = 0;  // the link's when the query was opened
    std::vector<std::string> tables;
    std::vector<TColumnInfo> columns;  // kept until the statement changes
    std::vector<TField> fields;
    TRowSet rows;
    size_t current = 0;
    bool eof = true;
    std::vector<TEditCell> edit;  // the appended row, while inserting

    void Reset() {
        rows.Clear();
        fields.clear();
        current = 0;
        eof = true;
        edit.clear();
        tables.clear();
        state = TQueryState::Closed;
    }

    TValue Value(size_t index) const {
        TValue v;
        if (state == TQueryState::Inserting) {
            if (const std::optional<std::string>& value = edit[index].value) {
                v.data = value->data();
                v.size = value->size();
                v.null = false;
            }
            return v;
        }
        if (state == TQueryState::Closed || current >= rows.Count()) return v;
        return rows.Value(current, fields[index].column, index, fields.size());
    }

    // The value a field takes from a text, as values are read from a result.
    std::string AsRead(size_t index, std::string_view text) const { return ValueAsRead(fields[index].kind, text); }

    // Keeps the appended row, once inserted, as a row of the row set.
    void KeepEditedRow() {
        // A value the server filled in is not read back: the row keeps it as NULL.
        std::vector<std::optional<std::string>> values;
        values.reserve(edit.size());
        for (TEditCell& cell : edit) values.push_back(std::move(cell.value));
        rows.AppendInserted(values);
        current = rows.Count() - 1;
        eof = false;
        edit.clear();
        state = TQueryState::Browsing;
    }
};

TDbQuery::TDbQuery(std::string name, TDbConnection& connection, bool requestLive)
    : name_(std::move(name)), requestLive_(requestLive), link_(connection.Link()), impl_(std::make_unique<Impl>()) {}

TDbQuery::~TDbQuery() = default;

bool TDbQuery::Stale() const {
    return impl_->state != TQueryState::Closed && impl_->generation != link_->Generation();
}

TDbQuery::Impl& TDbQuery::Current() {
    // The result came through a link that has closed since: the query is closed.
    if (Stale()) impl_->Reset();
    return *impl_;
}

TQueryState TDbQuery::State() const { return Stale() ? TQueryState::Closed : impl_->state; }

void TDbQuery::SetStatement(const std::string& text) {
    Close();
    impl_->tables.clear();
    impl_->columns.clear();
    statement_ = AsLines(text);
}

void TDbQuery::Open() {
    if (Active()) return;
    TWaitCursor cursor;
    if (!link_->connectionAlive) throw EDatabaseError(db_messages::kNoDatabaseComponent);
    if (link_->transactions == 0) throw EDatabaseError(db_messages::kNoTransactionComponent);
    link_->Activate();

    Impl& q = Current();
    q.generation = link_->Generation();
    TDbLink& link = *link_;
    try {
        // The first answers of a link may show that the server reads it in another character set
        // than latin1; the link is then switched to latin1 and everything is read again, once.
        for (;;) {
            bool readAgain = false;
            if (BeginsWithSelect(statement_)) {
                q.tables = FromClauseTables(statement_);
                if (q.columns.empty()) {
                    // A table the server will not describe is read by the result's own description.
                    for (const std::string& table : q.tables) {
                        if (link.Send("SHOW COLUMNS FROM " + table)) {
                            if (const TResultHandle answer = link.StoreResult()) {
                                readAgain = link.SettleCharacterSet(answer.get());
                                if (readAgain) break;
                                LearnColumns(table, answer.get(), q.columns);
                            }
                        }
                        // Sent as it always was, so that the statements on the wire stay the same; no
                        // key in its answer is used.
                        if (link.Send("SHOW INDEX FROM " + table)) link.StoreResult();
                    }
                }
            }
            if (!readAgain) {
                if (Trim(statement_).empty()) throw EDatabaseError(db_messages::kEmptyQuery);

                TResultHandle result;
                const auto sent = std::chrono::steady_clock::now();
                if (link.Send(statement_)) result = link.StoreResult();
                if (!result) {
                    const std::string error = link.ErrorText();
                    link.NoteFailure(sent);
                    if (!error.empty()) throw EDatabaseError(error, link.ErrorNumber(), link.SqlState());
                }
                readAgain = link.SettleCharacterSet(result.get());
                if (!readAgain) {
                    const unsigned columns = result ? mysql_num_fields(result.get()) : 0;
                    q.rows.Adopt(std::move(result), columns);
                    break;
                }
            }
            q.columns.clear();
        }
        if (q.rows.Columns() > 0) q.fields = BindFields(q.rows.Result(), q.rows.Columns(), q.columns);
        q.eof = !q.rows.FetchNext();
        q.current = 0;
        q.state = TQueryState::Browsing;
    } catch (...) {
        q.Reset();
        throw;
    }
}

void TDbQuery::Close() {
    Impl& q = Current();
    if (q.state == TQueryState::Closed) return;
    TWaitCursor cursor;
    q.Reset();
}

int TDbQuery::RowCount() {
    Impl& q = Current();
    if (q.state == TQueryState::Closed) return 0;
    if (q.rows.MoreToFetch()) {
        TWaitCursor cursor;
        q.rows.FetchAll();
    }
    return static_cast<int>(q.rows.Count());
}

unsigned TDbQuery::ColumnCount() const { return State() == TQueryState::Closed ? 0 : impl_->rows.Columns(); }

bool TDbQuery::AtEnd() const { return State() == TQueryState::Closed || impl_->eof; }

bool TDbQuery::NoRows() const {
    if (Stale()) return true;  // its rows went with the link
    if (impl_->state == TQueryState::Inserting) return false;
    return impl_->rows.Count() == 0;
}

void TDbQuery::MoveNext() {
    Impl& q = Current();
    if (q.state == TQueryState::Closed) throw EDatabaseError(Format(db_messages::kClosedDataset, name_.c_str()));
    if (q.state == TQueryState::Inserting) PostRow();
    if (q.current + 1 < q.rows.Count() || q.rows.FetchNext()) {
        ++q.current;
        q.eof = false;
    } else {
        q.eof = true;
    }
}

std::string TDbQuery::GetFieldText(const std::string& field) {
    const Impl& q = Current();
    const size_t index = FindField(q.fields, field, name_);
    const TValue value = q.Value(index);
    if (value.null) return std::string();
    // A number too large for an integer field keeps its own digits rather than turning into "0".
    return q.AsRead(index, value.View());
}

int32_t TDbQuery::GetFieldInteger(const std::string& field) {
    const Impl& q = Current();
    const size_t index = FindField(q.fields, field, name_);
    const TValue value = q.Value(index);
    if (value.null) return 0;
    return IntegerOfValue(q.fields[index].kind, value.View());
}

std::vector<TUnsetColumn> TDbQuery::InsertLayout() const {
    const Impl& q = *impl_;
    if (Stale() || q.tables.empty()) return {};
    return UnsetColumns(q.tables.front(), q.columns, q.fields);
}

void TDbQuery::AppendRow() {
    Impl& q = Current();
    if (q.state == TQueryState::Closed) throw EDatabaseError(Format(db_messages::kClosedDataset, name_.c_str()));
    if (!requestLive_) throw EDatabaseError(Format(db_messages::kReadOnlyDataset, name_.c_str()));
    if (q.state == TQueryState::Inserting) PostRow();
    q.edit = NewRow(q.fields, q.columns);
    q.state = TQueryState::Inserting;
}

void TDbQuery::SetFieldInteger(const std::string& field, int32_t value) {
    Impl& q = Current();
    const size_t index = FindField(q.fields, field, name_);
    RequireInserting(q.state, name_);
    const TField& f = q.fields[index];
    q.edit[index] = {ValueOfSetInteger(f.kind, value, f.name), false, true};
}

void TDbQuery::SetFieldText(const std::string& field, const std::string& value) {
    Impl& q = Current();
    const size_t index = FindField(q.fields, field, name_);
    RequireInserting(q.state, name_);
    const TField& f = q.fields[index];
    // Set even when the text is refused: the caller meant the field to carry a value.
    q.edit[index].serverDefault = false;
    q.edit[index].set = true;
    q.edit[index].value = ValueOfSetText(f.kind, value, f.name);
}

void TDbQuery::PostRow() {
    Impl& q = Current();
    if (q.state == TQueryState::Closed) throw EDatabaseError(Format(db_messages::kClosedDataset, name_.c_str()));
    if (q.state != TQueryState::Inserting) return;
    if (link_->transactions == 0) throw EDatabaseError(db_messages::kNoTransactionComponent);

    const std::string table = q.tables.empty() ? std::string() : q.tables.front();
    const TRowInsert insert = BuildRowInsert(table, q.fields, q.columns, q.edit, name_, link_->Quoting());
    link_->Execute(insert.statement, name_);

    if (insert.autoIncrementField >= 0) {
        const size_t index = static_cast<size_t>(insert.autoIncrementField);
        if (!q.edit[index].value) {
            try {
                q.edit[index].value = q.AsRead(index, link_->Evaluate("LAST_INSERT_ID()"));
            } catch (const Exception&) {
                // The row is in the table; only its number stays unknown here.
            }
        }
    }
    q.KeepEditedRow();
}

std::string TDbQuery::TakeAppendedRowInsert() {
    Impl& q = Current();
    RequireInserting(q.state, name_);
    if (link_->transactions == 0) throw EDatabaseError(db_messages::kNoTransactionComponent);
    const std::string table = q.tables.empty() ? std::string() : q.tables.front();
    std::string statement = BuildRowInsert(table, q.fields, q.columns, q.edit, name_, link_->Quoting()).statement;
    q.KeepEditedRow();
    return statement;
}

}  // namespace tarvik
