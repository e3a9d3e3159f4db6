// The file system through the Win32 file API.

#include "platform/Files.h"
#include "platform/SystemServices.h"

#include <windows.h>

namespace tarvik {

using system::SystemErrorText;

bool IsDirectory(const std::string& path) {
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsRegularFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool NameExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TFileOwner FindAccount(const std::string&) {
    throw EAccountError("not available on Windows: the files take the permissions of their folder");
}

void WriteFilesWhole(const std::vector<TFileContents>& files, const std::optional<TFileOwner>&) {
    std::vector<std::string> temporaries;
    const auto removeTemporaries = [&temporaries] {
        for (const std::string& t : temporaries) ::DeleteFileA(t.c_str());
    };

    static unsigned counter = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& path = files[i].path;
        const size_t slash = path.find_last_of("\\/");
        const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
        HANDLE file = INVALID_HANDLE_VALUE;
        std::string name;
        DWORD error = 0;
        // A new name each time, never an existing file opened.
        for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
            name = path.substr(0, nameStart) + "." + path.substr(nameStart) + "." +
                   std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++counter);
            file = ::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            error = file == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
        }
        if (file == INVALID_HANDLE_VALUE) {
            removeTemporaries();
            throw EFileWriteError(i, SystemErrorText(error));
        }
        temporaries.push_back(name);
        const char* data = files[i].contents.data();
        size_t left = files[i].contents.size();
        while (left > 0 && error == 0) {
            DWORD written = 0;
            const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
            if (!::WriteFile(file, data, chunk, &written, nullptr)) {
                error = ::GetLastError();
                break;
            }
            data += written;
            left -= written;
        }
        if (error == 0 && !::FlushFileBuffers(file)) error = ::GetLastError();
        if (!::CloseHandle(file) && error == 0) error = ::GetLastError();
        if (error != 0) {
            removeTemporaries();
            throw EFileWriteError(i, SystemErrorText(error));
        }
    }

    // Into place. A file that exists is first moved aside to a name of its own, so that its old
    // contents wait there until every file is in place; when one cannot be placed (a folder of
    // that name, say), the ones before it are put back as they were.
    std::vector<std::string> setAside(files.size());
    size_t placed = 0;
    DWORD error = 0;
    for (; placed < files.size(); ++placed) {
        const std::string& target = files[placed].path;
        const DWORD attributes = ::GetFileAttributesA(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            const std::string aside = temporaries[placed] + ".old";
            if (!::MoveFileExA(target.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) {
                error = ::GetLastError();
                break;
            }
            setAside[placed] = aside;
        }
        if (!::MoveFileExA(temporaries[placed].c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            error = ::GetLastError();
            if (!setAside[placed].empty())
                ::MoveFileExA(setAside[placed].c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
            setAside[placed].clear();
            break;
        }
    }
    if (error != 0) {
        for (size_t j = placed; j-- > 0;) {
            const std::string& target = files[j].path;
            if (setAside[j].empty())
                ::DeleteFileA(target.c_str());
            else
                ::MoveFileExA(setAside[j].c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }
        removeTemporaries();
        throw EFileWriteError(placed, SystemErrorText(error));
    }
    for (const std::string& aside : setAside)
        if (!aside.empty()) ::DeleteFileA(aside.c_str());
}

}  // namespace tarvik
