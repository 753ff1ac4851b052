// The size of the display window for each layout and each kind of content,
// its centred position, and the arithmetic that prepares a picture for
// turning. Pure numbers: the engine reads the sizes from the movie, the
// picture or the text and applies the results.
//
// All sizes are whole pixels. `screen` is the saver window's client size
// (all monitors for the full-screen saver, the little monitor for the
// preview). A layout none of the rules knows (Layout::other) leaves the size
// as it was (`current`).
#pragma once

#include "engine/Layout.h"
#include "platform/WinTypes.h"

#include <cstdint>

// Turning pictures are reduced until their area is at most this many pixels.
constexpr int64_t turningAreaLimit3D = 51200;  // with 3D rotation on
constexpr int64_t turningAreaLimit = 102400;   // 2D rotation only

// Movie rule. `frame` is the movie's frame size; centred and bounce halve it
// until it is smaller than the screen in both directions, full screen fits it
// keeping its proportions, stretched takes the whole screen. A frame with a side of 0 or less
// fits as 0 x 0.
SIZE MovieDisplaySize(Layout layout, SIZE frame, SIZE screen, SIZE current);

// Picture rule. `picture` is the picture's width and height (a negative
// height, as in a top-down bitmap, counts by its absolute value). Centred and
// bounce double a small picture (under 4/10 of the screen in both directions), then
// halve one reaching 6/10 in either direction. An empty picture (a side of 0)
// leaves `current`. When the picture is to turn (`rotation2D` or
// `rotation3D`) the display becomes a square of the larger side.
SIZE PictureDisplaySize(Layout layout, SIZE picture, SIZE screen, bool rotation2D, bool rotation3D, SIZE current);

// The size a picture is worth decoding at: no larger than the display its
// layout gives it (PictureDisplaySize without turning), or, when it turns,
// than the turning canvas (PlanTurningCanvas); never larger than the picture.
SIZE PictureDecodeSize(Layout layout, SIZE picture, SIZE screen, bool rotation2D, bool rotation3D);

// Text rule. `length` is the display text's length in characters after the
// escapes were replaced, `lines` its newline count + 1. A `length` of 0 is the
// clock. Centred and bounce take half the screen's width and a height that
// suits the text, at most half the screen's height; full screen and stretched
// take the whole screen.
SIZE TextDisplaySize(Layout layout, int32_t length, int32_t lines, SIZE screen, SIZE current);

// Top-left corner that centres `display` on `screen` (halves truncate toward
// zero, so a display larger than the screen gets a negative position).
POINT CentredPosition(SIZE display, SIZE screen);

// The arithmetic of preparing a turning picture, after it has been expanded
// to plain 24-bit rows with a black background: resize it to `width` x
// `height`, then crop it to `crop` (inclusive corners, reaching outside the
// picture), which leaves a square canvas of side `diagonal` (one less where
// the border is odd) with the picture in its middle, large enough for any
// turn to stay inside.
struct TurningCanvas {
    int32_t width, height;  // after the reduction in steps of 0.9
    int32_t diagonal;       // of width x height, truncated
    RECT crop;              // inclusive; left and top are 0 or negative
};

// `width` and `height` are the picture's size (height by its absolute value).
TurningCanvas PlanTurningCanvas(int32_t width, int32_t height, bool rotation3D);
