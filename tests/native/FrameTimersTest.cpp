#include "engine/FrameTimers.h"

#include <gtest/gtest.h>

// A still picture on one full screen is painted once; in a preview or across
// several monitors something else may paint over it, so it is repainted.
TEST(FrameTimers, StillContentIsRepaintedOnlyWhereItMayBeCovered) {
    struct Case { char content; bool primaryOnly; uint32_t frame; };
    const Case cases[] = {{'B', true, 0}, {'B', false, 250}, {'T', false, 250}, {'R', true, 20}};
    for (const Case& c : cases)
        EXPECT_EQ(PlanTimers(c.content, 'C', 0, c.primaryOnly).framePeriod, c.frame) << c.content;
}
