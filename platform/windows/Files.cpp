// The file system through the Win32 file API, with wide paths.

#include "platform/Files.h"
#include "platform/SystemServices.h"
#include "platform/windows/WideText.h"

#include <windows.h>

namespace tarvik {

using system::SystemErrorText;
using system::WidePath;

namespace {

DWORD Attributes(const std::string& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(WidePath(path).c_str());
}

// A file already in place, replaced by its new contents: `aside` holds the old one until every
// file is in place, and `attributes` are the old file's, read-only included.
struct TReplaced {
    std::wstring aside;
    DWORD attributes = 0;
};

// Puts the old file back in its place, with its attributes.
void PutBack(const std::wstring& target, const TReplaced& old) {
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (::MoveFileExW(old.aside.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ::SetFileAttributesW(target.c_str(), old.attributes);
}

}  // namespace

bool IsDirectory(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsRegularFile(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool NameExists(const std::string& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool ReadWholeFile(const std::string& path, std::string& contents) {
    if (!IsRegularFile(path)) return false;
    const HANDLE file = ::CreateFileW(WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    contents.clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0) && got > 0) contents.append(buffer, got);
    ::CloseHandle(file);
    return ok;
}

TFileOwner FindAccount(const std::string&) {
    throw EAccountError("not available on Windows: the files take the permissions of their folder");
}

void WriteFilesWhole(const std::vector<TFileContents>& files, const std::optional<TFileOwner>&) {
    std::vector<std::wstring> temporaries;
    const auto removeTemporaries = [&temporaries] {
        for (const std::wstring& t : temporaries) ::DeleteFileW(t.c_str());
    };

    static unsigned counter = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::wstring path = WidePath(files[i].path);
        const size_t slash = path.find_last_of(L"\\/");
        const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
        HANDLE file = INVALID_HANDLE_VALUE;
        std::wstring name;
        DWORD error = 0;
        // A new name each time, never an existing file opened.
        for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
            name = path.substr(0, nameStart) + L"." + path.substr(nameStart) + L"." +
                   std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
            file = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
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

    // Into place. An existing file is replaced in place (ReplaceFileW), so that the new one
    // keeps its permissions and attributes, and the old one waits under a name of its own until
    // every file is in place; when one cannot be placed (a folder of that name, say), the ones
    // before it are put back as they were. A read-only file cannot be replaced: the attribute
    // is taken off for the exchange and given to the new file.
    std::vector<TReplaced> replaced(files.size());
    size_t placed = 0;
    DWORD error = 0;
    for (; placed < files.size(); ++placed) {
        const std::wstring target = WidePath(files[placed].path);
        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            TReplaced old{temporaries[placed] + L".old", attributes};
            if ((attributes & FILE_ATTRIBUTE_READONLY) &&
                !::SetFileAttributesW(target.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
                error = ::GetLastError();
                break;
            }
            if (!::ReplaceFileW(target.c_str(), temporaries[placed].c_str(), old.aside.c_str(),
                                REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
                error = ::GetLastError();
                // Whatever failed, the old file is either still in place or under the backup name.
                if (::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES)
                    ::MoveFileExW(old.aside.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
                ::SetFileAttributesW(target.c_str(), attributes);
                break;
            }
            // The aside is the old file itself: writable now, so that it can go at the end.
            ::SetFileAttributesW(target.c_str(), attributes);
            replaced[placed] = old;
            continue;
        }
        if (!::MoveFileExW(temporaries[placed].c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            error = ::GetLastError();
            break;
        }
    }
    // Puts the first `count` files back as they were, last first, and removes the temporaries.
    const auto rollBack = [&](size_t count) {
        for (size_t j = count; j-- > 0;) {
            const std::wstring target = WidePath(files[j].path);
            if (replaced[j].aside.empty())
                ::DeleteFileW(target.c_str());
            else
                PutBack(target, replaced[j]);
        }
        removeTemporaries();
    };
    // The old files go last, all or none: each is opened for deletion and marked, and only
    // when every one is marked do the handles close and the files go. One that cannot go
    // (another program holds it open, say) would leave its contents, the old enciphered
    // password among them, beside the new file: every file is put back as it was instead, and
    // that is the error.
    if (error == 0) {
        std::vector<HANDLE> olds;
        size_t failed = files.size();
        for (size_t j = 0; j < files.size() && failed == files.size(); ++j) {
            if (replaced[j].aside.empty()) continue;
            const HANDLE old = ::CreateFileW(replaced[j].aside.c_str(), DELETE,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            FILE_DISPOSITION_INFO dispose{TRUE};
            if (old == INVALID_HANDLE_VALUE) {
                error = ::GetLastError();
                failed = j;
            } else {
                olds.push_back(old);
                if (!::SetFileInformationByHandle(old, FileDispositionInfo, &dispose, sizeof dispose)) {
                    error = ::GetLastError();
                    failed = j;
                }
            }
        }
        if (failed == files.size()) {
            for (const HANDLE old : olds) ::CloseHandle(old);
            return;
        }
        for (const HANDLE old : olds) {
            FILE_DISPOSITION_INFO keep{FALSE};
            ::SetFileInformationByHandle(old, FileDispositionInfo, &keep, sizeof keep);
            ::CloseHandle(old);
        }
        rollBack(files.size());
        throw EFileWriteError(failed, SystemErrorText(error));
    }
    rollBack(placed);
    throw EFileWriteError(placed, SystemErrorText(error));
}

}  // namespace tarvik
