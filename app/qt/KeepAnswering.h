#pragma once
// A window that works through a long run without its event loop still answers the system: a
// window manager that pings its windows marks one that does not answer as hung (and offers to
// kill it), and nothing is repainted meanwhile.

namespace tarvik {

// Processes the pending events now and then (at most every few tens of milliseconds, however
// often it is called): keyboard and mouse input is dropped, as the window takes none while it
// works (not kept for later, where a click would land after the run); everything else (paint,
// timers, the window manager's requests) is delivered.
void KeepAnswering();

}  // namespace tarvik
