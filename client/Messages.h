#pragma once
// The messages of the client layer, side by side. Like every folder's, they live in namespace
// tarvik::<folder>_messages.

namespace tarvik::client_messages {

// The server asked for an authentication method outside the ones the program uses: the
// method, then the ones it uses.
inline constexpr const char* kMethodNotAllowed =
    "The server asked for the authentication method '%s', which this program does not use (it uses %s)";
// The same, where the client library did not say which method it was.
inline constexpr const char* kUnnamedMethodNotAllowed =
    "The server asked for an authentication method that this program does not use (it uses %s)";

}  // namespace tarvik::client_messages
