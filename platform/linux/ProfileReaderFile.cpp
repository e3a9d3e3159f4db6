// Linux stand-in for the system's profile reading: the file is read whole and searched by
// TProfileReader::Lookup.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ProfileReader.h"

namespace tarvik {
namespace {

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
}  // namespace

std::string TProfileReader::ReadString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
    std::string contents;
    if (!ReadWholeFile(path_, contents)) return DefaultWithoutTrailingBlanks(defaultValue);
    return Lookup(contents, section, key, defaultValue);
}

}  // namespace tarvik
