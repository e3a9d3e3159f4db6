#include "db/FromClause.h"

#include <array>

namespace tarvik {
namespace {

enum class TTokenKind { Word, Comma, Semicolon, Parenthesis };

struct TToken {
    TTokenKind kind;
    std::string_view text;
    bool quoted;  // holds a quote or a bracket: never a key word
};

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= 32 || c == ',' || c == ';' || c == '(' || c == ')';
}

// Splits the text into words and punctuation; a quoted stretch or a bracketed name is part of
// the word it stands in, whatever it holds.
class TTokenizer {
public:
    explicit TTokenizer(std::string_view text) : text_(text) {}

    bool Next(TToken& token) {
        while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) <= 32) ++pos_;
        if (pos_ >= text_.size()) return false;
        const char c = text_[pos_];
        if (c == ',' || c == ';' || c == '(' || c == ')') {
            token = {c == ',' ? TTokenKind::Comma : c == ';' ? TTokenKind::Semicolon : TTokenKind::Parenthesis,
                     text_.substr(pos_, 1), false};
            ++pos_;
            return true;
        }
        const size_t start = pos_;
        bool quoted = false;
        while (pos_ < text_.size() && !IsSeparator(text_[pos_])) {
            const char q = text_[pos_];
            if (q == '\'' || q == '"' || q == '`' || q == '[') {
                quoted = true;
                const char close = q == '[' ? ']' : q;
                ++pos_;
                while (pos_ < text_.size() && text_[pos_] != close) {
                    if (text_[pos_] == '\\' && q != '`' && q != '[' && pos_ + 1 < text_.size()) ++pos_;
                    ++pos_;
                }
                if (pos_ < text_.size()) ++pos_;
            } else {
                ++pos_;
            }
        }
        token = {TTokenKind::Word, text_.substr(start, pos_ - start), quoted};
        return true;
    }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

bool IsWord(const TToken& token, std::string_view word) {
    if (token.kind != TTokenKind::Word || token.quoted || token.text.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        char c = token.text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != word[i]) return false;
    }
    return true;
}

template <size_t N>
bool IsOneOf(const TToken& token, const std::array<std::string_view, N>& words) {
    for (std::string_view w : words)
        if (IsWord(token, w)) return true;
    return false;
}

constexpr std::array<std::string_view, 9> kStopWords = {"WHERE", "INTO",      "GROUP", "ORDER", "HAVING",
                                                        "FROM",  "FOR",       "PROCEDURE", "LIMIT"};
constexpr std::array<std::string_view, 2> kJoinWords = {"JOIN", "STRAIGHT_JOIN"};
constexpr std::array<std::string_view, 7> kJoinModifiers = {"LEFT",  "RIGHT",   "INNER", "OUTER",
                                                            "CROSS", "NATURAL", "FULL"};
constexpr std::array<std::string_view, 2> kConditionWords = {"ON", "USING"};

std::string Unquoted(std::string_view word) {
    std::string name;
    name.reserve(word.size());
    for (char c : word)
        if (c != '\'' && c != '"' && c != '`' && c != '[' && c != ']') name += c;
    return name;
}

}  // namespace

std::vector<std::string> FromClauseTables(std::string_view statement) {
    std::vector<std::string> tables;
    TTokenizer tokens(statement);
    TToken token;
    bool found = false;
    while (tokens.Next(token)) {
        if (IsWord(token, "FROM")) {
            found = true;
            break;
        }
    }
    if (!found) return tables;

    enum class TState { ExpectTable, AfterTable, AfterAs, AfterAlias, InCondition };
    TState state = TState::ExpectTable;
    int depth = 0;  // a comma inside parentheses (USING (a, b), f(x, y)) separates no tables
    while (tokens.Next(token)) {
        if (token.kind == TTokenKind::Semicolon) break;
        if (token.kind == TTokenKind::Comma) {
            if (depth == 0) state = TState::ExpectTable;
            continue;
        }
        if (token.kind == TTokenKind::Parenthesis) {
            if (token.text == "(") ++depth;
            else if (depth > 0) --depth;
            continue;
        }
        if (IsOneOf(token, kStopWords)) break;
        if (IsOneOf(token, kJoinWords)) {
            state = TState::ExpectTable;
            continue;
        }
        switch (state) {
            case TState::ExpectTable:
                tables.push_back(Unquoted(token.text));
                state = TState::AfterTable;
                break;
            case TState::AfterTable:
            case TState::AfterAlias:
                if (IsOneOf(token, kConditionWords)) {
                    state = TState::InCondition;
                } else if (IsOneOf(token, kJoinModifiers)) {
                    // leads up to the JOIN that follows
                } else if (state == TState::AfterTable) {
                    state = IsWord(token, "AS") ? TState::AfterAs : TState::AfterAlias;
                }
                break;
            case TState::AfterAs:
                state = TState::AfterAlias;
                break;
            case TState::InCondition:
                break;
        }
    }
    return tables;
}

}  // namespace tarvik
