#include "tests/support/HexEncode.h"

#include "platform/Text.h"

namespace tarvik::test {

std::string HexEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) AppendHexByte(out, static_cast<unsigned char>(c));
    return out;
}

}  // namespace tarvik::test
