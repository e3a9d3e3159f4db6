#pragma once
#include <string>

namespace tarvik::bench {

// The program's whole life through its own RunProgram, offscreen, with the settings files
// found in `directory`: "Iniciar" clicked once the window is up, the completion box closed at
// once, then the window. Returns 0 when the run completed, 1 when an error box was shown.
int RunOnce(const std::string& directory);

}  // namespace tarvik::bench
