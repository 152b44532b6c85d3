#include "real_processes.h"

#include <ctime>
#include <thread>

#include "standin_log.h"

namespace dorvane::testing {

RealProcessServices::RealProcessServices(std::string folder, Display* display,
                                         x11::ProcessTimings timings)
    : HeadlessServices(std::move(folder)), processes_(display, timings) {}

std::optional<TaskId> RealProcessServices::start_program(const std::string& command_line) {
    std::optional<TaskId> task = processes_.start_program(command_line);
    log.push_back((task ? "start " : "start-failed ") + command_line);
    if (task) {
        started.push_back(command_line);
        tasks.push_back(*task);
    }
    return task;
}

bool RealProcessServices::activate(TaskId task) {
    bool ok = processes_.activate(task);
    activations.push_back(monotonic_now());
    log.push_back((ok ? "activate " : "activate-failed ") + std::to_string(task));
    return ok;
}

bool RealProcessServices::send_keys(const std::string& keys) {
    bool ok = processes_.send_keys(keys);
    log.push_back((ok ? "keys " : "keys-failed ") + keys);
    return ok;
}

float RealProcessServices::seconds_since_midnight() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec +
                              ts.tv_nsec / 1e9);
}

void RealProcessServices::sleep(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    slept += seconds;
}

}  // namespace dorvane::testing
