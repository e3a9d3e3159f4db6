#pragma once
// The messages of the client layer, side by side. Like every folder's, they live in namespace
// tarvik::<folder>_messages.

#include <string_view>

namespace tarvik::client_messages {

// The server asked for an authentication method outside the ones the program uses: the
// method, then the ones it uses.
inline constexpr const char* kMethodNotAllowed =
    "The server asked for the authentication method '%s', which this program does not use (it uses %s)";
// The same, where the client library did not say which method it was.
inline constexpr const char* kUnnamedMethodNotAllowed =
    "The server asked for an authentication method that this program does not use (it uses %s)";

// A settings value that names no TLS mode: the value, then where it was read.
inline constexpr const char* kUnknownTlsMode =
    "'%s' is not a TLS mode (%s): the modes are required and verify, or nothing for none";
// A link that asked for TLS and could not have it as asked: the link's name, its user@host:port,
// the mode, the client library's text.
inline constexpr const char* kTlsRefused = "%s %s: TLS (%s) could not be set up as the settings ask: %s";
// The part of it that tells a TLS refusal in any message that carries one.
inline constexpr const char* kTlsRefusedTail = ") could not be set up as the settings ask: ";
static_assert(std::string_view(kTlsRefused).find(kTlsRefusedTail) != std::string_view::npos);
// Its reason when the server offers no TLS at all.
inline constexpr const char* kServerOffersNoTls = "the server offers no TLS";
}  // namespace tarvik::client_messages
