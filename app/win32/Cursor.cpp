#include "app/win32/Cursor.h"

#include <windows.h>

namespace tarvik {
namespace {
TCursorShape g_shape = TCursorShape::Default;
}  // namespace

void ShowCursorShape(TCursorShape shape) {
    SetCursor(LoadCursorW(nullptr, shape == TCursorShape::Wait ? IDC_WAIT : IDC_ARROW));
}

bool WaitCursorShown() { return g_shape == TCursorShape::Wait; }

void InstallCursorHook() {
    TCursorHook hook;
    hook.get = [] { return g_shape; };
    hook.set = [](TCursorShape shape) {
        g_shape = shape;
        ShowCursorShape(shape);
    };
    SetCursorHook(std::move(hook));
}

}  // namespace tarvik
