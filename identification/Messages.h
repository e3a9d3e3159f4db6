#pragma once
// The messages of the server identification code, side by side. Texts are Windows-1252 bytes.

namespace tarvik::identification_messages {

// Loading the server identification record.
inline constexpr const char* kIdentificationLoadFailed =
    "Falha ao carregar dados de identifica\xE7\xE3o do servidor.\r\nMotivo: ";
inline constexpr const char* kIdentificationNotFound =
    "N\xE3o foi poss\xEDvel encontrar a identifica\xE7\xE3o do servidor.";

// Reading a column of the identification query.
inline constexpr const char* kFieldNotFound = "Field '%s' not found";
inline constexpr const char* kInvalidDateTime = "'%s' is not a valid date and time";

// Decoding a value of connection.conf.
inline constexpr const char* kInvalidHexText = "'%s' is not a valid hexadecimal text";

// Porta of connection.conf that is no port: the value, the file, its section and key.
inline constexpr const char* kInvalidPort = "'%s' is not a port (%s [%s] %s)";
// The link's name in the errors of a TLS that could not be set up as asked.
inline constexpr const char* kIdentificationLinkName = "identification connection";

// The client library could not even make a handle.
inline constexpr const char* kClientOutOfMemory = "MySQL client ran out of memory";

}  // namespace tarvik::identification_messages
