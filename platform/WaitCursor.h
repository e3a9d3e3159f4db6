#pragma once
// The wait cursor, reported by the data layers without knowing the desktop toolkit.
//
// The window installs a hook that reads and sets the application's cursor. A TWaitCursor
// remembers the cursor that showed when it was made, shows the wait cursor, and puts the
// remembered one back when it goes (also when an error unwinds it), so nested steps end
// with the cursor that showed before the outermost one. Without a hook it does nothing.

#include <functional>

namespace tarvik {

enum class TCursorShape { Default, Wait };

struct TCursorHook {
    std::function<TCursorShape()> get;
    std::function<void(TCursorShape)> set;
};

void SetCursorHook(TCursorHook hook);
void ClearCursorHook();

class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    TCursorShape saved_ = TCursorShape::Default;
    bool active_ = false;
};

}  // namespace tarvik
