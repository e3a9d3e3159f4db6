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

namespace tarvik::db_messages {

// A flight's answers that are not those of its statements (db/Flight.h).
inline constexpr const char* kInsertAnsweredWithRows = "an INSERT was answered with a result of %u columns";
inline constexpr const char* kInsertChangedRows = "an INSERT of one row was answered with %s rows changed";
inline constexpr const char* kSelectAnsweredWithoutRows = "a SELECT was answered without a result";
inline constexpr const char* kSelectColumns = "a SELECT was answered with %u columns instead of %u";
inline constexpr const char* kMoreAnswersThanStatements = "the server sent more answers than the %u statements sent";
inline constexpr const char* kFewerAnswersThanStatements = "the server answered %u of the %u statements sent";

// The link's character set.
// The name of the character set the server reads and writes the link in.
inline constexpr const char* kLinkNotLatin1 =
    "The server reads and writes this connection in character set %s, not latin1, and did not switch to "
    "latin1: nothing was written, since values would not reach the server as they were meant";
inline constexpr const char* kUnnamedCharacterSet = "number %u";

// The link's name in the errors of a TLS that could not be set up as asked.
inline constexpr const char* kMainLinkName = "main connection";
// A server that took the connection and did not greet within the connect timeout: the host,
// the seconds, the client library's text.
inline constexpr const char* kConnectTimedOut = "The server %s did not answer the connection within %u seconds (%s)";

}  // namespace tarvik::db_messages
