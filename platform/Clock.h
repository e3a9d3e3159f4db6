#pragma once
// The clock that re-seeds the cipher's random generator before each draw. Tests replace its
// source so that a cipher text becomes predictable.

#include <cstdint>
#include <functional>

namespace tarvik {

// The low 32 bits of the system's high-resolution counter (the performance counter on Windows,
// the raw monotonic clock in nanoseconds on Linux); where there is none, the milliseconds since
// the system started. A source set by SetCipherSeedClock wins.
uint32_t CipherSeedClock();

// Replaces the source that CipherSeedClock reads; an empty function restores the real clock.
void SetCipherSeedClock(std::function<uint32_t()> clock);

}  // namespace tarvik
