// The bounce motion of the display window and the turning speeds of a
// turning picture. Pure: the engine copies its fields in and out and moves
// the window itself. Random numbers come from `random` (the C runtime's
// rand() unless a test scripts them); only non-negative values are expected.
#pragma once

#include <cstdint>
#include <cstdlib>

using RandomSource = int (*)();

// Turning speeds in degrees per frame: A about the vertical axis, B about
// the horizontal axis, C in the screen plane.
enum SpinAxis { spinA = 0, spinB = 1, spinC = 2 };

// The part of the engine's state the bounce moves. Positions and sizes in
// pixels in the saver window's client area; velocities in pixels per move
// tick (20 ms); 0 means not yet moving.
struct BounceState {
    int32_t displayX, displayY;
    int32_t displayWidth, displayHeight;
    int32_t velocityX, velocityY;
    float spinSpeed[3];
};

// One move tick: moves the display window by its velocity, then turns it back
// at an edge it has reached or crossed (with a new speed of 1 to 5 pixels)
// and couples the turning speeds to the motion (A = velocityX,
// B = velocityY, C from the edge met). The caller then moves the window to
// the new position. The first tick, with both velocities 0, starts the
// window down and to the right.
void BounceStep(BounceState& state, int32_t screenWidth, int32_t screenHeight, RandomSource random = std::rand);

// The speeds the turning starts with: each of A, B, C is 1 to 5.
void StartSpinSpeeds(float spinSpeed[3], RandomSource random = std::rand);

// Called once per turning frame outside the bounce layout, after the frame
// is painted. Counts the frame; on frames 0, 50, 100, ... draws new speeds,
// each one of -1, 2, -3, 4, -5. Returns true when the speeds changed.
bool NextSpinFrame(float spinSpeed[3], int32_t& spinFrameCount, RandomSource random = std::rand);
