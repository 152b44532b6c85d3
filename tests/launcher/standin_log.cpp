// SPDX-License-Identifier: MIT
#include "standin_log.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace dorvane::testing {

std::vector<StandinEvent> read_standin_log(const std::string& path) {
    std::vector<StandinEvent> events;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        // The fields every line opens with: {"event":"…","t":…,"pid":…,
        std::size_t t = line.find(",\"t\":"), pid = line.find(",\"pid\":");
        if (line.rfind("{\"event\":\"", 0) == 0 && t != std::string::npos &&
            pid != std::string::npos)
            events.push_back({line.substr(10, t - 11), std::atof(line.c_str() + t + 5),
                              std::atoi(line.c_str() + pid + 7), line});
    }
    return events;
}

std::vector<StandinEvent> events_of(const std::vector<StandinEvent>& events, int pid,
                                    const std::string& kind) {
    std::vector<StandinEvent> out;
    std::ranges::copy_if(events, std::back_inserter(out), [&](const StandinEvent& e) {
        return (!pid || e.pid == pid) && (kind.empty() || e.event == kind);
    });
    return out;
}

double monotonic_now() {  // the steady clock is CLOCK_MONOTONIC, as the stand-in's
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    bool met = condition();
    for (; !met && std::chrono::steady_clock::now() < end; met = condition())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return met;
}

}  // namespace dorvane::testing
