#include "app/win32/KeepAnswering.h"

#include <windows.h>

namespace tarvik {
namespace {

// Often enough that the system never sees the queue stand, seldom enough that a run of many
// products pays nothing for it.
constexpr ULONGLONG kIntervalMs = 50;

}  // namespace

void KeepAnswering() {
    static ULONGLONG last = 0;
    const ULONGLONG now = ::GetTickCount64();
    if (now - last < kIntervalMs) return;
    last = now;
    MSG message;
    // Input first, all of it, the non-client kind too (a click on the frame's close box).
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
    }
    // Then the rest; messages sent by other threads and processes are answered inside the peek.
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        // Input posted by hand rather than typed is still input.
        if ((message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
            (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) ||
            (message.message >= WM_NCMOUSEMOVE && message.message <= WM_NCXBUTTONDBLCLK))
            continue;
        ::DispatchMessageW(&message);
    }
}

}  // namespace tarvik
