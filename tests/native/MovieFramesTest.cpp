#include "engine/MovieFrames.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(MovieFrames, RatesAndTimerPeriods) {
    struct Case { uint32_t rate, scale; bool video; uint32_t frames, period; };
    const Case cases[] = {
        {15, 1, true, 100, 66},
        {25, 0, true, 100, 0},                // zero scale: no rate, not infinity
        {5000, 1, true, 10, 1},               // faster than 1 ms: as fast as timers go
        {1, 0xFFFFFFFFu, true, 10, 0x7FFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MovieTimerPeriod(MovieFrameRate(c.rate, c.scale), c.video, c.frames), c.period)
            << c.rate << "/" << c.scale;
}

TEST(MovieFrames, NextFrameWrapsAndResumes) {
    struct Case { int32_t stored; bool video; uint32_t frames; int32_t next; };
    const Case cases[] = {
        {-1, true, 100, 0},           // nothing stored: the first frame
        {57, true, 10, 8},            // stored by a longer movie: wraps into this one
        {-7, true, 100, 0},           // damaged value: from the start
        {INT32_MAX, true, 100, 48},   // 2^31 mod 100, without overflow
        {INT32_MAX - 1, true, 0xFFFFFFFFu, 0},  // counts past 2^31 - 1 stop there
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextMovieFrame(c.stored, c.video, c.frames), c.next) << c.stored << " of " << c.frames;
}
