// SPDX-License-Identifier: MIT
// The bound on one sleep: a time that is no number or too long must not hang the program.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/clock_service.h"

namespace dorvane {
namespace {

TEST(Sleep, WaitsWhatIsAskedWithinADayAndNothingForNoTime) {
    EXPECT_EQ(wait_bound(0.01), 0.01);
    EXPECT_EQ(wait_bound(2.0), 2.0);
    EXPECT_EQ(wait_bound(86399.5), 86399.5);
    for (double none : {0.0, -0.0, -1.0, -std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(wait_bound(none), 0.0) << none;
    for (double huge : {86400.0, 1e12, std::numeric_limits<double>::max(),
                        std::numeric_limits<double>::infinity()})
        EXPECT_EQ(wait_bound(huge), kLongestSleep) << huge;
}

}  // namespace
}  // namespace dorvane
