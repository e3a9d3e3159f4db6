#include "tools/admin/Files.h"

#include <pwd.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "identification/UConnectionInfoClass.h"
#include "identification/UIdentificacaoServidorClass.h"
#include "platform/ExecutablePath.h"
#include "tools/admin/Failures.h"

namespace tarvik::admin {

namespace {

void ForgetProcessWideState() {
    ReleaseIdentificacaoServidor();
    ReleaseConnectionInfo();
}

std::string WithSlash(std::string directory) {
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

std::string ErrnoText(int error) { return std::strerror(error); }

}  // namespace

void RequireDirectory(const std::string& directory) {
    struct stat info {};
    if (directory.empty() || ::stat(WithSlash(directory).c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw EUsage(directory + ": no such directory");
}

TSettingsDirectory::TSettingsDirectory(const std::string& directory) : path_(WithSlash(directory)) {
    RequireDirectory(directory);
    ForgetProcessWideState();
    SetExecutableDirectoryOverride(path_);
}

TSettingsDirectory::~TSettingsDirectory() {
    ForgetProcessWideState();
    SetExecutableDirectoryOverride("");
}

std::vector<std::string> ExistingFiles(const std::string& directory, const std::vector<TFileToWrite>& files) {
    std::vector<std::string> existing;
    for (const TFileToWrite& file : files) {
        const std::string path = WithSlash(directory) + file.name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) == 0) existing.push_back(path);
    }
    return existing;
}

TFileOwner LookUpOwner(const std::string& account) {
    const passwd* entry = ::getpwnam(account.c_str());
    if (!entry && !account.empty() && account.find_first_not_of("0123456789") == std::string::npos)
        entry = ::getpwuid(static_cast<uid_t>(std::stoul(account)));
    if (!entry) throw EUsage("--owner: no account '" + account + "' on this machine");
    return {static_cast<unsigned>(entry->pw_uid), static_cast<unsigned>(entry->pw_gid)};
}

void WriteFilesInPlace(const std::string& directory, const std::vector<TFileToWrite>& files,
                       const std::optional<TFileOwner>& owner) {
    const std::string dir = WithSlash(directory);
    std::vector<std::string> temporaries;
    const auto removeTemporaries = [&temporaries] {
        for (const std::string& t : temporaries) ::unlink(t.c_str());
    };

    for (const TFileToWrite& file : files) {
        std::string name = dir + "." + file.name + ".XXXXXX";
        const int fd = ::mkstemp(name.data());  // created with mode 0600
        if (fd < 0) {
            const int error = errno;
            removeTemporaries();
            throw EUsage(dir + file.name + ": cannot write: " + ErrnoText(error));
        }
        temporaries.push_back(name);
        const char* data = file.contents.data();
        size_t left = file.contents.size();
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
        if (error == 0 && owner && ::fchown(fd, owner->uid, owner->gid) != 0) error = errno;
        if (error == 0 && ::fsync(fd) != 0) error = errno;
        if (::close(fd) != 0 && error == 0) error = errno;
        if (error != 0) {
            removeTemporaries();
            throw EUsage(dir + file.name + ": cannot write: " + ErrnoText(error));
        }
    }

    for (size_t i = 0; i < files.size(); ++i) {
        const std::string target = dir + files[i].name;
        if (::rename(temporaries[i].c_str(), target.c_str()) != 0) {
            const int error = errno;
            for (size_t j = i; j < temporaries.size(); ++j) ::unlink(temporaries[j].c_str());
            throw EUsage(target + ": cannot write: " + ErrnoText(error));
        }
    }
    // The renames themselves reach the disk with the directory.
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

}  // namespace tarvik::admin
