#pragma once
// The settings files of one directory, as the program finds them beside its executable, and
// how the tool writes them.

#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace tarvik::admin {

// Makes the program's readers look in `directory` instead of beside the executable, for as
// long as the object lives; the process-wide connection info and identification record are
// forgotten on both ends, so each subcommand reads its directory afresh. Throws EUsage when
// the directory does not exist.
class TSettingsDirectory {
public:
    explicit TSettingsDirectory(const std::string& directory);
    ~TSettingsDirectory();
    TSettingsDirectory(const TSettingsDirectory&) = delete;
    TSettingsDirectory& operator=(const TSettingsDirectory&) = delete;

    // The directory with a trailing separator ("\\" on Windows).
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The default the tool reads a settings key with: never a value the tool writes, so that a
// missing key is told apart from any value read back.
inline constexpr const char* kAbsent = "\x01(absent)";

// Throws EUsage when `directory` is not an existing directory.
void RequireDirectory(const std::string& directory);

struct TFileToWrite {
    std::string name;      // inside the directory
    std::string contents;
};

// The files of `directory` among `files` that exist already.
std::vector<std::string> ExistingFiles(const std::string& directory, const std::vector<TFileToWrite>& files);

// The user and group ids of an account, by name or number; throws EUsage for an unknown one
// and for a number that is no account id.
TFileOwner LookUpOwner(const std::string& account);

// Writes every file to a temporary name in `directory` (on Linux mode 0600 and given to `owner`
// when one is named; on Windows with the folder's permissions, and an existing file replaced
// in place keeps its own; flushed to disk either way), and only when all of them are written puts them into place (see
// WriteFilesWhole), so that a failure, also one while putting them in place, leaves no file
// half-written and none replaced. Throws EUsage naming the file on any failure.
void WriteFilesInPlace(const std::string& directory, const std::vector<TFileToWrite>& files,
                       const std::optional<TFileOwner>& owner = std::nullopt);

}  // namespace tarvik::admin
