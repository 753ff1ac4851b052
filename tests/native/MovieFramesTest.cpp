#include "engine/MovieFrames.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(MovieFrames, RatesAndTimerPeriods) {
    struct Case { uint32_t rate, scale; double fps; bool video; uint32_t frames, period; };
    const Case cases[] = {
        {15, 1, 15.0, true, 100, 66},
        {25, 1, 25.0, true, 100, 40},
        {2997, 100, 29.97, true, 100, 33},
        {30000, 1001, 30000.0 / 1001, true, 1, 33},
        {25, 1, 25.0, true, 0, 0},            // no frames: only the first tick
        {25, 1, 25.0, false, 0, 0},           // sound only
        {0, 1, 0.0, true, 100, 0},            // zero rate
        {25, 0, 0.0, true, 100, 0},           // zero scale: no rate, not infinity
        {5000, 1, 5000.0, true, 10, 1},       // faster than 1 ms: as fast as timers go
        {1, 0xFFFFFFFFu, 1.0 / 0xFFFFFFFFu, true, 10, 0x7FFFFFFF},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 1.0, true, 10, 1000},
    };
    for (const Case& c : cases) {
        const double fps = MovieFrameRate(c.rate, c.scale);
        EXPECT_DOUBLE_EQ(fps, c.fps) << c.rate << "/" << c.scale;
        EXPECT_EQ(MovieTimerPeriod(fps, c.video, c.frames), c.period) << c.rate << "/" << c.scale;
    }
}

TEST(MovieFrames, NextFrameWrapsAndResumes) {
    struct Case { int32_t stored; bool video; uint32_t frames; int32_t next; };
    const Case cases[] = {
        {-1, true, 100, 0},           // nothing stored: the first frame
        {41, true, 100, 42},          // resumes after the frame shown last
        {98, true, 100, 99},
        {99, true, 100, 0},           // loops
        {9, true, 10, 0},
        {57, true, 10, 8},            // stored by a longer movie: wraps into this one
        {-7, true, 100, 0},           // damaged value: from the start
        {INT32_MAX, true, 100, 48},   // 2^31 mod 100, without overflow
        {5, true, 0, 0},              // empty video stream
        {5, false, 0, 0},             // sound only
        {0, true, 0xFFFFFFFFu, 1},
        {INT32_MAX - 1, true, 0xFFFFFFFFu, 0},  // counts past 2^31 - 1 stop there
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextMovieFrame(c.stored, c.video, c.frames), c.next) << c.stored << " of " << c.frames;
}

TEST(MovieFrames, PlaybackAcrossRunsWithAndWithoutRewind) {
    // Three runs of a 100-frame movie, each closed after 30 frames, starting
    // from a stored 41. Without "Rewind" each run continues the last; with it
    // every run starts again after 41, because nothing is stored.
    for (int32_t rewind : {0, 1}) {
        int32_t stored = 41;
        std::vector<int32_t> firstShown;
        for (int run = 0; run < 3; ++run) {
            int32_t frame = stored;
            for (int tick = 0; tick < 30; ++tick) {
                frame = NextMovieFrame(frame, true, 100);
                if (tick == 0) firstShown.push_back(frame);
            }
            if (StoresMoviePosition(rewind)) stored = frame;
        }
        const std::vector<int32_t> expected =
            rewind ? std::vector<int32_t>{42, 42, 42} : std::vector<int32_t>{42, 72, 2};
        EXPECT_EQ(firstShown, expected) << "rewind " << rewind;
    }
}
