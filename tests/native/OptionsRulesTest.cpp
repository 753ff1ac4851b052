#include "options/OptionsRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// The checked buttons as letters: layout F, C or B, then mode I or T; '-' for none.
static std::string Checked(const OptionsChoices& c) {
    std::string layout = std::string(c.fullScreen ? "F" : "") + (c.centred ? "C" : "") + (c.bounce ? "B" : "");
    std::string mode = std::string(c.imagery ? "I" : "") + (c.text ? "T" : "");
    return (layout.empty() ? "-" : layout) + (mode.empty() ? "-" : mode);
}

TEST(OptionsRules, StoredCodesCheckAtMostOneButtonPerGroupAndOkStoresThem) {
    struct Case { int32_t mode, screenMode; const char* checked; int32_t savedMode, savedLayout; };
    const Case cases[] = {
        {'I', 'F', "FI", 'I', 'F'},
        {'T', 'C', "CT", 'T', 'C'},
        {'I', 'B', "BI", 'I', 'B'},
        {'I', 'S', "-I", 'I', 'S'},   // stretched has no button; none checked stores it
        {'t', 'b', "--", 'T', 'S'},   // codes are case-sensitive, as the saver reads them
        {'X', 0, "--", 'T', 'S'},     // a damaged file: nothing checked, valid codes saved
        {-60, -1, "--", 'T', 'S'},
    };
    for (const Case& c : cases) {
        SaverSettings s{};
        s.mode = c.mode;
        s.screenMode = c.screenMode;
        const OptionsChoices choices = ChoicesFromSettings(s);
        EXPECT_EQ(Checked(choices), c.checked) << c.mode << ' ' << c.screenMode;
        StoreChoices(choices, &s);
        EXPECT_EQ(s.mode, c.savedMode) << c.mode;
        EXPECT_EQ(s.screenMode, c.savedLayout) << c.screenMode;
    }
}

TEST(OptionsRules, EffectStatesGoBackAsLoadedNonZeroAsOne) {
    // Text mode disables the boxes; what they show is still saved.
    SaverSettings s{};
    s.mode = 'T';
    s.rewind = 0;
    s.fade = -1;
    s.rotation2D = 7;
    s.rotation3D = 0;
    StoreChoices(ChoicesFromSettings(s), &s);
    EXPECT_EQ(std::to_string(s.rewind) + std::to_string(s.fade) + std::to_string(s.rotation2D) +
                  std::to_string(s.rotation3D),
              "0110");
}

TEST(OptionsRules, BrowseStartsFromTheShownFileButNotFromASpecialName) {
    struct Case { std::string shown, start; };
    const Case cases[] = {
        {"C:\\Pictures\\gem.bmp", "C:\\Pictures\\gem.bmp"},
        {"<background>", ""},
        {"", ""},
        {std::string(300, 'p'), std::string(255, 'p')},
    };
    for (const Case& c : cases) {
        char name[settingTextSize];
        memset(name, 'x', sizeof name);
        BrowseStartName(c.shown.c_str(), name);
        EXPECT_EQ(std::string(name), c.start) << c.shown;
    }
}
