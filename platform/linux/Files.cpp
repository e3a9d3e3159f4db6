// The file system through POSIX calls.

#include "platform/Files.h"

#include <pwd.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace tarvik {

namespace {

std::string ErrnoText(int error) { return std::strerror(error); }

}  // namespace

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    if (!IsRegularFile(path)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool NameExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

TFileOwner FindAccount(const std::string& account) {
    const passwd* entry = ::getpwnam(account.c_str());
    if (!entry && !account.empty() && account.find_first_not_of("0123456789") == std::string::npos) {
        // A number is an account id as it is, never cut to fit: 4294967297 must not become
        // uid 1. The highest value is no account: fchown takes it for "leave the owner".
        constexpr uint64_t kHighestId = std::numeric_limits<uid_t>::max() - 1;
        uint64_t number = 0;
        const auto [end, error] = std::from_chars(account.data(), account.data() + account.size(), number);
        if (error != std::errc() || end != account.data() + account.size() || number > kHighestId)
            throw EAccountError(account + " is not an account number (0 to " + std::to_string(kHighestId) + ")");
        entry = ::getpwuid(static_cast<uid_t>(number));
    }
    if (!entry) throw EAccountError("no account '" + account + "' on this machine");
    return {static_cast<unsigned long>(entry->pw_uid), static_cast<unsigned long>(entry->pw_gid)};
}

void WriteFilesWhole(const std::vector<TFileContents>& files, const std::optional<TFileOwner>& owner) {
    std::vector<std::string> temporaries;
    const auto removeTemporaries = [&temporaries] {
        for (const std::string& t : temporaries) ::unlink(t.c_str());
    };

    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& path = files[i].path;
        const size_t slash = path.rfind('/');
        const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
        std::string name = path.substr(0, nameStart) + "." + path.substr(nameStart) + ".XXXXXX";
        const int fd = ::mkstemp(name.data());  // created with mode 0600
        if (fd < 0) {
            const int error = errno;
            removeTemporaries();
            throw EFileWriteError(i, ErrnoText(error));
        }
        temporaries.push_back(name);
        const char* data = files[i].contents.data();
        size_t left = files[i].contents.size();
        int error = 0;
        while (left > 0 && error == 0) {
            const ssize_t n = ::write(fd, data, left);
            if (n < 0) {
                if (errno != EINTR) error = errno;
                continue;
            }
            data += n;
            left -= static_cast<size_t>(n);
        }
        // The mode is set explicitly: the file carries a password, whatever the umask says.
        if (error == 0 && ::fchmod(fd, S_IRUSR | S_IWUSR) != 0) error = errno;
        if (error == 0 && owner &&
            ::fchown(fd, static_cast<uid_t>(owner->uid), static_cast<gid_t>(owner->gid)) != 0)
            error = errno;
        if (error == 0 && ::fsync(fd) != 0) error = errno;
        if (::close(fd) != 0 && error == 0) error = errno;
        if (error != 0) {
            removeTemporaries();
            throw EFileWriteError(i, ErrnoText(error));
        }
    }

    // Into place. A file that exists is exchanged with its replacement, so that its old
    // contents wait at the temporary name until every file is in place; when one cannot be
    // placed (a directory of that name, say), the ones before it are put back as they were.
    enum class TPlaced { Created, Exchanged, Replaced };
    std::vector<TPlaced> placed;
    int error = 0;
    for (size_t i = 0; i < files.size() && error == 0; ++i) {
        const std::string& target = files[i].path;
        struct stat info {};
        const bool exists = ::lstat(target.c_str(), &info) == 0;
        if (exists && (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) {
            if (::renameat2(AT_FDCWD, temporaries[i].c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0) {
                placed.push_back(TPlaced::Exchanged);
                continue;
            }
            // A file system without the exchange: the file is replaced outright.
            if (errno != EINVAL && errno != ENOSYS) {
                error = errno;
                break;
            }
        }
        if (::rename(temporaries[i].c_str(), target.c_str()) != 0) error = errno;
        else placed.push_back(exists ? TPlaced::Replaced : TPlaced::Created);
    }
    if (error != 0) {
        for (size_t j = placed.size(); j-- > 0;) {
            const std::string& target = files[j].path;
            if (placed[j] == TPlaced::Exchanged)
                ::renameat2(AT_FDCWD, temporaries[j].c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE);
            else if (placed[j] == TPlaced::Created)
                ::rename(target.c_str(), temporaries[j].c_str());
        }
        removeTemporaries();
        throw EFileWriteError(placed.size(), ErrnoText(error));
    }
    // What is left at the temporary names now is the old contents of the exchanged files.
    removeTemporaries();
    // The renames themselves reach the disk with the directory.
    for (const TFileContents& file : files) {
        const size_t slash = file.path.rfind('/');
        const std::string dir = slash == std::string::npos ? "." : file.path.substr(0, slash + 1);
        const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
        if (dirFd >= 0) {
            ::fsync(dirFd);
            ::close(dirFd);
        }
    }
}

}  // namespace tarvik
