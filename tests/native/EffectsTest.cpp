// What the in-place operations refuse or have nothing to do for: either way
// every byte of the picture stays as it was.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "BitmapTestUtil.h"
#include "imaging/KBitmap.h"

using testutil::BlockHash;
using testutil::Pattern;

namespace {

// A picture with no plain rows to work on: compressed, or 0 rows high.
KBitmap Compressed(int depth, DWORD compression) {
    KBitmap b = Pattern(12, 9, depth, 13);
    b.Header()->biCompression = compression;
    return b;
}

KBitmap Flat() {
    KBitmap b = Pattern(12, 9, 24, 13);
    b.Header()->biHeight = 0;
    return b;
}

}  // namespace

TEST(Operations, RefusalsAndNothingToDoLeaveThePictureAsItWas) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const POINT quad[4] = {{1, 1}, {10, 1}, {10, 7}, {1, 7}};
    const RECT area{0, 0, 1, 0};
    using Run = std::function<int(KBitmap&)>;
    const struct { const char* name; Run run; } operations[] = {
        {"ConvertDepth", [](KBitmap& b) { return b.ConvertDepth(24); }},
        {"FadeEdges", [](KBitmap& b) { return int(b.FadeEdges(0, 0.25)); }},
        {"RotateInPlane", [](KBitmap& b) { return int(b.RotateInPlane(30)); }},
        {"RotateAboutVerticalAxis", [](KBitmap& b) { return b.RotateAboutVerticalAxis(30); }},
        {"RotateAboutHorizontalAxis", [](KBitmap& b) { return b.RotateAboutHorizontalAxis(30); }},
        {"WarpToQuad", [&](KBitmap& b) { return int(b.WarpToQuad(quad)); }},
        {"Crop", [&](KBitmap& b) { return b.Crop(&area); }},
        {"area copy", [&](KBitmap& b) { return int(!KBitmap(b, &area, true).IsEmpty()); }},
    };
    for (const auto& op : operations)
        for (int picture = 0; picture < 4; ++picture) {
            KBitmap b = picture == 0 ? KBitmap() : picture == 1 ? Compressed(24, BI_RLE8)
                      : picture == 2 ? Compressed(4, BI_RLE4) : Flat();
            const uint64_t before = BlockHash(b);
            EXPECT_EQ(op.run(b), 0) << op.name << " on picture " << picture;
            EXPECT_EQ(BlockHash(b), before) << op.name;
        }
    // On a sound 24-bit picture (a palette for the fade): refusals of one
    // operation only, and the calls with nothing to do, which answer 1.
    const POINT identity[4] = {{0, 0}, {11, 0}, {11, 8}, {0, 8}};
    const struct { const char* name; int depth, answer; Run run; } own[] = {
        {"no such depth", 24, 0, [](KBitmap& b) { return b.ConvertDepth(12); }},
        {"fading a palette", 8, 0, [](KBitmap& b) { return int(b.FadeEdges(0, 0.25)); }},
        {"vertical NaN", 24, 0, [&](KBitmap& b) { return b.RotateAboutVerticalAxis(nan); }},
        {"horizontal infinity", 24, 0, [&](KBitmap& b) { return b.RotateAboutHorizontalAxis(inf); }},
        {"vertical -infinity", 24, 0, [&](KBitmap& b) { return b.RotateAboutVerticalAxis(-inf); }},
        {"no quadrilateral", 24, 0, [](KBitmap& b) { return int(b.WarpToQuad(nullptr)); }},
        {"no area", 24, 0, [](KBitmap& b) { return b.Crop(nullptr); }},
        {"width 0", 24, 0, [](KBitmap& b) { return b.Resize(0, 10, true); }},
        {"height -1", 24, 0, [](KBitmap& b) { return b.Resize(10, -1, false); }},
        {"block too large", 24, 0, [](KBitmap& b) { return b.Resize(1 << 30, 1 << 20, false); }},
        {"turn by -0", 24, 1, [](KBitmap& b) { return int(b.RotateInPlane(-0.0)); }},
        {"two whole turns", 24, 1, [](KBitmap& b) { return b.RotateAboutVerticalAxis(-720); }},
        {"identity quadrilateral", 24, 1, [&](KBitmap& b) { return int(b.WarpToQuad(identity)); }},
        {"same size", 24, 1, [](KBitmap& b) { return b.Resize(12, 9, true); }},
    };
    for (const auto& op : own) {
        KBitmap b = Pattern(12, 9, op.depth, 13);
        const uint64_t before = BlockHash(b);
        EXPECT_EQ(op.run(b), op.answer) << op.name;
        EXPECT_EQ(BlockHash(b), before) << op.name;
    }
    KBitmap empty;
    EXPECT_EQ(empty.Resize(5, 5, false), 0);
}
