#include "Canvas.h"
#include "text/TextString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

constexpr uint32_t white = 0xFFFFFF, blue = 0x0000FF;

// Inclusive box of the pixels that are not `background`.
RECT Ink(const Canvas& canvas, uint32_t background) {
    RECT box = {canvas.width, canvas.height, -1, -1};
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            if (canvas.At(x, y) != background) {
                box.left = std::min<LONG>(box.left, x);
                box.right = std::max<LONG>(box.right, x);
                box.top = std::min<LONG>(box.top, y);
                box.bottom = y;
            }
    return box;
}

int Count(const Canvas& canvas, uint32_t colour) {
    int n = 0;
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x)
            n += canvas.At(x, y) == colour;
    return n;
}

TextString& Text(const char* characters) {
    static TextString text;
    return text.Assign(characters);
}

}  // namespace

TEST(DrawMarkupText, MeasuringModesAndFillBounds) {
    Canvas canvas(400, 200);
    canvas.Fill(0);
    const TextString& hello = Text("Hello");

    // fill(20,10,0): only height 20 is tried; calcchardim gives its cell.
    RECT dims = {0, 0, 400, 200};
    EXPECT_EQ(hello.DrawMarkupText(nullptr, canvas.dc, &dims, white, 0, "fill(20,10,0) calcchardim",
                                   nullptr), 20);
    EXPECT_EQ(dims.top, 20);
    EXPECT_GT(dims.left, 3);
    EXPECT_LT(dims.left, 20);
    EXPECT_EQ(dims.right, 400);
    EXPECT_EQ(dims.bottom, 200);
    RECT plain = {0, 0, 400, 200};
    EXPECT_EQ(hello.DrawMarkupText(nullptr, canvas.dc, &plain, white, 0, "calcchardim", nullptr), 1);

    // calcrect: the box from the caller's corner; the result is the text height.
    RECT box = {10, 30, 400, 200};
    const int textHeight = hello.DrawMarkupText(nullptr, canvas.dc, &box, white, 0, "24 vctr calcrect", nullptr);
    EXPECT_EQ(textHeight, 24);  // a chosen height is the result
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 30);     // measured where it came in: no centring
    RECT cell = {0, 0, 400, 200};
    hello.DrawMarkupText(nullptr, canvas.dc, &cell, white, 0, "24 calcchardim", nullptr);
    EXPECT_EQ(box.bottom - box.top, cell.top);  // one line of the chosen font
    EXPECT_GT(box.right, 10 + 2 * 24);

    // fill calcrect: fitted first; the box is the fitted text's, inside the area.
    RECT fitted = {0, 0, 400, 200};
    const int height = hello.DrawMarkupText(nullptr, canvas.dc, &fitted, white, 0, "fill calcrect", nullptr);
    EXPECT_GT(height, 100);
    EXPECT_LE(fitted.right, 400);
    EXPECT_LE(fitted.bottom, 200);
    EXPECT_EQ(Count(canvas, 0), 400 * 200) << "measuring drew";

    // Drawing at fill(20,10,0) is drawing at 20.
    RECT area = {0, 0, 400, 200};
    EXPECT_EQ(hello.DrawMarkupText(nullptr, canvas.dc, &area, white, 0, "fill(20,10,0)", nullptr), 20);
    const RECT at20 = Ink(canvas, 0);
    canvas.Fill(0);
    hello.DrawMarkupText(nullptr, canvas.dc, &area, white, 0, "20", nullptr);
    const RECT again = Ink(canvas, 0);
    EXPECT_EQ(std::make_tuple(at20.left, at20.top, at20.right, at20.bottom),
              std::make_tuple(again.left, again.top, again.right, again.bottom));
    EXPECT_LT(at20.bottom - at20.top, 20);
}

TEST(DrawMarkupText, FaceNameIsSearchedForKeywordsToo) {
    Canvas canvas(400, 100);
    RECT area = {0, 0, 400, 100};
    const struct { const char* options; int left, right; } cases[] = {
        {"30 font=Arial", 0, 200},        // left-aligned: ink starts at the left edge
        {"30 font=Arial right", 200, 399},  // the face is "Arial right", and the text goes right
        {"30 hctr font=Arial", 100, 300},
    };
    for (const auto& c : cases) {
        canvas.Fill(0);
        Text("Wide text").DrawMarkupText(nullptr, canvas.dc, &area, white, 0, c.options, nullptr);
        const RECT ink = Ink(canvas, 0);
        EXPECT_GE(ink.left, c.left) << c.options;
        EXPECT_LE(ink.left, c.left + 5 + (c.left ? 100 : 0)) << c.options;
        EXPECT_LE(ink.right, c.right) << c.options;
        EXPECT_GE(ink.right, c.right - 5 - (c.right < 399 ? 100 : 0)) << c.options;
    }
}

TEST(DrawMarkupText, ScrollOffsetAndTransparentBackground) {
    Canvas canvas(400, 200);
    HFONT entry = CreateFontA(16, 0, 0, 0, 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH, "Arial");
    HGDIOBJ original = SelectObject(canvas.dc, entry);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(canvas.dc, &metrics);
    ASSERT_EQ(metrics.tmHeight, 16);
    SetTextColor(canvas.dc, 0x123456);
    SetBkColor(canvas.dc, 0x654321);
    SetBkMode(canvas.dc, OPAQUE);

    // Offsets are cells of the DC's entry font, whatever font the options choose.
    RECT area = {100, 100, 400, 200};
    canvas.Fill(0);
    Text("Hello").DrawMarkupText(nullptr, canvas.dc, &area, white, 0, "24", nullptr);
    const RECT still = Ink(canvas, 0);
    canvas.Fill(0);
    const POINT offset = {2, 1};
    Text("Hello").DrawMarkupText(nullptr, canvas.dc, &area, white, 0, "24", &offset);
    const RECT scrolled = Ink(canvas, 0);
    EXPECT_EQ(scrolled.left, still.left - 2 * metrics.tmMaxCharWidth);
    EXPECT_EQ(scrolled.top, still.top - 16);

    // Background 1 leaves what is behind the text; 0 fills its cells black.
    canvas.Fill(blue);
    Text("Hello").DrawMarkupText(nullptr, canvas.dc, &area, white, 1, "24", nullptr);
    EXPECT_EQ(Count(canvas, 0), 0);
    EXPECT_GT(Count(canvas, white), 50);
    canvas.Fill(blue);
    Text("Hello").DrawMarkupText(nullptr, canvas.dc, &area, white, 0, "24", nullptr);
    EXPECT_GT(Count(canvas, 0), 200);

    // No options: the DC's own font, no centring.
    canvas.Fill(0);
    EXPECT_EQ(Text("Hello").DrawMarkupText(nullptr, canvas.dc, &area, white, 0, nullptr, nullptr), 16);

    // The DC is left as it was.
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), entry);
    EXPECT_EQ(GetTextColor(canvas.dc), 0x123456u);
    EXPECT_EQ(GetBkColor(canvas.dc), 0x654321u);
    EXPECT_EQ(GetBkMode(canvas.dc), OPAQUE);
    SelectObject(canvas.dc, original);
    DeleteObject(entry);
}
