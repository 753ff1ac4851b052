// Every optimised bitmap operation over every depth and over sizes and
// parameters that reach each fast path and its edges (one-pixel sides, last
// rows and columns, angles that fold), with the SSE2 kernels and without.
// Each operation's results, all cases folded into one hash, are the blocks
// the per-pixel versions in bench/ReferenceLoops.h and bench/TurnReference.h
// make of the same cases; their arithmetic is the same on every platform. The
// turn in the plane rests on the platform's sin and cos and is held to its
// reference directly.
#include <gtest/gtest.h>

#include <limits>

#include "BitmapTestUtil.h"
#include "PlaneReference.h"
#include "platform/Processor.h"

using testutil::Blocks;
using testutil::kDepths;
using testutil::Pattern;
using testutil::Results;
using testutil::Turnable;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Every folding case, the edge-on angles near a quarter turn, values without a number.
const double kAngles[] = {0,       30,  85,  88,   89,   90,  180,  190,   450,    -270, 12.75,
                          1000.25, -30, -45, -100, -180, 360, -720, 1e300, -1e300, kNaN, kInfinity};
const struct { int w, h; } kTurnSizes[] = {{40, 40}, {37, 23}, {16, 61}, {1, 1}, {2, 3}, {33, 1}};

// Nearest, area average and bilinear, enlarging and shrinking, along one axis
// or both; one-pixel-wide sources, areas taller than the column sums hold.
void Resizes(Results& results) {
    const struct {
        int w, h, nw, nh;
    } sizes[] = {
        {100, 100, 40, 40}, {100, 100, 60, 60}, {37, 23, 80, 51},   {50, 9, 12, 7},
        {13, 40, 11, 19},   {5, 5, 1, 1},       {1, 7, 1, 3},       {1, 9, 4, 2},
        {2, 5, 1, 2},       {7, 3, 3, 1},       {4000, 3, 1920, 1}, {9, 600, 4, 2},
        {3, 530, 5, 2},     {11, 13, 23, 5},    {13, 11, 5, 23},    {301, 203, 211, 101},
    };
    for (int depth : kDepths)
        for (const auto& s : sizes)
            for (bool smooth : {false, true})
                for (uint32_t transparent : {KBitmap::kNoTransparentColour, 0u}) {
                    KBitmap b = Pattern(s.w, s.h, depth, s.w * 7 + s.h + depth);
                    b.transparentColour = transparent;
                    // Palettes also come with a short table: the rest of the new one is black.
                    if (depth <= 8 && transparent == 0)
                        b.Header()->biClrUsed = 3;
                    results.Add(b.Resize(s.nw, s.nh, smooth));
                    results.Add(b);
                }
}

// A depth converted to itself is left alone, padding and all.
void Conversions(Results& results) {
    for (int from : kDepths)
        for (int to : {15, 16, 24, 32}) {
            KBitmap b = Pattern(13, 7, from, from * 100 + to);
            b.backgroundColour = 0x00010203;
            b.transparentColour = 0x00040506;
            results.Add(b.ConvertDepth(to));
            results.Add(b);
        }
}

void Fades(Results& results) {
    const struct { int w, h; } sizes[] = {{200, 100}, {10, 10}, {1, 7}, {7, 1}, {33, 17}};
    for (int depth : {15, 16, 24, 32})
        for (const auto& s : sizes)
            for (double fraction : {0.25, 0.6, 1.5, 0.0, -1.0, 0.05}) {
                KBitmap b = Pattern(s.w, s.h, depth, s.w * 31 + depth);
                results.Add(b.FadeEdges(0x00306090, fraction));
                results.Add(b);
            }
}

// About both axes through the corner tables and the per-pixel warp, with and
// without a transparent colour. Angles without a number leave the picture alone.
void AxisTurns(Results& results) {
    for (bool vertical : {true, false})
        for (int depth : kDepths)
            for (const auto& s : kTurnSizes)
                for (double angle : kAngles)
                    for (uint32_t transparent : {KBitmap::kNoTransparentColour, 0u}) {
                        KBitmap b = depth == 24 && s.w > 2 ? Blocks(s.w, s.h, s.w * 5)
                                                           : Turnable(s.w, s.h, depth, s.w * 5 + depth);
                        b.transparentColour = transparent;
                        vertical ? b.RotateAboutVerticalAxis(angle) : b.RotateAboutHorizontalAxis(angle);
                        results.Add(b);
                    }
}

// A picture on black, as turning canvases are: the warps skip what samples
// only black. Lit areas at every edge, one or two pixels in, and none.
void TurnsOnBlack(Results& results) {
    const RECT lits[] = {{0, 0, 37, 23}, {1, 1, 36, 22},   {2, 2, 35, 21},
                         {5, 4, 30, 19}, {20, 10, 21, 11}, {0, 0, 0, 0}};
    const POINT quad[4] = {{3, 2}, {30, 5}, {25, 20}, {1, 18}};
    for (const RECT& lit : lits) {
        const KBitmap b = testutil::OnBlack(37, 23, lit, lit.left + 3);
        KBitmap warped(b, nullptr, true);
        results.Add(warped.WarpToQuad(quad));
        results.Add(warped);
        for (double angle : {30.0, 85.0, 190.0, -45.0, -100.0}) {
            KBitmap turned(b, nullptr, true);
            turned.RotateAboutVerticalAxis(angle);
            turned.RotateAboutHorizontalAxis(-angle / 2);
            results.Add(turned);
        }
    }
}

}  // namespace

TEST(MatchesReference, EveryOperationWithAndWithoutSse2) {
    const struct {
        const char* name;
        void (*cases)(Results&);
        uint64_t expected;
    } operations[] = {
        {"resize", Resizes, 0x037B0305BDD91B50ull},
        {"convert depth", Conversions, 0x06C45A6BFE1954D6ull},
        {"fade edges", Fades, 0xC7B0D510A7983182ull},
        {"turns about an axis", AxisTurns, 0x03E2E84CBE2483F6ull},
        {"turns of a picture on black", TurnsOnBlack, 0x9C0DE3C87227483Dull},
    };
    for (bool sse2 : {true, false}) {
        SetSse2Allowed(sse2);
        for (const auto& operation : operations) {
            Results results;
            operation.cases(results);
            EXPECT_EQ(results.hash, operation.expected) << operation.name << (sse2 ? "" : " without SSE2");
        }
    }
    SetSse2Allowed(true);
}

TEST(MatchesReference, TurnInThePlane) {
    for (bool sse2 : {true, false}) {
        SetSse2Allowed(sse2);
        for (int depth : kDepths)
            for (const auto& s : kTurnSizes)
                for (double angle : kAngles)
                    for (uint32_t transparent : {KBitmap::kNoTransparentColour, 0u}) {
                        KBitmap fast = Turnable(s.w, s.h, depth, s.w * 5 + depth);
                        fast.transparentColour = transparent;
                        KBitmap slow(fast, nullptr, true);
                        ASSERT_TRUE(fast.RotateInPlane(angle));
                        reference::RotateInPlane(slow, angle);
                        ASSERT_TRUE(testutil::SameBlock(fast, slow) && fast.backgroundColour == slow.backgroundColour &&
                                    fast.transparentColour == slow.transparentColour)
                            << depth << "-bit " << s.w << "x" << s.h << " at " << angle
                            << (sse2 ? "" : " without SSE2");
                    }
    }
    SetSse2Allowed(true);
}
