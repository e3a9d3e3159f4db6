// The profile-file lookup on arbitrary file contents, section, key and default.
// Input: "section\nkey\ndefault\n" followed by the file's contents.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ProfileReader.h"
#include "tests/fuzz/FuzzSupport.h"

using tarvik::TProfileReader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto in = tarvik::fuzz::SplitLines(std::string_view(reinterpret_cast<const char*>(data), size), 3);
    const std::string& section = in.line[0];
    const std::string& key = in.line[1];
    const std::string& defaultValue = in.line[2];
    const std::string& contents = in.rest;

    const std::string result = TProfileReader::Lookup(contents, section, key, defaultValue);

    std::string trimmedDefault = defaultValue;
    while (!trimmedDefault.empty() && static_cast<unsigned char>(trimmedDefault.back()) <= 32)
        trimmedDefault.pop_back();
    if (result == trimmedDefault) return 0;

    // Anything but the default is a value taken from one line of the file.
    if (result.size() > TProfileReader::kMaxValueLength || result.find_first_of("\r\n") != std::string::npos ||
        contents.find(result) == std::string::npos) {
        tarvik::fuzz::Dump("section", section);
        tarvik::fuzz::Dump("key", key);
        tarvik::fuzz::Dump("result", result);
        FUZZ_CHECK(result.size() <= TProfileReader::kMaxValueLength);
        FUZZ_CHECK(result.find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(contents.find(result) != std::string::npos);
    }
    return 0;
}
