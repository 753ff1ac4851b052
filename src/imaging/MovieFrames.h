// The pace and order of a movie's frames: the rate a video stream declares,
// the frame timer's period, and the frame the next frame tick shows. Pure
// numbers: the engine reads them from the movie source and applies them.
#pragma once

#include <cstdint>

// Frames per second of a stream that declares `rate` / `scale` (AVI's dwRate
// and dwScale, both unsigned). 0.0 when the stream declares no usable rate
// (a scale of 0).
double MovieFrameRate(uint32_t rate, uint32_t scale);

// Milliseconds between frame ticks: 1000 / rate, truncated, at least 1 and at
// most 0x7FFFFFFF (the longest period a window timer takes). 0, meaning no
// frame timer, when there is no video, no frame or no positive rate: only
// the first frame is then painted.
uint32_t MovieTimerPeriod(double framesPerSecond, bool hasVideo, uint32_t frameCount);

// The frame shown after `frameNumber`: one on, wrapping to 0 after the last
// frame, so the movie loops for ever. Without video, or with no frame, it is
// always 0. A stored number past the end wraps; a negative one (-1 when
// nothing was stored yet) starts at frame 0. The result lies in 0..count-1.
int32_t NextMovieFrame(int32_t frameNumber, bool hasVideo, uint32_t frameCount);

// Whether closing the saver stores the frame shown last, so that the next
// run continues after it. "Rewind" only stops the storing: a number stored
// earlier is still where playback resumes.
inline bool StoresMoviePosition(int32_t rewind) { return rewind == 0; }
