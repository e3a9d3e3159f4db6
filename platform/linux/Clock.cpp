// Linux stand-in for the high-resolution performance counter: the raw monotonic clock in
// nanoseconds, and the milliseconds since boot when no monotonic clock is available.

#include <time.h>

#include "platform/SystemServices.h"

namespace tarvik::system {

uint32_t SeedClockNow() {
    timespec now{};
    if (::clock_gettime(CLOCK_MONOTONIC_RAW, &now) == 0 || ::clock_gettime(CLOCK_MONOTONIC, &now) == 0) {
        const uint64_t ns = static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
        return static_cast<uint32_t>(ns);
    }
    if (::clock_gettime(CLOCK_BOOTTIME, &now) == 0)
        return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                     static_cast<uint64_t>(now.tv_nsec) / 1000000u);
    return 0;
}

}  // namespace tarvik::system
