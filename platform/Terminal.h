#pragma once
// The process's console: whether its standard streams are terminals, and a secret typed
// without echo. One implementation per system (linux/Terminal.cpp, windows/Terminal.cpp).
//
// Where the systems differ: on Windows "terminal" means a console (a pipe, a file or NUL is
// none, as on Linux), and standard error counts as one only where the console carries out the
// "ESC[K" that redraws the progress line (virtual-terminal processing, switched on here when
// the console has it; otherwise the progress comes in plain lines, as into a file). The
// program's output is UTF-8 on both systems: PrepareConsoleOutput makes a Windows console show
// it as such, and a secret is read from the console in UTF-16, whatever its code page.

#include <iosfwd>
#include <string>

namespace tarvik {

bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

// Called once at start: on Windows, a console the program writes to shows UTF-8 until the
// program ends (its code page is put back then). Nothing to do on Linux.
void PrepareConsoleOutput();

// Shows `prompt` on `promptTo`, then reads one line from the terminal on standard input with
// echo switched off, putting the terminal back as it was afterwards (also when the process is
// interrupted at the prompt). Returns false when there is nothing to read. On Windows the
// secret comes as Windows-1252, the program's text; one that holds a character outside it is
// refused (Exception).
bool ReadSecretFromTerminal(std::ostream& promptTo, const std::string& prompt, std::string& secret);

}  // namespace tarvik
