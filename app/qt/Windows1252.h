#pragma once
// The program's texts are Windows-1252 bytes; Qt wants Unicode. Qt 6.4 has no built-in
// converter for that code page, so the screen side decodes it here, by the platform's table.

#include <QString>

#include <string>

namespace tarvik {

QString FromWindows1252(const std::string& bytes);

}  // namespace tarvik
