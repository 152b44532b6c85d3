// SPDX-License-Identifier: MIT
// Clock and chance: the time of day, a wait, and the program's one random source. None of them
// can fail: the clock always has a reading, a wait always ends, the source always has a number.
#pragma once

namespace dorvane {

// The longest one sleep() waits: no time asked for, however large, holds the program for good.
constexpr double kLongestSleep = 86400;

// What sleep(seconds) waits: zero for zero, a negative time or not a number; at most a day.
constexpr double wait_bound(double seconds) {
    if (!(seconds > 0))
        return 0;
    return seconds < kLongestSleep ? seconds : kLongestSleep;
}

class ClockService {
  public:
    virtual ~ClockService() = default;

    // Local time of day, in seconds since midnight (it restarts at midnight).
    virtual float seconds_since_midnight() = 0;
    // Waits at least `seconds`, as bounded by wait_bound, without handling any window event,
    // also when a signal comes in meanwhile.
    virtual void sleep(double seconds) = 0;
    // Uniform in [0, 1), the same sequence in every run.
    virtual float random() = 0;
};

}  // namespace dorvane
