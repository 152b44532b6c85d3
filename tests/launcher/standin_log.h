// SPDX-License-Identifier: MIT
// Reading the stand-in program's log (a JSON object a line; tools/standin).
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

double monotonic_now();  // seconds on the stand-in's clock

// Polls `condition` until it holds or `limit` has passed; returns its last value.
bool wait_until(const std::function<bool()>& condition,
                std::chrono::milliseconds limit = std::chrono::seconds(10));

}  // namespace dorvane::testing
