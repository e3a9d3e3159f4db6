#include "db/StatementText.h"

namespace tarvik {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::string PrepareStatementText(std::string_view text, TQuoting quoting) {
    const bool backslashEscapes = quoting == TQuoting::BackslashEscapes;
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;

    // Nearly every statement has single blanks only; it then goes out as it stands, and the
    // character-by-character pass below (run for every statement of a run) is skipped.
    // (Any other control character also takes the full pass, which leaves it as it is.)
    bool plain = true;
    for (size_t i = begin; i < end; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c > ' ') continue;
        if (c != ' ' || text[i + 1] == ' ') {  // the last character is never a blank
            plain = false;
            break;
        }
    }
    if (plain) return std::string(text.substr(begin, end - begin));

    std::string out;
    out.reserve(end - begin);
    char quote = 0;
    for (size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (quote) {
            out += c;
            if (backslashEscapes && c == '\\' && i + 1 < end) {
                out += text[++i];
            } else if (c == quote) {
                quote = 0;
            }
            continue;
        }
        if (IsBlank(c)) {
            out += ' ';
            while (i + 1 < end && IsBlank(text[i + 1])) ++i;
            continue;
        }
        if ((c == '\'' || c == '"') && !(backslashEscapes && i > begin && text[i - 1] == '\\')) quote = c;
        out += c;
    }
    return out;
}

void AppendEnclosed(std::string& out, std::string_view text, char quote) {
    out += quote;
    for (const char c : text) {
        if (c == quote) out += quote;
        out += c;
    }
    out += quote;
}

bool BeginsWithSelect(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 32) ++i;
    static constexpr std::string_view kSelect = "select";
    if (text.size() - i < kSelect.size()) return false;
    for (size_t k = 0; k < kSelect.size(); ++k) {
        char c = text[i + k];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kSelect[k]) return false;
    }
    return true;
}

}  // namespace tarvik
