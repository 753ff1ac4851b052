// How often frames come: the timers per content, and a movie's rate and
// where it resumes.
#include "engine/FrameTimers.h"
#include "engine/MovieFrames.h"

#include <gtest/gtest.h>

// A still picture on one full screen is painted once; in a preview or across
// several monitors something else may paint over it, so it is repainted.
TEST(FrameTimers, StillContentIsRepaintedOnlyWhereItMayBeCovered) {
    const struct { char content; bool primaryOnly; uint32_t frame; } cases[] = {
        {'B', true, 0}, {'B', false, 250}, {'T', false, 250}, {'R', true, 20}};
    for (const auto& c : cases)
        EXPECT_EQ(PlanTimers(c.content, 'C', 0, c.primaryOnly).framePeriod, c.frame) << c.content;
}

TEST(MovieFrames, RatesAndTimerPeriods) {
    const struct { uint32_t rate, scale; bool video; uint32_t frames, period; } cases[] = {
        {15, 1, true, 100, 66},
        {25, 0, true, 100, 0},                // zero scale: no rate, not infinity
        {5000, 1, true, 10, 1},               // faster than 1 ms: as fast as timers go
        {1, 0xFFFFFFFFu, true, 10, 0x7FFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MovieTimerPeriod(MovieFrameRate(c.rate, c.scale), c.video, c.frames), c.period)
            << c.rate << "/" << c.scale;
}

TEST(MovieFrames, NextFrameWrapsAndResumes) {
    const struct { int32_t stored; bool video; uint32_t frames; int32_t next; } cases[] = {
        {-1, true, 100, 0},           // nothing stored: the first frame
        {57, true, 10, 8},            // stored by a longer movie: wraps into this one
        {-7, true, 100, 0},           // damaged value: from the start
        {INT32_MAX, true, 100, 48},   // 2^31 mod 100, without overflow
        {INT32_MAX - 1, true, 0xFFFFFFFFu, 0},  // counts past 2^31 - 1 stop there
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextMovieFrame(c.stored, c.video, c.frames), c.next) << c.stored << " of " << c.frames;
}
