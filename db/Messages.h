#pragma once
// The messages of the main connection's data layer, side by side. The patterns are printf
// patterns; the first "%s" of the prefixed ones is the name of the query or its caller.

namespace tarvik::db_messages {

// The link and the transaction.
inline constexpr const char* kNotConnected = "Not connected yet";
inline constexpr const char* kNoDatabaseComponent = "Database component not defined";
inline constexpr const char* kNoTransactionComponent = "Transaction component not defined";
inline constexpr const char* kTransactionNotActivated = "Error while activate transaction";
inline constexpr const char* kCallerError = "%s: %s";

// The queries.
inline constexpr const char* kEmptyQuery = "Empty Query";
inline constexpr const char* kFieldNotFound = "%s: Field '%s' not found";
inline constexpr const char* kReadOnlyDataset = "%s: Cannot modify a read-only dataset";
inline constexpr const char* kClosedDataset = "%s: Cannot perform this operation on a closed dataset";
inline constexpr const char* kNotEditing = "%s: Dataset not in edit or insert mode";
inline constexpr const char* kInvalidIntegerForField = "'%s' is not a valid integer value for field '%s'";
inline constexpr const char* kInvalidFloatForField = "'%s' is not a valid floating point value for field '%s'";
inline constexpr const char* kFieldWithoutColumn =
    "%s: Field '%s' cannot be inserted: the server did not describe a column for it in table '%s'";
inline constexpr const char* kInvalidDateTimeForField = "'%s' is not a valid date and time value for field '%s'";

}  // namespace tarvik::db_messages
