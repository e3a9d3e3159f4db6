// The file system through POSIX calls.

#include "platform/Files.h"

#include <pwd.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

bool NameExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

TFileOwner FindAccount(const std::string& account) {
    const passwd* entry = ::getpwnam(account.c_str());
    if (!entry && !account.empty() && account.find_first_not_of("0123456789") == std::string::npos)
        entry = ::getpwuid(static_cast<uid_t>(std::stoul(account)));
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

    for (size_t i = 0; i < files.size(); ++i) {
        if (::rename(temporaries[i].c_str(), files[i].path.c_str()) != 0) {
            const int error = errno;
            for (size_t j = i; j < temporaries.size(); ++j) ::unlink(temporaries[j].c_str());
            throw EFileWriteError(i, ErrnoText(error));
        }
    }
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
