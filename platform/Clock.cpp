#include "platform/Clock.h"

#include <utility>

#include "platform/SystemServices.h"

namespace tarvik {
namespace {

std::function<uint32_t()>& ClockOverride() {
    static std::function<uint32_t()> clock;
    return clock;
}

}  // namespace

uint32_t CipherSeedClock() {
    if (const auto& clock = ClockOverride()) return clock();
    return system::SeedClockNow();
}

void SetCipherSeedClock(std::function<uint32_t()> clock) { ClockOverride() = std::move(clock); }

}  // namespace tarvik
