#include "options/BannerGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

static int Red(COLORREF c) { return c & 0xFF; }
static int Green(COLORREF c) { return (c >> 8) & 0xFF; }
static int Blue(COLORREF c) { return (c >> 16) & 0xFF; }
static std::string Text(const std::vector<PixelRun>& runs) {
    std::string text;
    for (const PixelRun& r : runs) text += std::to_string(r.x) + "," + std::to_string(r.y) + "x" + std::to_string(r.length) + " ";
    return text;
}

TEST(BannerGeometry, ColourRange) {
    struct Case { uint32_t given; int32_t used; };
    const Case cases[] = {{0, 255}, {4, 255}, {5, 4}, {6, 6}, {8, 7}, {255, 255}, {256, 255}};
    for (const Case& c : cases)
        EXPECT_EQ(EffectiveColourRange(c.given), c.used) << c.given;
}

TEST(BannerGeometry, GlowLevels) {
    struct Case { int32_t height, range; std::vector<int32_t> widths; COLORREF first; };
    const Case cases[] = {
        {42, 255, {19, 17, 15, 13, 11, 11, 9, 7, 5, 3, 1}, 0xF1A0BB},
        {42, 6, {15, 7, 1}, 0xF5B9CD},   // 2 * 6 / 3 - 1 = 3 levels
        {0, 255, {1}, 0xFFFFFF},
        {-10, 255, {}, 0},
    };
    for (const Case& c : cases) {
        const std::vector<GlowLevel> levels = GlowLevels(c.height, c.range);
        std::vector<int32_t> widths;
        for (const GlowLevel& level : levels)
            widths.push_back(level.penWidth);
        EXPECT_EQ(widths, c.widths) << c.height;
        if (levels.empty())
            continue;
        EXPECT_EQ(levels.front().colour, c.first) << c.height;
        EXPECT_EQ(levels.back().colour, 0xFFFFFFu) << c.height;  // white core
        for (size_t i = 1; i < levels.size(); ++i) {
            EXPECT_GE(Red(levels[i].colour), Red(levels[i - 1].colour));
            EXPECT_GE(Green(levels[i].colour), Green(levels[i - 1].colour));
            EXPECT_GE(Blue(levels[i].colour), Blue(levels[i - 1].colour));
        }
    }
}

TEST(BannerGeometry, GemFramesAndRays) {
    // At every turn the 13 faces project inside the banner, left of the name.
    for (int step = 0; step > -360; step -= 7) {
        const BannerPlan plan = PlanBanner(640, 80, step, 0);
        ASSERT_EQ(plan.gem.counts.size(), 13u);
        int total = 0, triangles = 0;
        for (int32_t count : plan.gem.counts) {
            total += count;
            triangles += count == 3;
        }
        EXPECT_EQ(total, 48);
        EXPECT_EQ(triangles, 6);
        for (const POINT& p : plan.gem.points) {
            EXPECT_GE(p.x, 0) << step;
            EXPECT_LT(p.x, plan.name.rect.left) << step;
            EXPECT_GE(p.y, 0) << step;
            EXPECT_LT(p.y, 80) << step;
        }
        // Each corner once: apex, 6 rim and 6 lower corners.
        EXPECT_LE(plan.rayEnds.size(), 13u) << step;
        EXPECT_GE(plan.rayEnds.size(), 12u) << step;  // rounding may merge two
    }
}

TEST(BannerGeometry, Diamonds) {
    EXPECT_EQ(Text(DiamondRows(10, 20, 7)), "13,20x1 12,21x3 11,22x5 10,23x7 11,24x5 12,25x3 13,26x1 ");
    EXPECT_EQ(Text(DiamondRows(0, 0, 2)), "1,0x1 0,1x2 ");
    // Odd cells give diamonds symmetric about their middle column, cell wide.
    for (int32_t cell = 3; cell < 40; cell += 2) {
        int widest = 0;
        for (const PixelRun& run : DiamondRows(0, 0, cell)) {
            EXPECT_EQ(run.x + run.length - 1, cell - 1 - run.x) << cell;
            widest = std::max(widest, static_cast<int>(run.length));
        }
        EXPECT_EQ(widest, cell);
    }
}

TEST(BannerGeometry, SparkleMesh) {
    // Rows at -3, 0, 3, 6, 9, a cell apart across; shifted rows start at -3, the others at 0.
    std::string cells;
    for (const POINT& p : SparkleCells(RECT{0, 0, 20, 10}, 7)) cells += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
    EXPECT_EQ(cells, "-3,-3 4,-3 11,-3 18,-3 0,0 7,0 14,0 -3,3 4,3 11,3 18,3 0,6 7,6 14,6 -3,9 4,9 11,9 18,9 ");
    EXPECT_TRUE(SparkleCells(RECT{0, 0, 20, 10}, 1).empty());
    EXPECT_TRUE(SparkleCells(RECT{5, 5, 5, 5}, 7).size() <= 2u);
}
