// Frames enlarged by the saver must show on the screen exactly what GDI's
// COLORONCOLOR stretch of the same frame showed: every pixel, every size.
#include "effects/Enlarge.h"
#include "imaging/KBitmap.h"

#include "../native/BitmapTestUtil.h"
#include "Canvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t kUnwritten = 0xABCDEF;

// GDI's stretch of picture over the extent (the canvas plus `extra` each way).
void StretchByGdi(const KBitmap& picture, Canvas& canvas, int extra) {
    SetStretchBltMode(canvas.dc, COLORONCOLOR);
    StretchDIBits(canvas.dc, 0, 0, canvas.width + extra, canvas.height + extra, 0, 0, picture.Width(),
                  picture.Height(), picture.Bits(), reinterpret_cast<const BITMAPINFO*>(picture.Header()),
                  DIB_RGB_COLORS, SRCCOPY);
}

// The area of ours (bottom-up rows) against the canvas; kUnwritten elsewhere.
void ExpectSame(const Canvas& canvas, const std::vector<uint32_t>& ours, const RECT& area) {
    int wrong = 0;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const POINT p{x, y};
            const uint32_t expected = PtInRect(&area, p) ? canvas.At(x, y) : kUnwritten;
            if (ours[(canvas.height - 1 - y) * canvas.width + x] != expected && ++wrong < 4)
                ADD_FAILURE() << "pixel " << x << "," << y << " of " << canvas.width << "x" << canvas.height;
        }
}

}  // namespace

TEST(Enlarge, ShowsWhatGdiStretchShows) {
    // Turning canvases on a 1080-line screen (inclusive extent), movie frames
    // (exact extent), equal sizes, and small odd ratios.
    const struct { int pictureWidth, pictureHeight, width, height, extra; } cases[] = {
        {310, 310, 1440, 1440, 1}, {424, 424, 1080, 1080, 1}, {310, 310, 648, 648, 1},
        {640, 480, 1440, 1080, 0}, {17, 13, 17, 13, 0},       {3, 2, 7, 7, 1},
        {5, 9, 64, 23, 1},         {101, 7, 303, 100, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pictureWidth << "x" << c.pictureHeight << " to " << c.width
                                        << "x" << c.height << " + " << c.extra);
        const KBitmap picture = testutil::Pattern(c.pictureWidth, c.pictureHeight, 24, c.width);
        Canvas canvas(c.width, c.height);
        StretchByGdi(picture, canvas, c.extra);
        // The whole, then an inner area alone.
        for (const RECT area : {RECT{0, 0, c.width, c.height},
                                RECT{c.width / 3, c.height / 4, c.width / 2 + 1, c.height - 1}}) {
            std::vector<uint32_t> ours(size_t(c.width) * c.height, kUnwritten);
            ASSERT_TRUE(EnlargeNearest(*picture.Header(), picture.Bits(), c.width + c.extra,
                                       c.height + c.extra, ours.data(), c.width, c.height, area));
            ExpectSame(canvas, ours, area);
        }
    }
}
