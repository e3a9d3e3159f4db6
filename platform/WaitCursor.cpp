#include "platform/WaitCursor.h"

namespace tarvik {
namespace {
TCursorHook& Hook() {
    static TCursorHook hook;
    return hook;
}
}  // namespace

void SetCursorHook(TCursorHook hook) { Hook() = std::move(hook); }
void ClearCursorHook() { Hook() = TCursorHook{}; }

TWaitCursor::TWaitCursor() {
    const TCursorHook& hook = Hook();
    if (!hook.get || !hook.set) return;
    saved_ = hook.get();
    active_ = true;
    hook.set(TCursorShape::Wait);
}

TWaitCursor::~TWaitCursor() {
    const TCursorHook& hook = Hook();
    if (active_ && hook.set) hook.set(saved_);
}

}  // namespace tarvik
