#include "tools/admin/Files.h"

#include "identification/UConnectionInfoClass.h"
#include "identification/UIdentificacaoServidorClass.h"
#include "platform/ExecutablePath.h"
#include "platform/Files.h"
#include "tools/admin/ExitStatus.h"
#include "tools/admin/Messages.h"
#include "tools/admin/Text.h"

namespace tarvik::admin {

namespace {

void ForgetProcessWideState() {
    ReleaseIdentificacaoServidor();
    ReleaseConnectionInfo();
}

std::string WithSlash(const std::string& directory) { return WithDirectorySeparator(directory); }

}  // namespace

void RequireDirectory(const std::string& directory) {
    if (directory.empty() || !IsDirectory(WithSlash(directory))) throw EUsage(Fill(admin_messages::kNoDirectory, {directory}));
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
        if (NameExists(path)) existing.push_back(path);
    }
    return existing;
}

TFileOwner LookUpOwner(const std::string& account) {
    try {
        return FindAccount(account);
    } catch (const EAccountError& e) {
        throw EUsage(Fill(admin_messages::kBadOwner, {e.Message()}));
    }
}

void WriteFilesInPlace(const std::string& directory, const std::vector<TFileToWrite>& files,
                       const std::optional<TFileOwner>& owner) {
    const std::string dir = WithSlash(directory);
    std::vector<TFileContents> whole;
    for (const TFileToWrite& file : files) whole.push_back({dir + file.name, file.contents});
    try {
        WriteFilesWhole(whole, owner);
    } catch (const EFileWriteError& e) {
        throw EUsage(Fill(admin_messages::kCannotWrite, {whole[e.Index()].path, e.Message()}));
    }
}

}  // namespace tarvik::admin
