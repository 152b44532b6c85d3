// SPDX-License-Identifier: MIT
// Reading what the stand-in program wrote down (one JSON object a line; see tools/standin), for
// the X11 launch tests and the launch benchmark.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace dorvane::testing {

struct StandinEvent {
    std::string event;  // "start", "mapped", "focus", "maximised", "key", "detached", "exit"
    double t = 0;       // monotonic clock, seconds
    int pid = 0;
    std::string line;  // the whole line, for the fields of each kind
};

std::vector<StandinEvent> read_standin_log(const std::string& path);

// The events of one process (0: of any), of one kind (empty: of any).
std::vector<StandinEvent> events_of(const std::vector<StandinEvent>& events, int pid,
                                    const std::string& kind = "");

// Seconds on the clock the stand-in uses.
double monotonic_now();

// Polls `condition` until it holds or `limit` has passed; returns its last value.
bool wait_until(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace dorvane::testing
