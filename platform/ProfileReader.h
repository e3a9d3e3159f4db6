#pragma once
// Reading of profile-style settings files ("[section]" lines, "key=value" entries below them).
//
// Rules, for every file the program reads:
//  - the first section whose name matches, and within it the first entry whose key matches,
//    both without regard to letter case;
//  - blanks (codes <= 32) around a key and around a value are not part of them;
//  - a value enclosed in one matching pair of double or single quotes loses the pair;
//  - a value longer than 2047 characters is cut to its first 2047;
//  - a present entry with nothing after "=" is the empty text, not the default;
//  - a missing or unreadable file, section or key gives the default, without its trailing blanks.
// Lines end at CR LF, LF or a lone CR. Lines that are neither a section nor an entry are skipped;
// ";" has no meaning of its own, so a ";" line holds no entry and a value keeps its ";".
//
// On Windows the system reads the file (GetPrivateProfileStringA); on Linux a stand-in that
// follows the same rules. They read alike in every case that tests/platform/ProfileReaderTest.cpp
// holds, as Wine does: sections and keys in any case, repeated sections and keys (also
// sections whose names differ only in case: only the first is searched), blanks and tabs,
// quotes, ";" in values, values of 2047 characters and more, missing files, and every kind of
// line end. The system drops only trailing spaces from a default; ReadString hands it a
// default already without trailing blanks of any kind, so the two agree there as well.
// Paths are given whole: the system looks a name without a directory up in its own directory.
//
// A reader only records the path: every read opens the file, reads it and closes it, so
// nothing is cached and the file is never held open or written.

#include <string>
#include <vector>

namespace tarvik {

class TProfileReader {
public:
    static constexpr size_t kMaxValueLength = 2047;

    explicit TProfileReader(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;

    // The lookup on a file's text already in memory, by the rules above. On Linux ReadString
    // reads the file and calls this; on Windows ReadString asks the system instead.
    static std::string Lookup(const std::string& contents, const std::string& section,
                              const std::string& key, const std::string& defaultValue);

    // The default as the reading gives it back: without its trailing blanks.
    static std::string DefaultWithoutTrailingBlanks(const std::string& value);

private:
    std::string path_;
};

// One entry of a section, its value as it is to be stored.
struct TProfileEntry {
    std::string key;
    std::string value;
};

// The text of one section as the program's settings files are written: the "[section]" line,
// then one "key=value" line per entry in the order given, each line ended by `lineEnd` (CR LF,
// as the workstations' own editor writes them, unless a caller needs another). Nothing is
// quoted or checked: whether a value reads back as written is the caller's concern (Lookup).
std::string ProfileSectionText(const std::string& section, const std::vector<TProfileEntry>& entries,
                               const std::string& lineEnd = "\r\n");

}  // namespace tarvik
