#pragma once
// The program's errors: exceptions that carry one message text, byte for byte
// (the texts are Windows-1252; nothing here decodes them).

#include <exception>
#include <string>

namespace tarvik {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

// A text that does not convert to the value asked for (cipher digits, integer fields, ports).
class EConvertError : public Exception {
    using Exception::Exception;
};

// A conversion of a text through the locale-aware converters (overflow, not convertible).
class EVariantError : public Exception {
    using Exception::Exception;
};

// Failures of the main connection's data layer. Where the client library reported the
// failure, its number (mysql_errno: 2006 and 2013 for a server gone, 1062 for a duplicate key,
// ...) travels with the unchanged text, so that callers need not match English; 0 otherwise.
class EDatabaseError : public Exception {
public:
    explicit EDatabaseError(std::string message, unsigned errorNumber = 0, std::string sqlState = std::string())
        : Exception(std::move(message)), errorNumber_(errorNumber), sqlState_(std::move(sqlState)) {}
    unsigned ErrorNumber() const noexcept { return errorNumber_; }
    // The SQLSTATE the client library gave with the number ("" where it gave none).
    const std::string& SqlState() const noexcept { return sqlState_; }

private:
    unsigned errorNumber_;
    std::string sqlState_;
};

// A statement that changes data was handed to the server and the link broke before its
// answer came (the server died or the connection was lost): the server may have carried it out
// or not, and nothing on this side can tell which. Same text and number as any other failure.
class EStatementOutcomeUnknown : public EDatabaseError {
    using EDatabaseError::EDatabaseError;
};

// A statement that changes data was refused by the server (a duplicate key, a constraint, a
// trigger that signals): nothing of it was stored.
class EInsertRefused : public EDatabaseError {
    using EDatabaseError::EDatabaseError;
};

// Host-name lookup failures.
class ESocketError : public Exception {
    using Exception::Exception;
};

// A file that cannot be created.
class EFCreateError : public Exception {
    using Exception::Exception;
};

// printf-style formatting into a std::string (the message patterns are printf patterns).
std::string Format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tarvik
