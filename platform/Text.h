#pragma once
// Small text helpers shared by every layer. Texts are 8-bit byte strings; letter case is
// ASCII only, so bytes 0x80-0xFF are compared as they stand.

#include <string>
#include <string_view>

namespace tarvik {

// Removes characters of code 32 or less from both ends.
std::string_view TrimView(std::string_view text);
std::string Trim(std::string_view text);

std::string LowerCase(std::string text);
bool SameText(std::string_view a, std::string_view b);
bool StartsWithText(std::string_view text, std::string_view prefix);
bool ContainsText(std::string_view text, std::string_view part);

// The value of one hexadecimal digit (either case), -1 for any other character.
int HexDigitValue(char c);
// Appends a byte as two upper-case hexadecimal digits.
void AppendHexByte(std::string& out, unsigned char value);

// The Unicode code point of one byte of the program's texts, which are Windows-1252. The
// five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) give the C1
// control of the same number, as the system's own conversion does. The front ends decode
// with this one table: the window into its toolkit's strings, tarvik-admin into UTF-8.
char16_t Windows1252CodePoint(unsigned char byte);

}  // namespace tarvik
