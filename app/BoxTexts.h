#pragma once
// What both boxes show, whatever toolkit draws them: the caption every box carries and the
// error box's text.

#include <exception>
#include <string>

namespace tarvik {

// The executable's file name cut at its first ".", every character after the first
// lower-cased: "TARVIK.EXE" gives "Tarvik", "tarvik.old.exe" gives "tarvik".
std::string ApplicationTitleFor(const std::string& executableFileName);
// The title of the running program, taken from its executable the first time it is asked.
const std::string& ApplicationTitle();

// The error box's text: the message with a full stop appended when it is not empty and the
// code of its last character is above that of ".".
std::string ErrorBoxText(const std::string& message);

// The text an escaped error is shown with: our own errors' message, what() of any other
// standard exception.
std::string ErrorMessageOf(const std::exception& error);

// The text of the error being handled, for use inside a catch block only: ErrorMessageOf for a
// standard exception, "Erro desconhecido" for anything else.
std::string CaughtErrorMessage();

}  // namespace tarvik
