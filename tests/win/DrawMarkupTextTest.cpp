#include "Canvas.h"
#include "text/TextString.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr uint32_t white = 0xFFFFFF, blue = 0x0000FF;

// Inclusive box of the pixels that are not black.
RECT Ink(const Canvas& canvas) {
    RECT box = {canvas.width, canvas.height, -1, -1};
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            if (canvas.At(x, y) != 0) box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                                             std::max<LONG>(box.right, x), y};
    return box;
}

int Count(const Canvas& canvas, uint32_t colour) {
    return int(std::count_if(canvas.pixels, canvas.pixels + canvas.width * canvas.height,
                             [&](uint32_t p) { return (p & 0xFFFFFF) == colour; }));
}

// Draws "Hello"; measuring options leave their result in `area`.
int Draw(Canvas& canvas, RECT& area, const char* options, int background = 0, const POINT* offset = nullptr) {
    static TextString text;
    return text.Assign("Hello").DrawMarkupText(nullptr, canvas.dc, &area, white, background, options, offset);
}

// Draws on black and returns the box of the ink.
RECT DrawnInk(Canvas& canvas, RECT area, const char* options, const POINT* offset = nullptr) {
    canvas.Fill(0);
    Draw(canvas, area, options, 0, offset);
    return Ink(canvas);
}

}  // namespace

TEST(DrawMarkupText, MeasuringModesAndFillBounds) {
    Canvas canvas(400, 200);
    canvas.Fill(0);
    // fill(20,10,0): only height 20 is tried; calcchardim gives its cell.
    RECT dims = {0, 0, 400, 200};
    EXPECT_EQ(Draw(canvas, dims, "fill(20,10,0) calcchardim"), 20);
    EXPECT_EQ(dims.top, 20);
    EXPECT_TRUE(dims.left > 3 && dims.left < 20) << dims.left;  // the average character width

    // calcrect: the box from the caller's corner, one line of the chosen font.
    RECT box = {10, 30, 400, 200};
    EXPECT_EQ(Draw(canvas, box, "24 vctr calcrect"), 24);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 30);     // measured where it came in: no centring
    RECT cell = {0, 0, 400, 200};
    Draw(canvas, cell, "24 calcchardim");
    EXPECT_EQ(box.bottom - box.top, cell.top);
    EXPECT_GT(box.right, 10 + 2 * 24);
    EXPECT_EQ(Count(canvas, 0), 400 * 200) << "measuring drew";

    // Drawing at fill(20,10,0) is drawing at 20.
    RECT area = {0, 0, 400, 200};
    EXPECT_EQ(Draw(canvas, area, "fill(20,10,0)"), 20);
    const RECT at20 = Ink(canvas), again = DrawnInk(canvas, area, "20");
    EXPECT_TRUE(EqualRect(&at20, &again));
    EXPECT_LT(at20.bottom - at20.top, 20);
}

TEST(DrawMarkupText, ScrollOffsetAndTransparentBackground) {
    Canvas canvas(400, 200);
    HFONT entry = CreateFontA(16, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, "Arial");
    HGDIOBJ original = SelectObject(canvas.dc, entry);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(canvas.dc, &metrics);

    // Offsets are cells of the DC's entry font, whatever font the options choose.
    RECT area = {100, 100, 400, 200};
    const POINT offset = {2, 1};
    const RECT still = DrawnInk(canvas, area, "24"), scrolled = DrawnInk(canvas, area, "24", &offset);
    EXPECT_EQ(scrolled.left, still.left - 2 * metrics.tmMaxCharWidth);
    EXPECT_EQ(scrolled.top, still.top - 16);

    // Background 1 leaves what is behind the text.
    canvas.Fill(blue);
    Draw(canvas, area, "24", 1);
    EXPECT_EQ(Count(canvas, 0), 0);
    EXPECT_GT(Count(canvas, white), 50);
    SelectObject(canvas.dc, original);
    DeleteObject(entry);
}
