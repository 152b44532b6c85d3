// SPDX-License-Identifier: MIT
#include "standin_log.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "tools/standin/json_text.h"

#include <thread>

namespace dorvane::testing {

namespace {

std::string field(const std::string& line, const std::string& name) {
    std::string key = "\"" + name + "\":";
    std::size_t at = line.find(key);
    if (at == std::string::npos)
        return "";
    at += key.size();
    if (line[at] == '"')
        return line.substr(at + 1, line.find('"', at + 1) - at - 1);
    return line.substr(at, line.find_first_of(",}", at) - at);
}

}  // namespace

std::vector<StandinEvent> read_standin_log(const std::string& path) {
    std::vector<StandinEvent> events;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        StandinEvent e;
        e.event = field(line, "event");
        e.t = std::atof(field(line, "t").c_str());
        e.pid = std::atoi(field(line, "pid").c_str());
        e.line = line;
        events.push_back(e);
    }
    return events;
}

std::vector<StandinEvent> events_of(const std::vector<StandinEvent>& events, int pid,
                                    const std::string& kind) {
    std::vector<StandinEvent> out;
    for (const StandinEvent& e : events) {
        if (e.pid == pid && (kind.empty() || e.event == kind))
            out.push_back(e);
    }
    return out;
}

std::string json_array(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (const std::string& text : texts) {
        if (out.size() >
            1)  // appended apart: GCC 12 warns falsely (-Wrestrict) on "," + a temporary
            out += ',';
        out += standin::json_text(text);
    }
    return out + "]";
}

double monotonic_now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace dorvane::testing
