// The FROM-clause table parser. Two parts per input: the raw bytes as a statement (no crash,
// names free of quotes and brackets), and a statement built from the bytes out of known
// pieces, whose tables are known, compared with what the parser finds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/FromClause.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

class TBytes {
public:
    TBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint8_t Take() { return pos_ < size_ ? data_[pos_++] : 0; }
    size_t Pick(size_t count) { return Take() % count; }
    bool Empty() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

bool IsKeyWord(const std::string& word) {
    static const char* const kWords[] = {"FROM",  "WHERE", "INTO",    "GROUP", "ORDER", "HAVING",        "FOR",
                                         "PROCEDURE", "LIMIT", "JOIN", "STRAIGHT_JOIN", "LEFT", "RIGHT", "INNER",
                                         "OUTER", "CROSS", "NATURAL", "FULL", "ON",  "USING", "AS"};
    std::string upper = word;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (const char* w : kWords)
        if (upper == w) return true;
    return false;
}

// A plain name: letters, digits and "_", never a key word.
std::string Name(TBytes& in) {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_";
    std::string name;
    const size_t length = 1 + in.Pick(8);
    for (size_t i = 0; i < length; ++i) name += kChars[in.Pick(sizeof kChars - 1)];
    if (IsKeyWord(name)) name += "_t";
    return name;
}

std::string Blank(TBytes& in) {
    static const char* const kBlanks[] = {" ", "  ", "\t", "\r\n", " \n\t "};
    return kBlanks[in.Pick(5)];
}

// The table as written: bare, or in one of the quotings, where the quoted form may hold a key word.
std::string Written(TBytes& in, const std::string& name) {
    switch (in.Pick(5)) {
        case 1: return "`" + name + "`";
        case 2: return "\"" + name + "\"";
        case 3: return "[" + name + "]";
        case 4: return "'" + name + "'";
        default: return name;
    }
}

void CheckRaw(std::string_view statement) {
    const std::vector<std::string> tables = tarvik::FromClauseTables(statement);
    FUZZ_CHECK(tables.size() <= statement.size());
    for (const std::string& table : tables) FUZZ_CHECK(table.find_first_of("'\"`[]") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckRaw(std::string_view(reinterpret_cast<const char*>(data), size));

    TBytes in(data, size);
    static const char* const kSelectLists[] = {"*", "a, b", "'from' AS f, \"FROM\"", "count(*)", "`from`.x"};
    std::string statement = std::string(in.Pick(2) ? "select" : "SELECT") + Blank(in) +
                            kSelectLists[in.Pick(5)] + Blank(in) + (in.Pick(2) ? "from" : "FROM") + Blank(in);
    std::vector<std::string> expected;
    const size_t count = 1 + in.Pick(4);
    for (size_t t = 0; t < count; ++t) {
        if (t > 0) {
            static const char* const kJoins[] = {",", "JOIN", "left join", "INNER JOIN", "natural left outer join",
                                                 "CROSS JOIN", "straight_join"};
            statement += Blank(in) + kJoins[in.Pick(7)] + Blank(in);
        }
        std::string name = in.Pick(4) == 0 && t > 0 ? "where" : Name(in);
        if (name == "where") {
            // A key word is a name only when it is quoted.
            statement += "`where`";
        } else {
            statement += Written(in, name);
        }
        expected.push_back(name);
        switch (in.Pick(4)) {
            case 1: statement += Blank(in) + Name(in); break;
            case 2: statement += Blank(in) + "AS" + Blank(in) + Name(in); break;
            default: break;
        }
        if (t > 0) {
            switch (in.Pick(3)) {
                case 1: statement += Blank(in) + "ON" + Blank(in) + "a.id = " + Name(in) + ".id"; break;
                case 2:
                    statement += Blank(in) + "USING" + Blank(in) + "(" + Name(in) + "," + Blank(in) + Name(in) + ")";
                    break;
                default: break;
            }
        }
    }
    static const char* const kTails[] = {"", " WHERE x = 'a, from b'", " ORDER BY 1", ";", " LIMIT 3",
                                         " group by x having count(*) > 1", " FOR UPDATE", "\r\n"};
    statement += kTails[in.Pick(8)];

    const std::vector<std::string> tables = tarvik::FromClauseTables(statement);
    if (tables != expected) {
        tarvik::fuzz::Dump("statement", statement);
        for (const std::string& t : tables) tarvik::fuzz::Dump("found", t);
        for (const std::string& t : expected) tarvik::fuzz::Dump("expected", t);
        FUZZ_CHECK(tables == expected);
    }
    return 0;
}
