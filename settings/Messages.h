#pragma once
// The messages of the settings and branch identity code, side by side. Texts are
// Windows-1252 byte strings; non-ASCII characters are written as \xNN escapes.

namespace tarvik::settings_messages {

// Cipher.
inline constexpr char kEmptyCipherKey[] = "A chave de cifragem n\xE3o pode ser vazia.";

// Store code.
inline constexpr char kNoLojasLeram[] =
    "O filial_id %d n\xE3o pode ser convertido para um \"lojas_leram\" v\xE1lido";

// Branch number text conversion (the general conversions speak English).
inline constexpr char kVariantOverflow[] = "Overflow while converting variant of type (%s) into type (%s)";
inline constexpr char kVariantTypeMismatch[] = "Could not convert variant of type (%s) into type (%s)";
inline constexpr char kVariantTypeString[] = "String";
inline constexpr char kVariantTypeInteger[] = "Integer";
inline constexpr char kVariantTypeBoolean[] = "Boolean";

}  // namespace tarvik::settings_messages
