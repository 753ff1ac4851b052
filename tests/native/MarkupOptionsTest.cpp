#include "text/MarkupOptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const RECT area640 = {0, 0, 640, 480};

}  // namespace

TEST(MarkupOptions, Keywords) {
    const struct { const char* options; UINT flags; int height; bool fill; FillBounds bounds;
                   int weight; const char* face; } cases[] = {
        {nullptr, 0x840, 0, false, {0, 0, 0}, 400, nullptr},
        {"fill vctr hctr", 0x841, 8, true, {8, 4096, 2}, 400, nullptr},
        {"fill(20,10,0)", 0x840, 20, true, {20, 20, 2}, 400, nullptr},
        {"fill(4,9999,3)", 0x840, 8, true, {8, 4096, 3}, 400, nullptr},
        {"fill( -5, 30,x)", 0x840, 8, true, {8, 30, 2}, 400, nullptr},
        {"fill(12 ,30,1)", 0x840, 12, true, {12, 4096, 2}, 400, nullptr},  // fields stop at " ,"
        {"fill(99999999999,5,5)", 0x840, -1, true, {INT32_MAX, INT32_MAX, 5}, 400, nullptr},
        {"24 bold italic font=Courier New", 0x840, 24, false, {0, 0, 0}, 700, "Courier New"},
        {"bold 24", 0x840, 0, false, {0, 0, 0}, 700, nullptr},  // the number must lead
        {"  -12thin", 0x840, -12, false, {0, 0, 0}, 100, nullptr},
        {"70000", 0x840, 4464, false, {0, 0, 0}, 400, nullptr},  // kept to 16 bits
        {"99999999999999", 0x840, -1, false, {0, 0, 0}, 400, nullptr},
        {"font=Arial right", 0x842, 0, false, {0, 0, 0}, 400, "Arial right"},
        {"center right wrap noclip", 0x953, 0, false, {0, 0, 0}, 400, nullptr},
        {"thin bold", 0x840, 0, false, {0, 0, 0}, 700, nullptr},
    };
    for (const auto& c : cases) {
        const MarkupOptions o = ParseMarkupOptions(c.options, area640);
        const char* label = c.options ? c.options : "(none)";
        EXPECT_EQ(o.flags, c.flags) << label;
        EXPECT_EQ(o.fontHeight, c.height) << label;
        EXPECT_EQ(o.fill, c.fill) << label;
        if (c.fill) {
            EXPECT_EQ(o.bounds.minimum, c.bounds.minimum) << label;
            EXPECT_EQ(o.bounds.maximum, c.bounds.maximum) << label;
            EXPECT_EQ(o.bounds.step, c.bounds.step) << label;
        }
        EXPECT_EQ(o.weight, c.weight) << label;
        EXPECT_STREQ(o.face, c.face) << label;
    }
    const MarkupOptions styles = ParseMarkupOptions("fixed italic underline strike calcrect", area640);
    EXPECT_TRUE(styles.fixedPitch && styles.italic && styles.underline && styles.strikeOut);
    EXPECT_TRUE(styles.calcRect && !styles.calcCharDim && !styles.centreVertically);
    EXPECT_TRUE(ParseMarkupOptions("calcchardim vctr", area640).calcCharDim);
    // An empty rectangle at the origin is unbounded: never clipped.
    EXPECT_EQ(ParseMarkupOptions("", RECT{0, 0, 0, 0}).flags, 0x940u);
    EXPECT_EQ(ParseMarkupOptions("", RECT{-5, -5, 0, 0}).flags, 0x940u);
    EXPECT_EQ(ParseMarkupOptions("", RECT{0, 0, 0, 1}).flags, 0x840u);
}

namespace {

// A fake measuring function: a text whose box is `width` x `lines` cells of
// a font `height` units high, each character half as wide as high. It
// records the heights it was asked for.
struct FakeText {
    int characters, lines;
    std::vector<int32_t> asked;
};

RECT MeasureFake(int32_t height, void* context) {
    FakeText& text = *static_cast<FakeText*>(context);
    text.asked.push_back(height);
    return RECT{0, 0, text.characters * height / 2, text.lines * height};
}

}  // namespace

TEST(MarkupOptions, FittingSearchAgainstAFakeMeasure) {
    const struct { int characters, lines; RECT area; FillBounds bounds; int32_t height; int calls; } cases[] = {
        // 11 characters on 2 lines in 640 x 480: widths 5.5 h; 116 fits (638 < 640), 118 overflows.
        {11, 2, {0, 0, 640, 480}, {8, 4096, 2}, 116, 57},
        // Exactly touching the right edge stops at once: 10 x 64 / 2 = 320.
        {10, 1, {0, 0, 320, 480}, {8, 4096, 8}, 64, 8},
        {1, 1, {0, 0, 640, 480}, {8, 100, 2}, 100, 47},   // the maximum ends the growth
        {200, 1, {0, 0, 640, 480}, {8, 4096, 2}, 8, 1},   // even the minimum overflows: minimum
        {20, 1, {0, 0, 640, 480}, {20, 20, 2}, 20, 1},    // fill(20,10,0): only 20 is tried
        {10, 1, {0, 0, 0, 0}, {8, 4096, 2}, 8, 1},        // unbounded area: everything overflows
        {3, 1, {0, 0, 100, 1000}, {8, 4096, 3}, 65, 22},  // step 3: 8, 11, ..., 65 (97 < 100)
    };
    for (const auto& c : cases) {
        FakeText text = {c.characters, c.lines, {}};
        EXPECT_EQ(SearchFittingHeight(c.bounds, c.area, MeasureFake, &text), c.height)
            << c.characters << " in " << c.area.right;
        EXPECT_EQ(static_cast<int>(text.asked.size()), c.calls) << c.characters;
        EXPECT_EQ(text.asked.back(), c.height);  // the last measurement is the chosen height
    }
}

TEST(MarkupOptions, FitDecisionsShrinkOnceGrowingOverflows) {
    const FillBounds b = {8, 40, 4};
    const RECT area = {0, 0, 100, 50};
    const struct { RECT measured; bool shrinking; int height; FitStep step; } cases[] = {
        {{0, 0, 99, 49}, false, 20, FitStep::grow},
        {{0, 0, 99, 49}, true, 20, FitStep::stop},    // never grows again once shrinking
        {{0, 0, 99, 49}, false, 37, FitStep::stop},   // 37 + 4 passes the maximum
        {{0, 0, 100, 49}, false, 20, FitStep::stop},  // touching an edge fits
        {{0, 0, 101, 10}, false, 20, FitStep::shrink},
        {{0, 0, 10, 51}, true, 20, FitStep::shrink},
        {{0, 0, 10, 51}, false, 11, FitStep::stop},   // 11 - 4 is below the minimum
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecideFitStep(area, c.measured, c.shrinking, c.height, b), c.step) << c.height;
}

TEST(MarkupOptions, CentringAndResult) {
    EXPECT_EQ(CentredTop(RECT{0, 10, 100, 110}, RECT{0, 10, 50, 40}), 45);
    EXPECT_EQ(CentredTop(RECT{0, 0, 100, 100}, RECT{0, 0, 50, 151}), -25);  // taller: up by half the excess
    EXPECT_EQ(MarkupResult(24, 37), 24);
    EXPECT_EQ(MarkupResult(24, 0), 0);
    EXPECT_EQ(MarkupResult(0, 37), 37);
    EXPECT_EQ(MarkupResult(-12, 1), -12);
}
