#include "engine/Motion.h"

#include <algorithm>

// rand() % n for a source that might, against its contract, go negative:
// the same value for every non-negative number, never outside 0 to n - 1.
static int32_t Draw(RandomSource random, int32_t n) { return ((random() % n) + n) % n; }

static int32_t Add(int32_t position, int32_t step) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{position} + step, INT32_MIN, INT32_MAX));
}

void BounceStep(BounceState& s, int32_t screenWidth, int32_t screenHeight, RandomSource random) {
    s.displayX = Add(s.displayX, s.velocityX);
    s.displayY = Add(s.displayY, s.velocityY);

    // The edges are tested after the move, so the window may cross an edge
    // by up to one step before it turns back.
    if (s.displayX <= 0 || s.velocityX == 0) {
        s.velocityX = Draw(random, 5) + 1;
        s.spinSpeed[spinC] = static_cast<float>(-int64_t{s.velocityY});
    } else if (int64_t{s.displayX} + s.displayWidth >= screenWidth) {
        s.velocityX = -Draw(random, 5) - 1;
        s.spinSpeed[spinC] = static_cast<float>(s.velocityY);
    }
    if (s.displayY <= 0 || s.velocityY == 0) {
        s.velocityY = Draw(random, 5) + 1;
        s.spinSpeed[spinC] = static_cast<float>(s.velocityX);
    } else if (int64_t{s.displayY} + s.displayHeight >= screenHeight) {
        s.velocityY = -Draw(random, 5) - 1;
        s.spinSpeed[spinC] = static_cast<float>(-int64_t{s.velocityX});
    }
    s.spinSpeed[spinA] = static_cast<float>(s.velocityX);
    s.spinSpeed[spinB] = static_cast<float>(s.velocityY);
}

void StartSpinSpeeds(float spinSpeed[3], RandomSource random) {
    for (int axis = spinA; axis <= spinC; ++axis)
        spinSpeed[axis] = static_cast<float>(Draw(random, 5) + 1);
}

bool NextSpinFrame(float spinSpeed[3], int32_t& spinFrameCount, RandomSource random) {
    const int32_t frame = spinFrameCount;
    // Wraps after 2^31 frames (about 16 months at 50 a second) without
    // signed overflow.
    spinFrameCount = static_cast<int32_t>(static_cast<uint32_t>(frame) + 1u);
    if (frame % 50 != 0)
        return false;
    for (int axis = spinA; axis <= spinC; ++axis) {
        const int32_t v = Draw(random, 5) + 1;
        // Odd speeds turn the other way, so the picture does not always
        // spin the same way round.
        spinSpeed[axis] = static_cast<float>(v % 2 != 0 ? -v : v);
    }
    return true;
}
