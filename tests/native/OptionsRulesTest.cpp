#include "options/OptionsRules.h"

#include <gtest/gtest.h>

#include <string>

// The codes the dialog shows (layout F, C or B, then mode I or T; '-' for
// none) and the codes OK stores back.
TEST(OptionsRules, StoredCodesCheckAtMostOneButtonPerGroupAndOkStoresThem) {
    struct Case { int32_t mode, screenMode; const char* checked; int32_t savedMode, savedLayout; };
    const Case cases[] = {
        {'I', 'F', "FI", 'I', 'F'},
        {'T', 'C', "CT", 'T', 'C'},
        {'I', 'B', "BI", 'I', 'B'},
        {'I', 'S', "-I", 'I', 'S'},   // stretched has no button; none checked stores it
        {'t', 'b', "--", 'T', 'S'},   // codes are case-sensitive, as the saver reads them
        {-60, -1, "--", 'T', 'S'},    // a damaged file: nothing checked, valid codes saved
    };
    for (const Case& c : cases) {
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
}

TEST(OptionsRules, BrowseStartsFromTheShownFileButNotFromAFolderMarker) {
    char name[settingTextSize];
    BrowseStartName("C:\\Pictures\\gem.bmp", name);
    EXPECT_STREQ(name, "C:\\Pictures\\gem.bmp");
    BrowseStartName("<VelorinTools>", name);
    EXPECT_STREQ(name, "");
}
