// The performance counter; GetTickCount where the system has no such counter.

#include <windows.h>

#include "platform/SystemServices.h"

namespace tarvik::system {

uint32_t SeedClockNow() {
    LARGE_INTEGER counter;
    if (::QueryPerformanceCounter(&counter)) return static_cast<uint32_t>(counter.QuadPart);
    return static_cast<uint32_t>(::GetTickCount());
}

}  // namespace tarvik::system
