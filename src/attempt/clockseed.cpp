// The seed of the question order from the system's finest clock.
#include "questionorder.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <chrono>
#include <time.h>
#endif

namespace merilon {

std::uint32_t clockSeed()
{
#ifdef Q_OS_WIN
    LARGE_INTEGER counter;
    if (QueryPerformanceCounter(&counter))
        return static_cast<std::uint32_t>(counter.QuadPart);
    return static_cast<std::uint32_t>(GetTickCount());
#else
    timespec now{};
#ifdef CLOCK_MONOTONIC_RAW
    if (clock_gettime(CLOCK_MONOTONIC_RAW, &now) == 0)
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
                                          static_cast<std::uint64_t>(now.tv_nsec));
#endif
    if (clock_gettime(CLOCK_MONOTONIC, &now) == 0)
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u +
                                          static_cast<std::uint64_t>(now.tv_nsec));
    // A tick count in milliseconds, as a last resort.
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
#endif
}

} // namespace merilon
