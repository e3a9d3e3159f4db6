#pragma once
// The form in which every statement of the main link reaches the server.

#include <string>
#include <string_view>

namespace tarvik {

// How the server reads a backslash inside a quoted text: as an escape (the usual), or as a
// plain character (sql_mode NO_BACKSLASH_ESCAPES, which the server reports in its status).
enum class TQuoting { BackslashEscapes, NoBackslashEscapes };

// Trims characters of code 32 or less from both ends, then turns every run of blanks, tabs,
// line feeds and carriage returns outside quoted stretches into one blank. A ' or " opens a
// quoted stretch unless a backslash comes right before it; inside a stretch a backslash
// takes the next character with it, so an escaped quote never closes the stretch and an
// escaped backslash never hides the closing quote. Inside a stretch nothing is changed.
// Where the server takes a backslash as a plain character, so does this rule: a value ending
// in a backslash then closes its stretch, as the server reads it.
std::string PrepareStatementText(std::string_view text, TQuoting quoting = TQuoting::BackslashEscapes);

// Appends `text` between two `quote` characters, each `quote` inside it written twice: how a
// statement encloses a name in backquotes, or a text in single quotes where backslashes are
// plain characters.
void AppendEnclosed(std::string& out, std::string_view text, char quote);

// True when the text, after leading characters of code 32 or less, begins with the word
// SELECT in any letter case.
bool BeginsWithSelect(std::string_view text);

}  // namespace tarvik
