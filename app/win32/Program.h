#pragma once
// The Windows program's life from start to exit (app/ProgramLife.h gives the order).

namespace tarvik {

// `showCommand` is how the system asked the window to show (maximised or minimised when the
// program was started so). Returns the exit code, always 0.
int RunProgram(int showCommand);

}  // namespace tarvik
