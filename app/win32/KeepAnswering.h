#pragma once
// A window that works through a long run without its message loop still answers the system:
// Windows marks a window "Not Responding" (and offers to end it) when its queue goes unread
// for a few seconds, and shows a frozen copy in its place.

namespace tarvik {

// Reads the thread's queue now and then (at most every few tens of milliseconds, however
// often it is called): keyboard and mouse input is dropped, as the window takes none while
// it works; everything else (paint, timers, the system's and the window manager's requests)
// is dispatched. A quit request stays in the queue for the message loop.
void KeepAnswering();

}  // namespace tarvik
