// The preparation of a turning picture, judged by what the screen would show:
// the picture upright in the middle of a square black canvas.
#include <gtest/gtest.h>

#include <cstring>

#include "BitmapTestUtil.h"
#include "engine/TurningPicture.h"

namespace {

constexpr uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kBlack = 0;

// A picture whose top half shows red and bottom half blue on the screen,
// stored bottom-up or top-down (negative height) at depth 8, 24 or 32.
// Pixel rows are addressed bottom-up either way, so a top-down picture is
// written upside down and its height then negated.
KBitmap RedOverBlue(int width, int height, int depth, bool topDown) {
    KBitmap picture(width, height, depth);
    uint32_t red = kRed, blue = kBlue;
    if (depth == 8) {
        const BYTE entries[8] = {0, 0, 255, 0, 255, 0, 0, 0};  // 1: red, 2: blue (stored blue first)
        std::memcpy(reinterpret_cast<BYTE*>(picture.Header() + 1) + 4, entries, sizeof entries);
        red = 0x01000000;
        blue = 0x02000000;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, (y < height / 2) != topDown ? red : blue);
    if (topDown) picture.Header()->biHeight = -height;
    return picture;
}

TEST(TurningPicture, ShowsThePictureUprightInTheMiddleOfASquareBlackCanvas) {
    struct Case {
        int width, height, depth;
        bool topDown, rotation3D, fade;
        int side;               // of the canvas
        int left, top;          // where the picture lands on it
        int shownWidth, shownHeight;
    };
    const Case cases[] = {
        {40, 30, 24, false, false, false, 50, 5, 10, 40, 30},
        {40, 30, 24, true, false, false, 50, 5, 10, 40, 30},
        {40, 30, 32, true, true, false, 50, 5, 10, 40, 30},
        {40, 30, 8, true, false, false, 50, 5, 10, 40, 30},
        // Reduced in steps of 0.9 to 248 x 186 under the 3D limit: 310 x 310.
        {640, 480, 32, false, true, false, 310, 31, 62, 248, 186},
        // Faded first, as a still picture is, then prepared.
        {640, 480, 24, true, true, true, 310, 31, 62, 248, 186},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " depth " << c.depth
                                        << (c.topDown ? " top-down" : "") << (c.fade ? " faded" : ""));
        KBitmap picture = RedOverBlue(c.width, c.height, c.depth, c.topDown);
        ASSERT_FALSE(picture.IsEmpty());
        if (c.fade) {
            ASSERT_TRUE(picture.FadeEdges(kBlack, 0.25));
        }
        PrepareTurningPicture(picture, c.rotation3D);

        ASSERT_EQ(picture.Width(), c.side);
        ASSERT_EQ(picture.Height(), c.side);
        EXPECT_GT(picture.Header()->biHeight, 0);
        EXPECT_EQ(picture.Depth(), 24);
        EXPECT_EQ(picture.backgroundColour, kBlack);
        // The corners are uncovered canvas, and stay black when turned.
        for (int corner : {0, c.side - 1}) {
            EXPECT_EQ(picture.GetPixel(corner, corner, false), kBlack);
        }
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

}  // namespace
