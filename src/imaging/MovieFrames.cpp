#include "imaging/MovieFrames.h"

#include <algorithm>

double MovieFrameRate(uint32_t rate, uint32_t scale) {
    if (scale == 0)
        return 0.0;  // not infinity: a damaged header must not make a 0 ms timer
    return double(rate) / double(scale);
}

uint32_t MovieTimerPeriod(double framesPerSecond, bool hasVideo, uint32_t frameCount) {
    if (!hasVideo || frameCount == 0 || !(framesPerSecond > 0))
        return 0;
    const double period = 1000.0 / framesPerSecond;
    // Above 1000 frames a second the truncated period would be 0, which
    // means no timer at all; below about 1/2147483 of a frame a second it
    // would overflow.
    return static_cast<uint32_t>(std::clamp(period, 1.0, double(0x7FFFFFFF)));
}

int32_t NextMovieFrame(int32_t frameNumber, bool hasVideo, uint32_t frameCount) {
    // Frame numbers are 32-bit signed wherever they are used.
    const int64_t count = hasVideo && frameCount >= 1 ? std::min<int64_t>(frameCount, INT32_MAX) : 1;
    const int64_t next = (int64_t(frameNumber) + 1) % count;
    return static_cast<int32_t>(next < 0 ? 0 : next);
}
