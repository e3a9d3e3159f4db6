#pragma once
// The process's console: whether its standard streams are terminals, and a secret typed
// without echo. One implementation per system (linux/Terminal.cpp, windows/Terminal.cpp).
//
// Where the systems differ: on Windows "terminal" means a console window (a pipe or a file is
// none, as on Linux; Wine counts its own console as one and a Unix terminal under it too). The
// bytes the program writes are sent as they are: a Windows console shows them in its own code
// page (often 850 or 1252), so a text that is UTF-8 on Linux may show differently there.

#include <iosfwd>
#include <string>

namespace tarvik {

bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

// Shows `prompt` on `promptTo`, then reads one line from the terminal on standard input with
// echo switched off, putting the terminal back as it was afterwards (also when the process is
// interrupted at the prompt). Returns false when there is nothing to read.
bool ReadSecretFromTerminal(std::ostream& promptTo, const std::string& prompt, std::string& secret);

}  // namespace tarvik
