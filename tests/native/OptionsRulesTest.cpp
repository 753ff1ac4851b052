// The options dialog's and the installer's decisions, without a dialog.
#include "options/InstallRules.h"
#include "options/OptionsRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// The codes the dialog shows (layout F, C or B, then mode I or T; '-' for
// none) and the codes OK stores back.
TEST(OptionsRules, StoredCodesCheckAtMostOneButtonPerGroupAndOkStoresThem) {
    const struct { int32_t mode, screenMode; const char* checked; int32_t savedMode, savedLayout; } cases[] = {
        {'I', 'F', "FI", 'I', 'F'},
        {'T', 'C', "CT", 'T', 'C'},
        {'I', 'B', "BI", 'I', 'B'},
        {'I', 'S', "-I", 'I', 'S'},   // stretched has no button; none checked stores it
        {'t', 'b', "--", 'T', 'S'},   // codes are case-sensitive, as the saver reads them
        {-60, -1, "--", 'T', 'S'},    // a damaged file: nothing checked, valid codes saved
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

TEST(InstallRules, SaverFileInAFolder) {
    const std::string name = "\\VelorinScreenSaver.scr";
    const struct { std::string folder; std::string path; } cases[] = {  // an empty path: refused
        {"C:\\Windows\\system32", "C:\\Windows\\system32" + name},
        {"C:\\", "C:" + name},   // a drive root already ends in its backslash
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
}

// A virtualised copy never counts; the system folder is recognised ignoring case.
TEST(InstallRules, TheSystemFolderAndWhereTheCopyWent) {
    EXPECT_TRUE(CopyReachesSystemFolder(true, 0));
    EXPECT_FALSE(CopyReachesSystemFolder(true, 1));
    EXPECT_TRUE(CopyReachesSystemFolder(false, 1));   // no virtualisation on that system
    EXPECT_TRUE(IsSameFolder("C:\\windows\\system32", "C:\\WINDOWS\\System32"));
    EXPECT_FALSE(IsSameFolder("C:\\windows\\system32\\Velorin", "C:\\windows\\system32"));
    EXPECT_FALSE(IsSameFolder("C:\\windows\\system3", "C:\\windows\\system32"));
}
