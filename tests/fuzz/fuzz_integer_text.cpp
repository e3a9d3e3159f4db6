// The integer text rule (TryStrToInt) against a reference reading of the rule written here
// independently, and TextToBranchNumber, whose only permitted failure is EVariantError.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "settings/StoreCode.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

int DigitValue(char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    return d < base ? d : -1;
}

// Spaces, an optional sign, then decimal digits or "$", "x", "X", "0x", "0X" and hex digits;
// nothing after. Decimal within 32 bits signed, hex within 32 bits as a two's-complement pattern.
bool ReferenceStrToInt(std::string_view s, int32_t& value) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    } else if (!s.empty() && (s.front() == '$' || s.front() == 'x' || s.front() == 'X')) {
        base = 16;
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    for (char c : s)
        if (DigitValue(c, base) < 0) return false;
    while (s.size() > 1 && s.front() == '0') s.remove_prefix(1);
    if (s.size() > (base == 16 ? 8u : 10u)) return false;
    uint64_t magnitude = 0;
    for (char c : s) magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(DigitValue(c, base));
    if (base == 16) {
        const uint32_t pattern = static_cast<uint32_t>(magnitude);
        value = static_cast<int32_t>(negative ? 0u - pattern : pattern);
        return true;
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull)) return false;
    value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    constexpr int32_t kUntouched = 0x5A5A5A5A;
    int32_t value = kUntouched;
    int32_t expected = kUntouched;
    const bool ok = tarvik::TryStrToInt(text, value);
    const bool expectedOk = ReferenceStrToInt(text, expected);
    if (ok != expectedOk || value != expected) {
        tarvik::fuzz::Dump("text", text);
        std::fprintf(stderr, "TryStrToInt: %d %d, reference: %d %d\n", ok, value, expectedOk, expected);
        FUZZ_CHECK(ok == expectedOk);
        FUZZ_CHECK(value == expected);
    }

    int32_t viaVariant = 0;
    const tarvik::TVariantResult variant = tarvik::VarI4FromStr(text, viaVariant);
    try {
        const int32_t number = tarvik::TextToBranchNumber(text);
        FUZZ_CHECK(variant != tarvik::TVariantResult::Overflow);
        if (variant == tarvik::TVariantResult::Ok)
            FUZZ_CHECK(number == viaVariant);
        else if (ok)
            FUZZ_CHECK(number == value);
        else
            FUZZ_CHECK(number == 0 || number == 1);
    } catch (const tarvik::EVariantError& e) {
        if (variant == tarvik::TVariantResult::Overflow) {
            FUZZ_CHECK(e.Message() == "Overflow while converting variant of type (String) into type (Integer)");
        } else {
            FUZZ_CHECK(variant == tarvik::TVariantResult::TypeMismatch && !ok);
            FUZZ_CHECK(e.Message() == "Could not convert variant of type (String) into type (Boolean)");
        }
    }
    return 0;
}
