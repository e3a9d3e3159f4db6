#include "db/DbQuery.h"

#include <mysql.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "db/ColumnKinds.h"
#include "db/ColumnLayout.h"
#include "db/DbConnection.h"
#include "db/FromClause.h"
#include "db/InsertStatement.h"
#include "db/Messages.h"
#include "db/StatementText.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Text.h"
#include "platform/WaitCursor.h"

namespace tarvik {
namespace {

struct TKeyInfo {
    std::string table;
    std::string keyName;
    std::string column;
    bool unique = false;
    bool primary = false;
    bool ascending = false;
};

struct TField {
    std::string name;
    unsigned column = 0;  // index of the result column
    TColumnKind kind;
    int info = -1;  // index of the learned column, -1 when the server did not describe it
};

// One row of the row set. A row copied from the stored result points into it (the result keeps
// the bytes, we keep their lengths); a row this query inserted keeps its values in the query's
// own buffer. Either way a row costs a few bytes beside its values.
struct TRowRef {
    MYSQL_ROW stored;  // nullptr for an inserted row
    uint32_t slot;     // stored: index of its lengths; inserted: index of its cells
    bool inserted;
};

struct TCell {
    uint64_t offset;
    uint32_t length;
};
constexpr uint32_t kNullCell = UINT32_MAX;

// A field of the appended row: its value, whether the server fills it in (DEFAULT), and
// whether the caller set it, which makes it a value the insert must never leave out.
struct TEditCell {
    std::optional<std::string> value;
    bool serverDefault = false;
    bool set = false;
};

struct TValue {
    const char* data = nullptr;
    size_t size = 0;
    bool null = true;

    std::string_view View() const { return null ? std::string_view() : std::string_view(data, size); }
};


std::string_view ColumnText(MYSQL_ROW row, const unsigned long* lengths, unsigned columns, unsigned i) {
    if (i >= columns || !row[i]) return {};
    return std::string_view(row[i], lengths[i]);
}

TColumnKind KindFromResultColumn(const MYSQL_FIELD& field) {
    switch (field.type) {
        case MYSQL_TYPE_DECIMAL:
        case MYSQL_TYPE_NEWDECIMAL:  // what servers send for DECIMAL columns
        case MYSQL_TYPE_FLOAT:
        case MYSQL_TYPE_DOUBLE:
            return {TFieldKind::Float, 0};
        case MYSQL_TYPE_TINY:
        case MYSQL_TYPE_SHORT:
        case MYSQL_TYPE_LONG:
        case MYSQL_TYPE_INT24:
        case MYSQL_TYPE_YEAR:
            return {TFieldKind::Integer, 0};
        case MYSQL_TYPE_LONGLONG:
            return {TFieldKind::LargeInt, 0};
        case MYSQL_TYPE_DATE:
        case MYSQL_TYPE_NEWDATE:
            return {TFieldKind::Date, 0};
        case MYSQL_TYPE_TIME:
            return {TFieldKind::Time, 0};
        case MYSQL_TYPE_DATETIME:
            return {TFieldKind::DateTime, 0};
        case MYSQL_TYPE_TINY_BLOB:
        case MYSQL_TYPE_MEDIUM_BLOB:
        case MYSQL_TYPE_LONG_BLOB:
        case MYSQL_TYPE_BLOB:
            return {(field.flags & BINARY_FLAG) ? TFieldKind::Bytes : TFieldKind::LongText, 0};
        default:
            return {TFieldKind::Text, FieldTextSize(static_cast<long long>(field.length))};
    }
}

// MariaDB keeps JSON as LONGTEXT with a check and says so only in the result's own description
// of the column (its format name), which the client library asks for when it connects.
bool IsJsonColumn(const MYSQL_FIELD& field) {
    MARIADB_CONST_STRING format{nullptr, 0};
    if (mariadb_field_attr(&format, &field, MARIADB_FIELD_ATTR_FORMAT_NAME) != 0 || !format.str) return false;
    return SameText(std::string_view(format.str, format.length), "json");
}

}  // namespace

struct TDbQuery::Impl {
    TQueryState state = TQueryState::Closed;
    std::vector<std::string> tables;
    std::vector<TColumnInfo> columns;
    std::vector<TKeyInfo> keys;

    TResultHandle result;
    unsigned resultColumns = 0;
    bool resultExhausted = true;
    std::vector<TField> fields;

    std::vector<TRowRef> rows;
    std::vector<uint32_t> storedLengths;  // resultColumns per stored row
    uint32_t storedCount = 0;
    std::string ownedData;                // values of the inserted rows, one after another
    std::vector<TCell> ownedCells;        // fields.size() per inserted row
    uint32_t ownedCount = 0;

    size_t current = 0;
    bool eof = true;
    std::vector<TEditCell> edit;  // the appended row, while inserting

    void Reset() {
        result.reset();
        resultColumns = 0;
        resultExhausted = true;
        fields.clear();
        std::vector<TRowRef>().swap(rows);
        std::vector<uint32_t>().swap(storedLengths);
        storedCount = 0;
        std::string().swap(ownedData);
        std::vector<TCell>().swap(ownedCells);
        ownedCount = 0;
        current = 0;
        eof = true;
        edit.clear();
        tables.clear();
        state = TQueryState::Closed;
    }

    // Copies the next row of the stored result into the row set.
    bool FetchNext() {
        if (!result || resultExhausted) return false;
        MYSQL_ROW row = mysql_fetch_row(result.get());
        if (!row) {
            resultExhausted = true;
            return false;
        }
        const unsigned long* lengths = mysql_fetch_lengths(result.get());
        for (unsigned i = 0; i < resultColumns; ++i) storedLengths.push_back(static_cast<uint32_t>(lengths[i]));
        rows.push_back({row, storedCount++, false});
        return true;
    }

    void LearnColumns(const std::string& table, MYSQL_RES* answer) {
        const unsigned n = mysql_num_fields(answer);
        while (MYSQL_ROW row = mysql_fetch_row(answer)) {
            const unsigned long* lengths = mysql_fetch_lengths(answer);
            TShowColumnsRow shown;
            shown.field = ColumnText(row, lengths, n, 0);
            shown.type = ColumnText(row, lengths, n, 1);
            shown.null = ColumnText(row, lengths, n, 2);
            if (n > 4 && row[4]) shown.defaultValue = std::string_view(row[4], lengths[4]);
            shown.extra = ColumnText(row, lengths, n, 5);
            columns.push_back(LearnColumn(table, shown));
        }
    }

    void LearnKeys(const std::string& table, MYSQL_RES* answer) {
        const unsigned n = mysql_num_fields(answer);
        while (MYSQL_ROW row = mysql_fetch_row(answer)) {
            const unsigned long* lengths = mysql_fetch_lengths(answer);
            TKeyInfo key;
            key.table = table;
            key.unique = ColumnText(row, lengths, n, 1) == "0";
            key.keyName = ColumnText(row, lengths, n, 2);
            key.primary = key.unique && StartsWithText(key.keyName, "PRIMARY");
            key.column = ColumnText(row, lengths, n, 4);
            key.ascending = ColumnText(row, lengths, n, 5) == "A";
            keys.push_back(std::move(key));
        }
    }

    int FindColumn(std::string_view name, std::string_view table) const {
        int byName = -1;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (!SameText(columns[i].name, name)) continue;
            if (SameText(columns[i].table, table)) return static_cast<int>(i);
            if (byName < 0) byName = static_cast<int>(i);
        }
        return byName;
    }

    void BuildFields() {
        std::vector<std::string_view> names;  // the result's own names live as long as it does
        names.reserve(resultColumns);
        mysql_field_seek(result.get(), 0);
        for (unsigned i = 0; i < resultColumns; ++i) {
            const MYSQL_FIELD* f = mysql_fetch_field(result.get());
            if (!f) break;
            std::string name(f->name, f->name_length);
            size_t earlier = 0;
            for (const std::string_view n : names)
                if (SameText(n, name)) ++earlier;
            names.emplace_back(f->name, f->name_length);

            TField field;
            field.column = i;
            field.info = FindColumn(name, std::string_view(f->org_table, f->org_table_length));
            if (field.info >= 0 && IsJsonColumn(*f)) columns[static_cast<size_t>(field.info)].isJson = true;
            field.kind = field.info >= 0 ? columns[static_cast<size_t>(field.info)].kind : KindFromResultColumn(*f);
            if (field.kind.kind == TFieldKind::None) continue;
            field.name = earlier ? name + "_" + std::to_string(earlier) : std::move(name);
            fields.push_back(std::move(field));
        }
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
        if (state == TQueryState::Closed || current >= rows.size()) return v;
        const TRowRef& row = rows[current];
        if (row.stored) {
            const unsigned column = fields[index].column;
            if (!row.stored[column]) return v;
            v.data = row.stored[column];
            v.size = storedLengths[static_cast<size_t>(row.slot) * resultColumns + column];
        } else {
            const TCell& cell = ownedCells[static_cast<size_t>(row.slot) * fields.size() + index];
            if (cell.length == kNullCell) return v;
            v.data = ownedData.data() + cell.offset;
            v.size = cell.length;
        }
        v.null = false;
        return v;
    }

    // The value a field takes from a text, as values are read from a result.
    std::string AsRead(size_t index, std::string_view text) const { return ValueAsRead(fields[index].kind, text); }

    // Keeps the appended row, once inserted, as a row of the row set.
    void KeepEditedRow() {
        const uint32_t slot = ownedCount++;
        // A value the server filled in is not read back: the row keeps it as NULL.
        for (const TEditCell& cell : edit) {
            const std::optional<std::string>& value = cell.value;
            if (!value) {
                ownedCells.push_back({0, kNullCell});
                continue;
            }
            ownedCells.push_back({ownedData.size(), static_cast<uint32_t>(value->size())});
            ownedData += *value;
        }
        rows.push_back({nullptr, slot, true});
        current = rows.size() - 1;
        eof = false;
        edit.clear();
        state = TQueryState::Browsing;
    }
};

TDbQuery::TDbQuery(std::string name, TDbConnection& connection, TDbTransaction& transaction, bool requestLive)
    : name_(std::move(name)),
      requestLive_(requestLive),
      connection_(&connection),
      transaction_(&transaction),
      impl_(std::make_unique<Impl>()) {
    // The objects do not own each other and may be made in any order: a transaction that does
    // not exist yet is only touched when the connection already knows it, and otherwise it
    // takes this query on when it is made.
    connection.queries_.push_back(this);
    const auto& transactions = connection.transactions_;
    if (std::find(transactions.begin(), transactions.end(), &transaction) != transactions.end())
        transaction.queries_.push_back(this);
}

TDbQuery::~TDbQuery() {
    Release();
    Detach();
}

void TDbQuery::Detach() {
    if (connection_) {
        auto& list = connection_->queries_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        connection_ = nullptr;
    }
    if (transaction_) {
        auto& list = transaction_->queries_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        transaction_ = nullptr;
    }
}

void TDbQuery::Release() { impl_->Reset(); }

TQueryState TDbQuery::State() const { return impl_->state; }

void TDbQuery::SetStatement(const std::string& text) {
    Close();
    impl_->tables.clear();
    impl_->columns.clear();
    impl_->keys.clear();

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
    statement_ = std::move(lines);
}

void TDbQuery::Open() {
    if (Active()) return;
    TWaitCursor cursor;
    if (!connection_) throw EDatabaseError(db_messages::kNoDatabaseComponent);
    if (!transaction_) throw EDatabaseError(db_messages::kNoTransactionComponent);
    transaction_->Connect();

    Impl& q = *impl_;
    try {
        if (BeginsWithSelect(statement_)) {
            q.tables = FromClauseTables(statement_);
            if (q.columns.empty()) {
                // A table the server will not describe is read by the result's own description.
                for (const std::string& table : q.tables) {
                    if (transaction_->Send("SHOW COLUMNS FROM " + table)) {
                        if (const TResultHandle answer = transaction_->StoreResult()) q.LearnColumns(table, answer.get());
                    }
                    if (transaction_->Send("SHOW INDEX FROM " + table)) {
                        if (const TResultHandle answer = transaction_->StoreResult()) q.LearnKeys(table, answer.get());
                    }
                }
            }
        }
        if (Trim(statement_).empty()) throw EDatabaseError(db_messages::kEmptyQuery);

        if (transaction_->Send(statement_)) q.result = transaction_->StoreResult();
        if (q.result && mysql_num_fields(q.result.get()) > 0) {
            q.resultColumns = mysql_num_fields(q.result.get());
            q.resultExhausted = false;
            mysql_fetch_row(q.result.get());
            mysql_data_seek(q.result.get(), 0);
        }
        if (!q.result) {
            const std::string error = transaction_->LinkErrorText();
            if (!error.empty()) throw EDatabaseError(error, transaction_->LinkErrorNumber());
        }
        if (q.resultColumns > 0) q.BuildFields();
        q.eof = !q.FetchNext();
        q.current = 0;
        q.state = TQueryState::Browsing;
    } catch (...) {
        q.Reset();
        throw;
    }
}

void TDbQuery::Close() {
    if (!Active()) return;
    TWaitCursor cursor;
    Release();
}

int TDbQuery::RowCount() {
    Impl& q = *impl_;
    if (q.state == TQueryState::Closed) return 0;
    if (q.result && !q.resultExhausted) {
        TWaitCursor cursor;
        const uint64_t total = mysql_num_rows(q.result.get());
        if (total > q.storedCount) {
            const size_t remaining = static_cast<size_t>(total - q.storedCount);
            q.rows.reserve(q.rows.size() + remaining);
            q.storedLengths.reserve(q.storedLengths.size() + remaining * q.resultColumns);
        }
        while (q.FetchNext()) {
        }
    }
    return static_cast<int>(q.rows.size());
}

bool TDbQuery::AtEnd() const { return impl_->state == TQueryState::Closed || impl_->eof; }

bool TDbQuery::NoRows() const {
    const Impl& q = *impl_;
    if (q.state == TQueryState::Inserting) return false;
    return q.rows.empty();
}

void TDbQuery::MoveNext() {
    Impl& q = *impl_;
    if (q.state == TQueryState::Closed) throw EDatabaseError(Format(db_messages::kClosedDataset, name_.c_str()));
    if (q.state == TQueryState::Inserting) PostRow();
    if (q.current + 1 < q.rows.size() || q.FetchNext()) {
        ++q.current;
        q.eof = false;
    } else {
        q.eof = true;
    }
}

namespace {

size_t FindField(const std::vector<TField>& fields, const std::string& name, const std::string& query) {
    for (size_t i = 0; i < fields.size(); ++i)
        if (SameText(fields[i].name, name)) return i;
    throw EDatabaseError(Format(db_messages::kFieldNotFound, query.c_str(), name.c_str()));
}

}  // namespace

std::string TDbQuery::GetFieldText(const std::string& field) {
    const Impl& q = *impl_;
    const size_t index = FindField(q.fields, field, name_);
    const TValue value = q.Value(index);
    if (value.null) return std::string();
    // A number too large for an integer field keeps its own digits rather than turning into "0".
    return q.AsRead(index, value.View());
}

int32_t TDbQuery::GetFieldInteger(const std::string& field) {
    const Impl& q = *impl_;
    const size_t index = FindField(q.fields, field, name_);
    const TValue value = q.Value(index);
    if (value.null) return 0;
    if (q.fields[index].kind.kind == TFieldKind::Integer) {
        if (IsIntegerOutOfRange(value.View()))
            throw EConvertError(Format(db_messages::kInvalidInteger, std::string(value.View()).c_str()));
        return IntegerValueOf(value.View());
    }
    const std::string text = GetFieldText(field);
    int32_t number = 0;
    if (!TryStrToInt(text, number)) throw EConvertError(Format(db_messages::kInvalidInteger, text.c_str()));
    return number;
}

std::vector<TUnsetColumn> TDbQuery::InsertLayout() const {
    const Impl& q = *impl_;
    std::vector<TUnsetColumn> layout;
    if (q.tables.empty()) return layout;
    const std::string& table = q.tables.front();
    for (size_t i = 0; i < q.columns.size(); ++i) {
        const TColumnInfo& column = q.columns[i];
        if (!SameText(column.table, table)) continue;
        const bool listed = !column.nameMayBeLost &&
                            std::any_of(q.fields.begin(), q.fields.end(),
                                        [i](const TField& f) { return f.info == static_cast<int>(i); });
        layout.push_back({column, listed, InitialValueOf(column)});
    }
    return layout;
}

void TDbQuery::AppendRow() {
    Impl& q = *impl_;
    if (q.state == TQueryState::Closed) throw EDatabaseError(Format(db_messages::kClosedDataset, name_.c_str()));
    if (!requestLive_) throw EDatabaseError(Format(db_messages::kReadOnlyDataset, name_.c_str()));
    if (q.state == TQueryState::Inserting) PostRow();

    q.edit.assign(q.fields.size(), TEditCell{});
    for (size_t i = 0; i < q.fields.size(); ++i) {
        if (q.fields[i].info < 0) continue;
        TInitialValue initial = InitialValueOf(q.columns[static_cast<size_t>(q.fields[i].info)]);
        q.edit[i].value = std::move(initial.text);
        q.edit[i].serverDefault = initial.serverDefault;
    }
    q.state = TQueryState::Inserting;
}

namespace {

void RequireInserting(TQueryState state, const std::string& query) {
    if (state == TQueryState::Closed) throw EDatabaseError(Format(db_messages::kClosedDataset, query.c_str()));
    if (state != TQueryState::Inserting) throw EDatabaseError(Format(db_messages::kNotEditing, query.c_str()));
}

}  // namespace

void TDbQuery::SetFieldInteger(const std::string& field, int32_t value) {
    Impl& q = *impl_;
    const size_t index = FindField(q.fields, field, name_);
    RequireInserting(q.state, name_);
    const TField& f = q.fields[index];
    const std::string text = std::to_string(value);
    switch (f.kind.kind) {
        case TFieldKind::Date:
        case TFieldKind::Time:
        case TFieldKind::DateTime:
            throw EConvertError(Format(db_messages::kInvalidDateTimeForField, text.c_str(), f.name.c_str()));
        default:
            q.edit[index] = {q.AsRead(index, text), false, true};
    }
}

void TDbQuery::SetFieldText(const std::string& field, const std::string& value) {
    Impl& q = *impl_;
    const size_t index = FindField(q.fields, field, name_);
    RequireInserting(q.state, name_);
    const TField& f = q.fields[index];
    q.edit[index].serverDefault = false;
    q.edit[index].set = true;
    std::optional<std::string>& target = q.edit[index].value;
    switch (f.kind.kind) {
        case TFieldKind::Integer: {
            if (value.empty()) {
                target.reset();
                return;
            }
            int32_t number = 0;
            if (!TryStrToInt(value, number))
                throw EConvertError(Format(db_messages::kInvalidIntegerForField, value.c_str(), f.name.c_str()));
            target = std::to_string(number);
            return;
        }
        case TFieldKind::LargeInt: {
            long long number = 0;
            if (value.empty()) {
                target.reset();
            } else if (ParseLargeIntText(value, number)) {
                target = std::to_string(number);
            } else {
                throw EConvertError(Format(db_messages::kInvalidIntegerForField, value.c_str(), f.name.c_str()));
            }
            return;
        }
        case TFieldKind::Float: {
            double number = 0;
            if (value.empty()) {
                target.reset();
            } else if (ParseFloatText(value, number)) {
                target = value;
            } else {
                throw EConvertError(Format(db_messages::kInvalidFloatForField, value.c_str(), f.name.c_str()));
            }
            return;
        }
        case TFieldKind::Date:
        case TFieldKind::Time:
        case TFieldKind::DateTime: {
            TDateTimeText parts;
            if (value.empty()) {
                target.reset();
            } else if (ParseDateTimeText(value, parts)) {
                target = value;
            } else {
                throw EConvertError(Format(db_messages::kInvalidDateTimeForField, value.c_str(), f.name.c_str()));
            }
            return;
        }
        default:
            target = q.AsRead(index, value);
    }
}

void TDbQuery::PostRow() {
    Impl& q = *impl_;
    if (q.state == TQueryState::Closed) throw EDatabaseError(Format(db_messages::kClosedDataset, name_.c_str()));
    if (q.state != TQueryState::Inserting) return;
    if (!transaction_) throw EDatabaseError(db_messages::kNoTransactionComponent);

    int autoIncrementField = -1;
    transaction_->ExecStatement(AppendedRowInsert(autoIncrementField), name_);

    if (autoIncrementField >= 0 && !q.edit[static_cast<size_t>(autoIncrementField)].value) {
        try {
            const std::string id = transaction_->EvaluateExpression("LAST_INSERT_ID()");
            q.edit[static_cast<size_t>(autoIncrementField)].value =
                q.AsRead(static_cast<size_t>(autoIncrementField), id);
        } catch (const Exception&) {
            // The row is in the table; only its number stays unknown here.
        }
    }
    q.KeepEditedRow();
}

std::string TDbQuery::TakeAppendedRowInsert() {
    Impl& q = *impl_;
    RequireInserting(q.state, name_);
    if (!transaction_) throw EDatabaseError(db_messages::kNoTransactionComponent);
    int autoIncrementField = -1;
    std::string text = AppendedRowInsert(autoIncrementField);
    q.KeepEditedRow();
    return text;
}

std::string TDbQuery::AppendedRowInsert(int& autoIncrementField) const {
    const Impl& q = *impl_;
    const std::string table = q.tables.empty() ? std::string() : q.tables.front();
    std::vector<std::string_view> names;
    std::vector<TInsertValue> values;
    std::vector<int> listed;  // learned columns already in the statement
    autoIncrementField = -1;
    for (size_t i = 0; i < q.fields.size(); ++i) {
        const int info = q.fields[i].info;
        const TColumnInfo* column = info >= 0 ? &q.columns[static_cast<size_t>(info)] : nullptr;
        if (!column || !SameText(column->table, table)) {
            // A value that was set must reach the table or stop the post: a server that would
            // not describe the table (SHOW COLUMNS refused) must not turn into a row of
            // defaults reported as inserted.
            if (q.edit[i].set)
                throw EDatabaseError(Format(db_messages::kFieldWithoutColumn, name_.c_str(), q.fields[i].name.c_str(),
                                            table.c_str()));
            continue;
        }
        if (std::find(listed.begin(), listed.end(), info) != listed.end()) continue;
        if (column->nameMayBeLost && !q.edit[i].set) continue;
        listed.push_back(info);
        names.push_back(column->name);
        TInsertValue value;
        value.kind = q.fields[i].kind.kind;
        value.serverDefault = q.edit[i].serverDefault;
        if (q.edit[i].value) value.text = *q.edit[i].value;
        values.push_back(value);
        if (column->autoIncrement && autoIncrementField < 0) autoIncrementField = static_cast<int>(i);
    }
    return BuildInsertStatement(table, names, values, transaction_->Quoting());
}

}  // namespace tarvik
