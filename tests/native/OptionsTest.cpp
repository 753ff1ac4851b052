// The options' decisions without a dialog: the banner's geometry, the codes
// the dialog shows and stores, and where the installer puts the saver.
#include "effects/BannerGeometry.h"
#include "options/InstallRules.h"
#include "options/OptionsRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <string>

static std::string Text(const std::vector<PixelRun>& runs) {
    std::string text;
    for (const PixelRun& r : runs)
        text += std::to_string(r.x) + "," + std::to_string(r.y) + "x" + std::to_string(r.length) + " ";
    return text;
}

// The saver asks for colour range 0, which means 255: as many levels as fit
// half the height, from lavender to a white core. The gem, its rays, and the
// diamonds of its sparkles.
TEST(BannerGeometry, GlowLevelsGemRaysDiamondsAndSparkleMesh) {
    EXPECT_EQ(EffectiveColourRange(0), 255);
    const std::vector<GlowLevel> levels = GlowLevels(42, 255);
    std::vector<int32_t> widths;
    for (const GlowLevel& level : levels)
        widths.push_back(level.penWidth);
    EXPECT_EQ(widths, (std::vector<int32_t>{19, 17, 15, 13, 11, 11, 9, 7, 5, 3, 1}));
    EXPECT_EQ(levels.front().colour, 0xF1A0BBu);
    EXPECT_EQ(levels.back().colour, 0xFFFFFFu);
    // Each level at least as light as the one outside it, channel by channel.
    for (size_t i = 1; i < levels.size(); ++i)
        for (int shift : {0, 8, 16})
            EXPECT_GE(levels[i].colour >> shift & 0xFF, levels[i - 1].colour >> shift & 0xFF);
    // At every turn the 13 faces project inside the banner, left of the name.
    for (int step = 0; step > -360; step -= 7) {
        const BannerPlan plan = PlanBanner(640, 80, step, 0);
        ASSERT_EQ(plan.gem.counts.size(), 13u);
        EXPECT_EQ(std::accumulate(plan.gem.counts.begin(), plan.gem.counts.end(), 0), 48);
        EXPECT_EQ(std::count(plan.gem.counts.begin(), plan.gem.counts.end(), 3), 6);  // triangles
        for (const POINT& p : plan.gem.points)
            EXPECT_TRUE(p.x >= 0 && p.x < plan.name.rect.left && p.y >= 0 && p.y < 80)
                << step << ": " << p.x << "," << p.y;
        // Each corner once: apex, 6 rim and 6 lower corners (rounding may merge two).
        EXPECT_TRUE(plan.rayEnds.size() == 12 || plan.rayEnds.size() == 13) << step;
    }
    // Diamonds, and the mesh of sparkle cells they fill a face with.
    EXPECT_EQ(Text(DiamondRows(10, 20, 7)), "13,20x1 12,21x3 11,22x5 10,23x7 11,24x5 12,25x3 13,26x1 ");
    EXPECT_EQ(Text(DiamondRows(0, 0, 2)), "1,0x1 0,1x2 ");
    // Rows at -3, 0, 3, 6, 9, a cell apart across; shifted rows start at -3, the others at 0.
    std::string cells;
    for (const POINT& p : SparkleCells(RECT{0, 0, 20, 10}, 7))
        cells += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
    EXPECT_EQ(cells, "-3,-3 4,-3 11,-3 18,-3 0,0 7,0 14,0 -3,3 4,3 11,3 18,3 0,6 7,6 14,6 -3,9 4,9 11,9 18,9 ");
}

// The codes the dialog shows (layout F, C or B, then mode I or T; '-' for
// none) and the codes OK stores back.
TEST(OptionsRules, StoredCodesCheckAtMostOneButtonPerGroupAndOkStoresThem) {
    const struct {
        int32_t mode, screenMode;
        const char* checked;
        int32_t savedMode, savedLayout;
    } cases[] = {
        {'I', 'F', "FI", 'I', 'F'}, {'T', 'C', "CT", 'T', 'C'},
        {'I', 'B', "BI", 'I', 'B'}, {'I', 'S', "-I", 'I', 'S'},  // stretched has no button; none checked stores it
        {'t', 'b', "--", 'T', 'S'},                              // codes are case-sensitive, as the saver reads them
        {-60, -1, "--", 'T', 'S'},                               // a damaged file: nothing checked, valid codes saved
    };
    for (const auto& c : cases) {
        SaverSettings s{};
        s.mode = c.mode;
        s.screenMode = c.screenMode;
        const OptionsChoices o = ChoicesFromSettings(s);
        std::string layout = std::string(o.fullScreen ? "F" : "") + (o.centred ? "C" : "") + (o.bounce ? "B" : "");
        std::string mode = std::string(o.imagery ? "I" : "") + (o.text ? "T" : "");
        EXPECT_EQ((layout.empty() ? "-" : layout) + (mode.empty() ? "-" : mode), c.checked) << c.mode;
        StoreChoices(o, &s);
        EXPECT_EQ(s.mode, c.savedMode) << c.mode;
        EXPECT_EQ(s.screenMode, c.savedLayout) << c.screenMode;
    }
    // Browsing starts from the shown file, but not from a folder marker.
    char name[settingTextSize];
    BrowseStartName("C:\\Pictures\\gem.bmp", name);
    EXPECT_STREQ(name, "C:\\Pictures\\gem.bmp");
    BrowseStartName("<VelorinTools>", name);
    EXPECT_STREQ(name, "");
}

TEST(InstallRules, SaverFileInAFolderInTheSystemFolderAndWhereTheCopyWent) {
    const std::string name = "\\VelorinScreenSaver.scr";
    const struct {
        std::string folder;
        std::string path;
    } cases[] = {
        // an empty path: refused
        {"C:\\Windows\\system32", "C:\\Windows\\system32" + name},
        {"C:\\", "C:" + name},  // a drive root already ends in its backslash
        // 259 characters at most: 236 + 23 fits, one more does not.
        {std::string(236, 'f'), std::string(236, 'f') + name},
        {std::string(236, 'f') + "\\", std::string(236, 'f') + name},
        {std::string(237, 'f'), ""},
    };
    for (const auto& c : cases) {
        char path[installPathSize];
        memset(path, 'x', sizeof path);
        EXPECT_EQ(SaverFilePath(c.folder.c_str(), path), !c.path.empty()) << c.folder.size();
        EXPECT_EQ(std::string(path), c.path) << c.folder.size();
    }
    // A virtualised copy never counts ((false, 1): no virtualisation on that
    // system); the system folder is recognised ignoring case.
    EXPECT_TRUE(CopyReachesSystemFolder(true, 0) && !CopyReachesSystemFolder(true, 1) &&
                CopyReachesSystemFolder(false, 1));
    EXPECT_TRUE(IsSameFolder("C:\\windows\\system32", "C:\\WINDOWS\\System32"));
    EXPECT_FALSE(IsSameFolder("C:\\windows\\system32\\Velorin", "C:\\windows\\system32") ||
                 IsSameFolder("C:\\windows\\system3", "C:\\windows\\system32"));
}
