// SPDX-License-Identifier: MIT
// Clock and chance on a POSIX system: the local time of day, a wait that a signal does not cut
// short, and the program's random source.
#pragma once

#include "platform/clock_service.h"
#include "platform/random.h"

namespace dorvane {

class PosixClock : public ClockService {
  public:
    float seconds_since_midnight() override;
    void sleep(double seconds) override;
    float random() override { return random_.next(); }

  private:
    RandomSource random_;
};

}  // namespace dorvane
