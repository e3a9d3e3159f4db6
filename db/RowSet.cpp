#include "db/RowSet.h"

#include <mysql.h>

namespace tarvik {

void TRowSet::Adopt(TResultHandle result, unsigned columns) {
    Clear();
    result_ = std::move(result);
    if (result_ && columns > 0) {
        columns_ = columns;
        exhausted_ = false;
        mysql_fetch_row(result_.get());
        mysql_data_seek(result_.get(), 0);
    }
}

void TRowSet::Clear() {
    result_.reset();
    columns_ = 0;
    exhausted_ = true;
    std::vector<TRowRef>().swap(rows_);
    std::vector<uint32_t>().swap(storedLengths_);
    storedCount_ = 0;
    std::string().swap(ownedData_);
    std::vector<TCell>().swap(ownedCells_);
    ownedCount_ = 0;
}

bool TRowSet::FetchNext() {
    if (!result_ || exhausted_) return false;
    MYSQL_ROW row = mysql_fetch_row(result_.get());
    if (!row) {
        exhausted_ = true;
        return false;
    }
    const unsigned long* lengths = mysql_fetch_lengths(result_.get());
    for (unsigned i = 0; i < columns_; ++i) storedLengths_.push_back(static_cast<uint32_t>(lengths[i]));
    rows_.push_back({row, storedCount_++});
    return true;
}

void TRowSet::FetchAll() {
    if (!MoreToFetch()) return;
    const uint64_t total = mysql_num_rows(result_.get());
    if (total > storedCount_) {
        const size_t remaining = static_cast<size_t>(total - storedCount_);
        rows_.reserve(rows_.size() + remaining);
        storedLengths_.reserve(storedLengths_.size() + remaining * columns_);
    }
    while (FetchNext()) {
    }
}

TValue TRowSet::Value(size_t row, unsigned column, size_t field, size_t fieldCount) const {
    TValue v;
    const TRowRef& ref = rows_[row];
    if (ref.stored) {
        if (!ref.stored[column]) return v;
        v.data = ref.stored[column];
        v.size = storedLengths_[static_cast<size_t>(ref.slot) * columns_ + column];
    } else {
        const TCell& cell = ownedCells_[static_cast<size_t>(ref.slot) * fieldCount + field];
        if (cell.length == kNullCell) return v;
        v.data = ownedData_.data() + cell.offset;
        v.size = cell.length;
    }
    v.null = false;
    return v;
}

void TRowSet::AppendInserted(const std::vector<std::optional<std::string>>& values) {
    const uint32_t slot = ownedCount_++;
    for (const std::optional<std::string>& value : values) {
        if (!value) {
            ownedCells_.push_back({0, kNullCell});
            continue;
        }
        ownedCells_.push_back({ownedData_.size(), static_cast<uint32_t>(value->size())});
        ownedData_ += *value;
    }
    rows_.push_back({nullptr, slot});
}

}  // namespace tarvik
