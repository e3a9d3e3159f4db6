#include "platform/ProfileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "platform/Errors.h"
#include "platform/Text.h"

namespace tarvik {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }



// Reads the whole file; false when it cannot be opened or read (a directory, no permission).
// Only a regular file counts: a FIFO or a device in the file's place would block the program
// (a FIFO waits for a writer) or never end (/dev/zero), so it reads as a missing file.
bool ReadWholeFile(const std::string& path, std::string& contents) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    char buffer[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            contents.append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
            break;
        }
    }
    ::close(fd);
    return ok;
}

std::string DefaultWithoutTrailingBlanks(const std::string& value) {
    size_t end = value.size();
    while (end > 0 && IsBlank(value[end - 1])) --end;
    return value.substr(0, end);
}

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

std::string TProfileReader::ReadString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
    std::string contents;
    if (!ReadWholeFile(path_, contents)) return DefaultWithoutTrailingBlanks(defaultValue);
    return Lookup(contents, section, key, defaultValue);
}

}  // namespace tarvik
