// SPDX-License-Identifier: MIT
#include "standin_log.h"

#include <cstdio>
#include <fstream>
#include <thread>

namespace dorvane::testing {

std::vector<StandinEvent> read_standin_log(const std::string& path) {
    std::vector<StandinEvent> events;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        char kind[32];
        StandinEvent e{.line = line};
        if (std::sscanf(line.c_str(), "{\"event\":\"%31[^\"]\",\"t\":%lf,\"pid\":%d", kind, &e.t,
                        &e.pid) == 3)
            events.push_back({kind, e.t, e.pid, line});
    }
    return events;
}

std::vector<StandinEvent> events_of(const std::vector<StandinEvent>& events, int pid,
                                    const std::string& kind) {
    std::vector<StandinEvent> out;
    for (const StandinEvent& e : events)
        if ((!pid || e.pid == pid) && (kind.empty() || e.event == kind))
            out.push_back(e);
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
