#pragma once
// A temporary directory that is removed with everything in it when the object goes.

#include <string>

namespace tarvik::test {

class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    // The directory's path, with a trailing separator ("/", or "\\" on Windows).
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }
    // Writes `contents` byte for byte into the named file and returns its path.
    std::string Write(const std::string& name, const std::string& contents) const;

private:
    std::string path_;
};

// Reads a whole file; the empty text when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace tarvik::test
