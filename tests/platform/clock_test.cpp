// SPDX-License-Identifier: MIT
// The bound on one sleep: a time that is no number or too long must not hang the program.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/clock_service.h"

namespace dorvane {
namespace {

TEST(Sleep, WaitsWhatIsAskedWithinADayAndNothingForNoTime) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double t : {0.01, 2.0, 86399.5})
        EXPECT_EQ(wait_bound(t), t);
    for (double none : {0.0, -1.0, -inf, std::nan("")})
        EXPECT_EQ(wait_bound(none), 0.0) << none;
    for (double huge : {86400.0, 1e12, inf})
        EXPECT_EQ(wait_bound(huge), kLongestSleep) << huge;
}

}  // namespace
}  // namespace dorvane
