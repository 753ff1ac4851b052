#include "text/MarkupOptions.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

const RECT area640 = {0, 0, 640, 480};

}  // namespace

TEST(MarkupOptions, Keywords) {
    const struct { const char* options; UINT flags; int height; bool fill; FillBounds bounds;
                   int weight; const char* face; } cases[] = {
        {nullptr, 0x840, 0, false, {0, 0, 0}, 400, nullptr},
        {"fill vctr hctr", 0x841, 8, true, {8, 4096, 2}, 400, nullptr},
        {"fill( -5, 30,x)", 0x840, 8, true, {8, 30, 2}, 400, nullptr},
        {"fill(12 ,30,1)", 0x840, 12, true, {12, 4096, 2}, 400, nullptr},  // fields stop at " ,"
        {"fill(99999999999,5,5)", 0x840, -1, true, {INT32_MAX, INT32_MAX, 5}, 400, nullptr},
        {"24 bold italic font=Courier New", 0x840, 24, false, {0, 0, 0}, 700, "Courier New"},
        {"30 font=Arial right", 0x842, 30, false, {0, 0, 0}, 400, "Arial right"},  // keywords in the face count
        {"bold 24", 0x840, 0, false, {0, 0, 0}, 700, nullptr},  // the number must lead
        {"  -12thin", 0x840, -12, false, {0, 0, 0}, 100, nullptr},
        {"70000", 0x840, 4464, false, {0, 0, 0}, 400, nullptr},  // kept to 16 bits
        {"center right wrap noclip", 0x953, 0, false, {0, 0, 0}, 400, nullptr},
    };
    for (const auto& c : cases) {
        const MarkupOptions o = ParseMarkupOptions(c.options, area640);
        const char* label = c.options ? c.options : "(none)";
        EXPECT_EQ(o.flags, c.flags) << label;
        EXPECT_EQ(o.fontHeight, c.height) << label;
        EXPECT_EQ(o.fill, c.fill) << label;
        if (c.fill) {
            EXPECT_EQ(std::tie(o.bounds.minimum, o.bounds.maximum, o.bounds.step),
                      std::tie(c.bounds.minimum, c.bounds.maximum, c.bounds.step)) << label;
        }
        EXPECT_EQ(o.weight, c.weight) << label;
        EXPECT_STREQ(o.face, c.face) << label;
    }
    const MarkupOptions styles = ParseMarkupOptions("fixed italic underline strike", area640);
    EXPECT_TRUE(styles.fixedPitch && styles.italic && styles.underline && styles.strikeOut);
    // An empty rectangle at the origin is unbounded: never clipped.
    EXPECT_EQ(ParseMarkupOptions("", RECT{0, 0, 0, 0}).flags, 0x940u);
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
