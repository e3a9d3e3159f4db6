#pragma once

#include <string>
#include <string_view>

namespace tarvik::test {

// Two upper-case hex digits per byte, the form connection.conf stores its values in.
std::string HexEncode(std::string_view bytes);

}  // namespace tarvik::test
