#include "tests/support/TempDir.h"

#include <stdlib.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tarvik::test {

#ifdef _WIN32
// Windows has no mkdtemp: try names made of the process, the clock and a counter until a new
// directory can be created. The path uses the system's own separator, as the program's do.
TTempDir::TTempDir() {
    const std::string base = std::filesystem::temp_directory_path().string();
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = base + (base.empty() || base.back() == '\\' ? "" : "\\") + "tarvik-test-" +
                                 std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount()) +
                                 "-" + std::to_string(++counter);
        if (::CreateDirectoryA(path.c_str(), nullptr)) {
            path_ = path + "\\";
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory");
}
#else
TTempDir::TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern + "/";
}
#endif

TTempDir::~TTempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TTempDir::Write(const std::string& name, const std::string& contents) const {
    const std::string path = File(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
    return path;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace tarvik::test
