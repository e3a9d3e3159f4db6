#pragma once
// The rows a query has read. A row copied from the stored result stays in the result (the row
// keeps only its values' lengths); a row the query inserted keeps its values here. Either way a
// row costs a few bytes beside its values.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/ClientHandles.h"

namespace tarvik {

struct TValue {
    const char* data = nullptr;
    size_t size = 0;
    bool null = true;

    std::string_view View() const { return null ? std::string_view() : std::string_view(data, size); }
};

class TRowSet {
public:
    // Takes the stored result of a statement with `columns` columns; an empty result or no
    // columns leave nothing to fetch.
    void Adopt(TResultHandle result, unsigned columns);
    // Frees the result and every row.
    void Clear();

    unsigned Columns() const { return columns_; }
    st_mysql_res* Result() const { return result_.get(); }
    // Copies the next row of the result into the set; false at its end.
    bool FetchNext();
    bool MoreToFetch() const { return result_ && !exhausted_; }
    // Copies every row of the result that is not in the set yet.
    void FetchAll();

    size_t Count() const { return rows_.size(); }
    // The value of a field in row `row`: result column `column` of a copied row, the
    // `field`-th of `fieldCount` values of an inserted one.
    TValue Value(size_t row, unsigned column, size_t field, size_t fieldCount) const;
    // Adds an inserted row: one value per field, nullopt for NULL.
    void AppendInserted(const std::vector<std::optional<std::string>>& values);

private:
    struct TRowRef {
        char** stored;   // MYSQL_ROW; nullptr for an inserted row
        uint32_t slot;   // stored: index of its lengths; inserted: index of its cells
    };
    struct TCell {
        uint64_t offset;
        uint32_t length;
    };
    static constexpr uint32_t kNullCell = UINT32_MAX;

    TResultHandle result_;
    unsigned columns_ = 0;
    bool exhausted_ = true;
    std::vector<TRowRef> rows_;
    std::vector<uint32_t> storedLengths_;  // columns_ per copied row
    uint32_t storedCount_ = 0;
    std::string ownedData_;                // values of the inserted rows, one after another
    std::vector<TCell> ownedCells_;        // one per field of each inserted row
    uint32_t ownedCount_ = 0;
};

}  // namespace tarvik
