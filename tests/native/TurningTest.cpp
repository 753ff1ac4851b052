// Turning a picture: its preparation, judged by what the screen would show (the
// picture upright in the middle of a square black canvas), and the facts the
// reference comparisons cannot show on their own (which rows a tilted picture
// covers, where a half turn puts each pixel).
#include "BitmapTestUtil.h"
#include "engine/TurningPicture.h"
#include "imaging/KBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kBlack = 0;
constexpr uint32_t kBackground = 0x00123456;  // the colour of testutil::Turnable's background

bool RowIsBackground(const KBitmap& b, int y) {
    for (int x = 0; x < b.Width(); ++x)
        if (b.GetPixel(x, y, false) != kBackground)
            return false;
    return true;
}

// A picture showing red over blue, stored bottom-up or top-down at depth 8,
// 24 or 32. Rows are addressed bottom-up either way, so a top-down picture is
// written upside down and its height then negated.
KBitmap RedOverBlue(int width, int height, int depth, bool topDown) {
    KBitmap picture(width, height, depth);
    // At 8 bits entry 1 is red, entry 2 blue (stored blue first).
    std::memcpy(reinterpret_cast<BYTE*>(picture.Header() + 1) + 4, "\0\0\xFF\0\xFF\0\0", depth == 8 ? 8 : 0);
    const uint32_t red = depth == 8 ? 0x01000000 : kRed, blue = depth == 8 ? 0x02000000 : kBlue;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.SetPixel(x, y, (y < height / 2) != topDown ? red : blue);
    if (topDown)
        picture.Header()->biHeight = -height;
    return picture;
}

}  // namespace

using testutil::Blocks;

TEST(TurningPicture, ShowsThePictureUprightInTheMiddleOfASquareBlackCanvas) {
    // The canvas's side, and where on it and how large the picture shows.
    const struct {
        int width, height, depth;
        bool topDown, rotation3D, fade;
        int side, left, top, shownWidth, shownHeight;
    } cases[] = {
        {40, 30, 24, false, false, false, 50, 5, 10, 40, 30},
        {40, 30, 24, true, false, false, 50, 5, 10, 40, 30},
        {40, 30, 32, true, true, false, 50, 5, 10, 40, 30},
        {40, 30, 8, true, false, false, 50, 5, 10, 40, 30},
        // Reduced in steps of 0.9 to 248 x 186 under the 3D limit: 310 x 310.
        {640, 480, 32, false, true, false, 310, 31, 62, 248, 186},
        // Faded first, as a still picture is, then prepared.
        {640, 480, 24, true, true, true, 310, 31, 62, 248, 186},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " depth " << c.depth
                                        << (c.topDown ? " top-down" : "") << (c.fade ? " faded" : ""));
        KBitmap picture = RedOverBlue(c.width, c.height, c.depth, c.topDown);
        ASSERT_TRUE(!c.fade || picture.FadeEdges(kBlack, 0.25));
        PrepareTurningPicture(picture, c.rotation3D);
        ASSERT_EQ(std::vector<int>({picture.Width(), picture.Height()}), std::vector<int>({c.side, c.side}));
        // Bottom-up, 24 bits, on black.
        EXPECT_TRUE(picture.Header()->biHeight > 0 && picture.Depth() == 24 && picture.backgroundColour == kBlack);
        // The corners are uncovered canvas, and stay black when turned.
        for (int corner : {0, c.side - 1})
            EXPECT_EQ(picture.GetPixel(corner, corner, false), kBlack);
        const int middleX = c.left + c.shownWidth / 2;
        // Clear of the fade band (a quarter of the shorter side).
        EXPECT_EQ(picture.GetPixel(middleX, c.top + c.shownHeight * 3 / 8, false), kRed);
        EXPECT_EQ(picture.GetPixel(middleX, c.top + c.shownHeight * 5 / 8, false), kBlue);
        if (c.fade) {
            // The faded band survives: the outermost pixels are (nearly) black.
            EXPECT_LT(picture.GetPixel(c.left, c.top + c.shownHeight / 4, false) & 0xFF, 48u);
            EXPECT_LT(picture.GetPixel(middleX, c.top, false) & 0xFF, 48u);
        }
    }
}

// The rows of a 40 x 40 canvas that show the picture, as "first-last". At
// 30 degrees the corners land on (-6, 6), (45, 6), (35, 32), (3, 32). Near a
// quarter turn they fall on one row: none left at 88 and 89 degrees
// (determinant 0), one at 90, two at 85.
TEST(Rotate3D, RowsShownAboutTheHorizontalAxis) {
    const struct {
        double angle;
        const char* rows;
    } cases[] = {{30, "6-32"}, {88, ""}, {89, ""}, {90, "20-20"}, {85, "19-20"}, {-88, ""}, {-90, "20-20"}};
    for (const auto& c : cases) {
        KBitmap b = Blocks(40, 40, 9);
        ASSERT_EQ(b.RotateAboutHorizontalAxis(c.angle), 1);
        int first = -1, last = -1;
        for (int y = 0; y < 40; ++y)
            if (!RowIsBackground(b, y)) {
                first = first < 0 ? y : first;
                last = y;
            }
        EXPECT_EQ(first < 0 ? "" : std::to_string(first) + "-" + std::to_string(last), c.rows) << c.angle;
    }
}

// Half a turn draws the picture upside down (mirrored), one row (column)
// lower: corners are normalised by H - 1, destinations by H.
TEST(Rotate3D, HalfTurnLeavesTheFirstRowOrColumnBackground) {
    const KBitmap source = Blocks(40, 30, 11);
    KBitmap flipped(source, nullptr, true), mirrored(source, nullptr, true);
    ASSERT_EQ(flipped.RotateAboutHorizontalAxis(180), 1);
    ASSERT_EQ(mirrored.RotateAboutVerticalAxis(-180), 1);
    EXPECT_TRUE(RowIsBackground(flipped, 0));
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(mirrored.GetPixel(0, y, false), kBackground) << y;
    for (int y = 1; y < 30; ++y)
        for (int x = 1; x < 40; ++x) {
            ASSERT_EQ(flipped.GetPixel(x, y, false), source.GetPixel(x, 30 - y, false)) << x << "," << y;
            ASSERT_EQ(mirrored.GetPixel(x, y, false), source.GetPixel(40 - x, y, false)) << x << "," << y;
        }
}
