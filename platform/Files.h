#pragma once
// The file system as the administrator's tool needs it: what a name is, and the settings
// files written whole or not at all. One implementation per system (linux/Files.cpp,
// windows/Files.cpp).
//
// Where the systems differ: on Linux the files are created with mode 0600 and can be given to
// another account (the one that runs the window). On Windows a new file takes the permissions
// of its folder (a password file is protected by the folder it is put in, as the window's
// installer lays it out), an existing one is replaced in place (ReplaceFileW) and keeps its
// permissions and attributes, read-only included, and no account is looked up: FindAccount
// refuses.

#include <optional>
#include <string>
#include <vector>

#include "platform/Errors.h"

namespace tarvik {

// A file that cannot be written, with the system's reason; `index` is the position of the
// file at fault in the list given to WriteFilesWhole.
class EFileWriteError : public Exception {
public:
    EFileWriteError(size_t index, std::string reason) : Exception(std::move(reason)), index_(index) {}
    size_t Index() const noexcept { return index_; }

private:
    size_t index_;
};

// An account that cannot be looked up; the text says why.
class EAccountError : public Exception {
    using Exception::Exception;
};

bool IsDirectory(const std::string& path);
bool IsRegularFile(const std::string& path);
// The whole of a regular file's bytes; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& contents);
// Anything by that name, a link that leads nowhere included.
bool NameExists(const std::string& path);

// The user and group ids of an account given by name or number. A number is an account id as
// it is, never cut to fit the id type. Throws EAccountError when there is no such account, for
// a number that is no account id (the highest id included: it means "leave the owner" to the
// system), and always on Windows.
struct TFileOwner {
    unsigned long uid = 0;
    unsigned long gid = 0;
};
TFileOwner FindAccount(const std::string& account);

struct TFileContents {
    std::string path;
    std::string contents;
};

// Writes every file to a temporary name beside it (readable by its owner only on Linux,
// flushed to disk, given to `owner` when one is named), and only when all of them are
// written moves them into place; an existing file waits under another name until every file
// is in place, so that a failure, also one while moving them into place (a directory by one
// of the names, say), leaves no file half-written and none replaced (on a Linux file system
// that cannot exchange two names, what was replaced before the failure stays replaced).
// Throws EFileWriteError for the file that fails; the temporaries are gone.
void WriteFilesWhole(const std::vector<TFileContents>& files, const std::optional<TFileOwner>& owner);

}  // namespace tarvik
