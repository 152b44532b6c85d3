// SPDX-License-Identifier: MIT
#include "platform/posix/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace dorvane {

float PosixClock::seconds_since_midnight() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec +
                     static_cast<double>(now.tv_nsec) / 1e9;
    return static_cast<float>(seconds);
}

void PosixClock::sleep(double seconds) {
    // A huge or non-numeric time would overflow the conversion to the clock's ticks.
    seconds = wait_bound(seconds);
    if (seconds > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

}  // namespace dorvane
