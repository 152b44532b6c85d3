// The headless backend with real process services, a real clock and real sleeps: the launcher
// commands of the core run against real programs in an X server, without the window toolkit.
// Each process step is still logged, stamped with the monotonic clock the stand-in uses.
#pragma once

#include "platform/x11/process.h"

#include "platform/headless/headless.h"

namespace dorvane::testing {

class RealProcessServices : public HeadlessServices {
  public:
    RealProcessServices(std::string folder, Display* display, x11::ProcessTimings timings = {});

    std::optional<TaskId> start_program(const std::string& command_line) override;
    bool activate(TaskId task) override;
    bool send_keys(const std::string& keys) override;
    float seconds_since_midnight() override;
    void sleep(double seconds) override;

    // Monotonic times at which the activations returned, in order.
    std::vector<double> activations;
    std::vector<TaskId> tasks;  // every task started, for the test to end them

  private:
    x11::X11Processes processes_;
};

}  // namespace dorvane::testing
