#include "options/OptionsRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

SaverSettings Settings(int32_t mode, int32_t screenMode) {
    SaverSettings s{};
    s.mode = mode;
    s.screenMode = screenMode;
    return s;
}

// The checked buttons as letters: layout F/C/B, mode I/T, '-' for none.
std::string Checked(const OptionsChoices& c) {
    std::string layout;
    if (c.fullScreen) layout += 'F';
    if (c.centred) layout += 'C';
    if (c.bounce) layout += 'B';
    std::string mode;
    if (c.imagery) mode += 'I';
    if (c.text) mode += 'T';
    return (layout.empty() ? "-" : layout) + (mode.empty() ? "-" : mode);
}

}  // namespace

TEST(OptionsRules, StoredCodesCheckAtMostOneButtonPerGroup) {
    struct Case { int32_t mode, screenMode; const char* checked; };
    const Case cases[] = {
        {'I', 'F', "FI"}, {'T', 'C', "CT"}, {'I', 'B', "BI"},
        {'I', 'S', "-I"},   // stretched has no button
        {'t', 'b', "--"},   // codes are case-sensitive, as the saver reads them
        {'X', 0, "--"},     // a damaged file: nothing checked, nothing breaks
        {-60, -1, "--"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Checked(ChoicesFromSettings(Settings(c.mode, c.screenMode))), c.checked)
            << c.mode << ' ' << c.screenMode;
}

TEST(OptionsRules, OkStoresWhatTheButtonsShow) {
    struct Case { OptionsChoices choices; int32_t mode, screenMode; };
    const Case cases[] = {
        {{true, false, false, true, false, false, false, false, false}, 'I', 'F'},
        {{false, true, false, false, true, false, false, false, false}, 'T', 'C'},
        {{false, false, true, true, false, false, false, false, false}, 'I', 'B'},
        // No layout: stretched; no mode: text.
        {{false, false, false, false, false, false, false, false, false}, 'T', 'S'},
    };
    for (const Case& c : cases) {
        SaverSettings s = Settings('?', '?');
        StoreChoices(c.choices, &s);
        EXPECT_EQ(s.mode, c.mode);
        EXPECT_EQ(s.screenMode, c.screenMode);
    }
}

TEST(OptionsRules, EffectsSurviveTheRoundTripWhateverTheMode) {
    // Text mode disables the effect boxes; their states still go back as loaded.
    for (int bits = 0; bits < 16; ++bits) {
        SaverSettings loaded = Settings('T', 'B');
        loaded.rewind = bits & 1;
        loaded.fade = (bits >> 1) & 1;
        loaded.rotation2D = (bits >> 2) & 1;
        loaded.rotation3D = (bits >> 3) & 1;
        SaverSettings saved = Settings(0, 0);
        StoreChoices(ChoicesFromSettings(loaded), &saved);
        EXPECT_EQ(saved.mode, 'T');
        EXPECT_EQ(saved.screenMode, 'B');
        EXPECT_EQ((saved.rewind) | (saved.fade << 1) | (saved.rotation2D << 2) | (saved.rotation3D << 3), bits);
    }
    // Any non-zero stored number counts as on and is saved as 1.
    SaverSettings loaded = Settings('I', 'F');
    loaded.rotation2D = 7;
    loaded.fade = -1;
    SaverSettings saved{};
    StoreChoices(ChoicesFromSettings(loaded), &saved);
    EXPECT_EQ(saved.rotation2D, 1);
    EXPECT_EQ(saved.fade, 1);
}

TEST(OptionsRules, BrowseStartsFromTheShownFileButNotFromASpecialName) {
    struct Case { std::string shown, start; };
    const Case cases[] = {
        {"C:\\Pictures\\gem.bmp", "C:\\Pictures\\gem.bmp"},
        {"<background>", ""},
        {"<", ""},
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
