#pragma once
// The data layer's wait cursor on Windows. The run does not let the message loop run, so the
// cursor is set at once when the layer asks; the window keeps it while the layer works by
// answering WM_SETCURSOR with it.

#include "platform/WaitCursor.h"

namespace tarvik {

// Lets the data layer's TWaitCursor (platform/WaitCursor.h) set the program's cursor.
void InstallCursorHook();
bool WaitCursorShown();
void ShowCursorShape(TCursorShape shape);

}  // namespace tarvik
