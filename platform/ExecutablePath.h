#pragma once
// Where the settings files are looked up: the directory of the running executable.

#include <string>

namespace tarvik {

// The directory of the running executable, with its trailing "/". When an override is set
// (tests, the benchmark's run-once mode), that directory is given instead.
std::string ExecutableDirectory();

// The running executable's file name without its directory.
std::string ExecutableFileName();

// `directory` ending in the system's separator ("/", or "\\" on Windows, where a "/" it ends
// in already counts), for a file name to be put after it.
std::string WithDirectorySeparator(std::string directory);

// Makes ExecutableDirectory() answer `directory` (a trailing "/" is added when missing);
// the empty text removes the override.
void SetExecutableDirectoryOverride(const std::string& directory);

}  // namespace tarvik
