#include "engine/FrameTimers.h"

#include <gtest/gtest.h>

TEST(FrameTimers, EveryContentInEveryLayout) {
    struct Case { char content, layout; uint32_t moviePeriod; bool primaryOnly; uint32_t frame; bool move; };
    const Case cases[] = {
        {'B', 'C', 0, true, 0, false},     // still picture on one screen: painted once
        {'B', 'C', 0, false, 250, false},  // preview or several monitors: repainted
        {'T', 'F', 0, false, 250, false},
        {'T', 'S', 0, true, 0, false},
        {'R', 'C', 0, true, 20, false},    // turning: 50 frames a second
        {'R', 'F', 0, false, 20, false},
        {'C', 'S', 0, true, 20, false},    // the clock checks its second every 20 ms
        {'V', 'C', 40, true, 40, false},   // a movie at its own rate
        {'V', 'C', 40, false, 40, false},
        {'V', 'C', 0, false, 0, false},    // no frame rate: only the first frame
        {'V', 'B', 33, true, 33, true},    // a bouncing movie has both timers
        {'R', 'B', 0, true, 0, true},      // the move tick posts the frames
        {'C', 'B', 0, false, 0, true},
        {'B', 'B', 0, false, 0, true},     // painted once, then only moved
        {'I', 'C', 0, false, 250, false},  // nothing loaded: ticks that paint nothing
    };
    for (const Case& c : cases) {
        TimerPlan plan = PlanTimers(c.content, c.layout, c.moviePeriod, c.primaryOnly);
        EXPECT_EQ(plan.framePeriod, c.frame) << c.content << c.layout << c.primaryOnly;
        EXPECT_EQ(plan.moveTimer, c.move) << c.content << c.layout;
    }
}
