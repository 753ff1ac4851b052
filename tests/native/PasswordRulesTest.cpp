#include <gtest/gtest.h>

#include "host/PasswordRules.h"

TEST(PasswordRules, OnlyWindows9xAsksAndARefusalPausesTheNextCheck) {
    EXPECT_TRUE(IsWindows9xPlatform(true, 1));
    EXPECT_FALSE(IsWindows9xPlatform(true, 2));   // the NT family
    EXPECT_FALSE(IsWindows9xPlatform(false, 1));  // the version call failed

    struct Case {
        uint32_t last, now;
        bool pausing;
    };
    const Case cases[] = {
        {neverVerified, 0, false},           // no check yet
        {neverVerified, 100, false},
        {1000, 1000, true},
        {1000, 1199, true},
        {1000, 1200, false},
        {0xFFFFFF00u, 0x00000010u, false},   // 272 ms across the wrap
        {0xFFFFFFF0u, 0x00000010u, true},    // 32 ms across the wrap
    };
    for (const Case& c : cases)
        EXPECT_EQ(InRetryPause(c.last, c.now), c.pausing) << c.last << " " << c.now;
}
