#pragma once
#include <string>

namespace tarvik::bench {

// One generation run through the window's own code, offscreen, with the settings files found
// in `directory` and the completion box closed at once. Returns the process exit code.
int RunOnce(const std::string& directory);

}  // namespace tarvik::bench
