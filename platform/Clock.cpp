#include "platform/Clock.h"

#include <time.h>

#include <utility>

namespace tarvik {
namespace {

std::function<uint32_t()>& ClockOverride() {
    static std::function<uint32_t()> clock;
    return clock;
}

}  // namespace

uint32_t CipherSeedClock() {
    if (const auto& clock = ClockOverride()) return clock();
    timespec now{};
    if (::clock_gettime(CLOCK_MONOTONIC_RAW, &now) == 0 || ::clock_gettime(CLOCK_MONOTONIC, &now) == 0) {
        const uint64_t ns = static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
        return static_cast<uint32_t>(ns);
    }
    // No high-resolution counter: fall back to the milliseconds since boot.
    if (::clock_gettime(CLOCK_BOOTTIME, &now) == 0)
        return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                     static_cast<uint64_t>(now.tv_nsec) / 1000000u);
    return 0;
}

void SetCipherSeedClock(std::function<uint32_t()> clock) { ClockOverride() = std::move(clock); }

}  // namespace tarvik
