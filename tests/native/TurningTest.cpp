// Turning a picture: its preparation, judged by what the screen would show (the
// picture upright in the middle of a square black canvas). The turns
// themselves are held to their per-pixel references in ReferenceTest.
#include "BitmapTestUtil.h"
#include "engine/TurningPicture.h"
#include "imaging/KBitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kBlack = 0;

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

TEST(TurningPicture, ShowsThePictureUprightInTheMiddleOfASquareBlackCanvas) {
    // The canvas's side, and where on it and how large the picture shows.
    const struct {
        int width, height, depth;
        bool topDown, rotation3D, fade;
        int side, left, top, shownWidth, shownHeight;
    } cases[] = {
        {40, 30, 24, true, false, false, 50, 5, 10, 40, 30},
        {40, 30, 32, true, true, false, 50, 5, 10, 40, 30},
        {40, 30, 8, true, false, false, 50, 5, 10, 40, 30},
        // A diagonal of 141: borders of 20, the side 140.
        {100, 100, 24, false, true, false, 140, 20, 20, 100, 100},
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
