// SPDX-License-Identifier: MIT
// The bound on one sleep, on its own and as the headless clock keeps it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/clock_service.h"
#include "platform/headless/headless.h"

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

// A time that is no number would otherwise stop the test clock for good: every later reading
// would be no number either.
TEST(Sleep, TheHeadlessClockMovesOnlyByWhatASleepWaits) {
    HeadlessServices services(".");
    services.clock = 100;
    services.sleep(std::numeric_limits<double>::quiet_NaN());
    services.sleep(-5);
    EXPECT_EQ(services.seconds_since_midnight(), 100.0f);
    services.sleep(1e300);
    EXPECT_EQ(services.slept, kLongestSleep);
    EXPECT_EQ(services.seconds_since_midnight(), 100.0f);  // a whole day later
    services.sleep(0.5);
    EXPECT_FALSE(std::isnan(services.seconds_since_midnight()));
    EXPECT_EQ(services.seconds_since_midnight(), 100.5f);
}

}  // namespace
}  // namespace dorvane
