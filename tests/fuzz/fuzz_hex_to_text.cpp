// HexToText on arbitrary text: it either refuses a bad pair with a conversion error, or gives
// one byte per pair that encodes back to the input.

#include <cstddef>
#include <cstdint>
#include <string>

#include "identification/UConnectionInfoClass.h"
#include "platform/Errors.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t pairs = text.size() / 2;
    bool bad = false;
    for (size_t i = 0; i < 2 * pairs; ++i)
        if (!tarvik::fuzz::IsHexDigit(text[i])) bad = true;

    std::string decoded;
    try {
        decoded = tarvik::HexToText(text);
    } catch (const tarvik::EConvertError& e) {
        FUZZ_CHECK(bad);
        // The message names the text as far as a C string carries it.
        FUZZ_CHECK(e.Message() == "'" + std::string(text.c_str()) + "' is not a valid hexadecimal text");
        return 0;
    }
    FUZZ_CHECK(!bad);
    FUZZ_CHECK(decoded.size() == pairs);
    FUZZ_CHECK(tarvik::fuzz::HexLower(decoded) == tarvik::fuzz::Lower(text.substr(0, 2 * pairs)));
    return 0;
}
