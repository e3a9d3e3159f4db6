#include "platform/ProfileReader.h"

#include <string_view>

#include "platform/Errors.h"
#include "platform/Text.h"

namespace tarvik {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

std::string TProfileReader::DefaultWithoutTrailingBlanks(const std::string& value) {
    size_t end = value.size();
    while (end > 0 && IsBlank(value[end - 1])) --end;
    return value.substr(0, end);
}

namespace {

std::string FinishValue(std::string_view raw) {
    std::string_view value = TrimView(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (value.size() > TProfileReader::kMaxValueLength)
        value = value.substr(0, TProfileReader::kMaxValueLength);
    return std::string(value);
}

}  // namespace

std::string TProfileReader::Lookup(const std::string& contents, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) {
    const std::string_view text(contents);
    bool seenSection = false;  // only the first section of that name is searched
    bool inSection = false;
    size_t pos = 0;
    while (pos < text.size()) {
        // A plain loop: find_first_of with a set of two calls memchr on the set for every
        // character, and this runs for every setting the run reads.
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        const std::string_view line = TrimView(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;

        if (!line.empty() && line.front() == '[') {
            if (inSection) break;  // the matching section has ended
            size_t close = line.find(']');
            std::string_view name = line.substr(1, close == std::string_view::npos ? std::string_view::npos
                                                                                   : close - 1);
            if (!seenSection && SameText(TrimView(name), section)) {
                seenSection = inSection = true;
            }
            continue;
        }
        if (!inSection) continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (SameText(TrimView(line.substr(0, eq)), key)) return FinishValue(line.substr(eq + 1));
    }
    return DefaultWithoutTrailingBlanks(defaultValue);
}

std::string ProfileSectionText(const std::string& section, const std::vector<TProfileEntry>& entries,
                               const std::string& lineEnd) {
    std::string text = "[" + section + "]" + lineEnd;
    for (const TProfileEntry& entry : entries) text += entry.key + "=" + entry.value + lineEnd;
    return text;
}

}  // namespace tarvik
