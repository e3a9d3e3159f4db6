#pragma once
// The messages of the platform services, side by side, the same on every system. Like every
// folder's, they live in namespace tarvik::<folder>_messages.

namespace tarvik::platform_messages {

// A text that is no integer, wherever one is read: settings, ports, result fields (the text).
inline constexpr const char* kInvalidInteger = "'%s' is not a valid integer value";

// This machine's own address: the name or its lookup failed (error number, system text).
inline constexpr const char* kSocketError = "Socket Error # %d\r\n%s";
// The address-history file could not be created (its path, the system text).
inline constexpr const char* kCannotCreateFile = "Cannot create file \"%s\". %s";

}  // namespace tarvik::platform_messages
