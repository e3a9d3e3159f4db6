#pragma once
// The clocks that re-seed the cipher's random generator. Tests replace the source so that a
// cipher text becomes predictable.

#include <cstdint>
#include <functional>

namespace tarvik {

// The low 32 bits of the high-resolution monotonic counter (nanoseconds); when that clock is not
// available, the milliseconds since the system started. A source set by SetCipherSeedClock wins.
uint32_t CipherSeedClock();

// Replaces the source that CipherSeedClock reads; an empty function restores the real clock.
void SetCipherSeedClock(std::function<uint32_t()> clock);

}  // namespace tarvik
