// Every optimised bitmap operation against its per-pixel reference, byte for
// byte, over every depth and over sizes and parameters that reach each fast
// path and its edges (one-pixel sides, last rows and columns, angles that fold).
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "BitmapTestUtil.h"
#include "ReferenceLoops.h"
#include "TurnReference.h"
#include "imaging/RowAccess.h"

using testutil::kDepths;
using testutil::Pattern;

namespace {

using Operation = std::function<void(KBitmap&)>;

// Applies both versions to copies of `source`. On a difference, names the
// first pixel that differs, or says that only other bytes do.
testing::AssertionResult SameAsReference(const KBitmap& source, const Operation& fast, const Operation& reference) {
    KBitmap got(source, nullptr, true), expected(source, nullptr, true);
    fast(got);
    reference(expected);
    if (got.backgroundColour != expected.backgroundColour || got.transparentColour != expected.transparentColour)
        return testing::AssertionFailure() << "colour fields changed";
    if (testutil::SameBlock(got, expected))
        return testing::AssertionSuccess();
    for (int y = 0; y < got.Height(); ++y)
        for (int x = 0; x < got.Width(); ++x)
            if (got.GetPixel(x, y, false) != expected.GetPixel(x, y, false))
                return testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
    return testing::AssertionFailure() << "same pixels, other bytes (header, table or padding)";
}

// A reference that builds its result into a new picture, as an operation in
// place; building nothing leaves the picture alone.
Operation Into(std::function<void(KBitmap&, KBitmap&)> build) {
    return [build](KBitmap& p) {
        KBitmap out;
        build(p, out);
        if (!out.IsEmpty())
            p.TakeFrom(out);
    };
}

using testutil::Blocks;
using testutil::Turnable;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Every folding case, the edge-on angles near a quarter turn, values without a number.
const double kAngles[] = {0,       30,  85,  88,   89,   90,  180,  190,   450,    -270, 12.75,
                          1000.25, -30, -45, -100, -180, 360, -720, 1e300, -1e300, kNaN, kInfinity};
const struct { int w, h; } kTurnSizes[] = {{40, 40}, {37, 23}, {16, 61}, {1, 1}, {2, 3}, {33, 1}};

}  // namespace

// Nearest, area average and bilinear, enlarging and shrinking, along one axis
// or both; one-pixel-wide sources, areas taller than the column sums hold.
TEST(MatchesReference, Resize) {
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
                    ASSERT_TRUE(SameAsReference(
                        b, [&](KBitmap& p) { ASSERT_EQ(p.Resize(s.nw, s.nh, smooth), 1); },
                        Into([&](KBitmap& p, KBitmap& out) { reference::Resize(p, s.nw, s.nh, smooth, out); })))
                        << depth << "-bit " << s.w << "x" << s.h << " to " << s.nw << "x" << s.nh << " smooth "
                        << smooth << " transparent " << transparent;
                }
}

// A depth converted to itself is left alone, padding and all.
TEST(MatchesReference, ConvertDepth) {
    for (int from : kDepths)
        for (int to : {15, 16, 24, 32}) {
            KBitmap b = Pattern(13, 7, from, from * 100 + to);
            b.backgroundColour = 0x00010203;
            b.transparentColour = 0x00040506;
            ASSERT_TRUE(SameAsReference(
                b, [&](KBitmap& p) { ASSERT_EQ(p.ConvertDepth(to), 1); }, Into([&](KBitmap& p, KBitmap& out) {
                    if (from != to)
                        reference::ConvertDepth(p, to, out);
                })))
                << from << " to " << to;
        }
}

TEST(MatchesReference, FadeEdges) {
    const struct { int w, h; } sizes[] = {{200, 100}, {10, 10}, {1, 7}, {7, 1}, {33, 17}};
    for (int depth : {15, 16, 24, 32})
        for (const auto& s : sizes)
            for (double fraction : {0.25, 0.6, 1.5, 0.0, -1.0, 0.05})
                ASSERT_TRUE(SameAsReference(
                    Pattern(s.w, s.h, depth, s.w * 31 + depth),
                    [&](KBitmap& p) { ASSERT_TRUE(p.FadeEdges(0x00306090, fraction)); },
                    [&](KBitmap& p) { reference::FadeEdges(p, 0x00306090, fraction); }))
                    << depth << "-bit " << s.w << "x" << s.h << " fraction " << fraction;
}

// In the plane, and about both axes through the corner tables and the
// per-pixel warp, with and without a transparent colour. Angles without a
// number are refused by the turns about an axis and leave the picture alone.
TEST(MatchesReference, Turns) {
    using Turn = std::function<void(KBitmap&, double)>;
    const struct {
        const char* name;
        Turn fast, slow;
    } turns[] = {
        {"in plane", [](KBitmap& p, double a) { ASSERT_TRUE(p.RotateInPlane(a)); },
         [](KBitmap& p, double a) { reference::RotateInPlane(p, a); }},
        {"vertical", [](KBitmap& p, double a) { p.RotateAboutVerticalAxis(a); },
         [](KBitmap& p, double a) { reference::Rotate3D(p, a, reference::kVertical); }},
        {"horizontal", [](KBitmap& p, double a) { p.RotateAboutHorizontalAxis(a); },
         [](KBitmap& p, double a) { reference::Rotate3D(p, a, reference::kHorizontal); }},
    };
    for (const auto& turn : turns)
        for (int depth : kDepths)
            for (const auto& s : kTurnSizes)
                for (double angle : kAngles)
                    for (uint32_t transparent : {KBitmap::kNoTransparentColour, 0u}) {
                        KBitmap b = depth == 24 && s.w > 2 && turn.name[0] != 'i'
                                        ? Blocks(s.w, s.h, s.w * 5)
                                        : Turnable(s.w, s.h, depth, s.w * 5 + depth);
                        b.transparentColour = transparent;
                        ASSERT_TRUE(SameAsReference(
                            b, [&](KBitmap& p) { turn.fast(p, angle); }, [&](KBitmap& p) { turn.slow(p, angle); }))
                            << turn.name << " " << depth << "-bit " << s.w << "x" << s.h << " at " << angle
                            << " transparent " << transparent;
                    }
}

// A picture on black, as turning canvases are: the warps skip what samples
// only black. Lit areas at every edge, one or two pixels in, and none.
TEST(MatchesReference, TurnsOfAPictureOnBlack) {
    const RECT lits[] = {{0, 0, 37, 23}, {1, 1, 36, 22},   {2, 2, 35, 21},
                         {5, 4, 30, 19}, {20, 10, 21, 11}, {0, 0, 0, 0}};
    const POINT quad[4] = {{3, 2}, {30, 5}, {25, 20}, {1, 18}};
    for (const RECT& lit : lits) {
        const KBitmap b = testutil::OnBlack(37, 23, lit, lit.left + 3);
        ASSERT_TRUE(SameAsReference(
            b, [&](KBitmap& p) { p.WarpToQuad(quad); }, [&](KBitmap& p) { reference::WarpToQuad(p, quad); }))
            << "lit from " << lit.left << "," << lit.top;
        for (double angle : {30.0, 85.0, 190.0, -45.0, -100.0})
            ASSERT_TRUE(SameAsReference(
                b, [&](KBitmap& p) { p.RotateAboutVerticalAxis(angle), p.RotateAboutHorizontalAxis(-angle / 2); },
                [&](KBitmap& p) {
                    reference::Rotate3D(p, angle, reference::kVertical);
                    reference::Rotate3D(p, -angle / 2, reference::kHorizontal);
                }))
                << "lit from " << lit.left << "," << lit.top << " at " << angle;
    }
}

// The reciprocal division of the area averages against the double division
// it replaces: every sum for small counts, spread sums for the largest.
TEST(MatchesReference, ChannelDivider) {
    pixel::ChannelDivider divider;
    for (uint64_t count = 1; count <= 300; ++count)
        for (uint64_t sum = 0; sum <= 255 * count; ++sum)
            ASSERT_EQ(divider.Divide(sum, count), uint64_t(int(double(sum) / double(count)))) << sum << "/" << count;
    for (uint64_t count : {4093ull, 65535ull, 65536ull, 65537ull, 1000003ull})
        for (uint64_t sum = 0; sum <= 255 * count; sum += 997)
            ASSERT_EQ(divider.Divide(sum, count), uint64_t(int(double(sum) / double(count)))) << sum << "/" << count;
}
