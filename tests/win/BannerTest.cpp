#include "options/Banner.h"

#include "Canvas.h"

#include <gtest/gtest.h>

#include <cstdint>

// Drawn into a part of a DC: lavender with white lines and a black name
// inside, nothing outside, and the DC's objects, colours and mode as they were.
// Tiny, empty and reversed rectangles, and no DC at all: nothing drawn, no crash.
TEST(Banner, DrawsOnlyIntoItsRectangleAndRestoresTheDC) {
    Canvas canvas(760, 100);
    ASSERT_NE(canvas.pixels, nullptr);
    for (RECT area : {RECT{0, 0, 0, 0}, RECT{0, 0, 1, 1}, RECT{0, 0, 16, 3}, RECT{5, 5, 2, 2}})
        DrawBanner(nullptr, canvas.dc, 0, 0, &area);
    DrawBanner(nullptr, nullptr, 0, 0, nullptr);
    const POINT triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    DrawSparkles(canvas.dc, triangle, 3, 40, 1);
    DrawSparkles(canvas.dc, triangle, 0, 40, 7);

    PatBlt(canvas.dc, 0, 0, 760, 100, BLACKNESS);
    const HGDIOBJ pen = GetCurrentObject(canvas.dc, OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(canvas.dc, OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(canvas.dc, OBJ_FONT);
    SetTextColor(canvas.dc, 0x123456);
    SetBkMode(canvas.dc, OPAQUE);
    const RECT area{100, 10, 740, 90};  // 640 x 80, as the saver draws it
    DrawBanner(nullptr, canvas.dc, 17, 0, &area);

    EXPECT_EQ(canvas.At(739, 10), 0xB496F0u);  // lavender, RGB(180, 150, 240)
    int white = 0, black = 0;
    for (int y = 10; y < 90; ++y)
        for (int x = 100; x < 740; ++x) {
            white += canvas.At(x, y) == 0xFFFFFF;
            black += canvas.At(x, y) == 0;
        }
    EXPECT_GT(white, 500);  // line cores, facets and the name's light copy
    EXPECT_GT(black, 500);  // the name
    for (POINT outside : {POINT{99, 50}, POINT{400, 9}, POINT{400, 90}, POINT{740, 50}})
        EXPECT_EQ(canvas.At(outside.x, outside.y), 0u) << outside.x << "," << outside.y;
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), font);
    EXPECT_EQ(GetTextColor(canvas.dc), 0x123456u);
    EXPECT_EQ(GetBkMode(canvas.dc), OPAQUE);
}
