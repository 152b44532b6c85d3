// SPDX-License-Identifier: MIT
// Clock and chance: the time of day, a wait, and the program's one random source. None of them
// can fail: the clock always has a reading, the source always has a number.
#pragma once

namespace dorvane {

class ClockService {
  public:
    virtual ~ClockService() = default;

    // Local time of day, in seconds since midnight (it restarts at midnight).
    virtual float seconds_since_midnight() = 0;
    // Waits at least `seconds` without handling any window event, also when a signal comes in
    // meanwhile.
    virtual void sleep(double seconds) = 0;
    // Uniform in [0, 1), the same sequence in every run.
    virtual float random() = 0;
};

}  // namespace dorvane
