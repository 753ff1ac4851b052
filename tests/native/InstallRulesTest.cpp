#include "options/InstallRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(InstallRules, SaverFileInAFolder) {
    struct Case { std::string folder; bool fits; std::string path; };
    const Case cases[] = {
        {"C:\\Windows\\system32", true, "C:\\Windows\\system32\\VelorinScreenSaver.scr"},
        {"C:\\", true, "C:\\VelorinScreenSaver.scr"},  // a drive root already ends in one
        {"", true, "\\VelorinScreenSaver.scr"},
        // 259 characters at most: 236 + 23 fits, one more does not.
        {std::string(236, 'f'), true, std::string(236, 'f') + "\\VelorinScreenSaver.scr"},
        {std::string(237, 'f'), false, ""},
        {std::string(236, 'f') + "\\", true, std::string(236, 'f') + "\\VelorinScreenSaver.scr"},
        {std::string(1000, 'f'), false, ""},
    };
    for (const Case& c : cases) {
        char path[installPathSize];
        memset(path, 'x', sizeof path);
        EXPECT_EQ(SaverFilePath(c.folder.c_str(), path), c.fits) << c.folder.size();
        EXPECT_EQ(std::string(path), c.path) << c.folder.size();
    }
}

TEST(InstallRules, VirtualisedCopyNeverCounts) {
    EXPECT_TRUE(CopyReachesSystemFolder(true, 0));
    EXPECT_FALSE(CopyReachesSystemFolder(true, 1));
    // A system without virtualisation does not know the question.
    EXPECT_TRUE(CopyReachesSystemFolder(false, 0));
    EXPECT_TRUE(CopyReachesSystemFolder(false, 1));
}

TEST(InstallRules, DataFolderIsTheSystemFolderIgnoringCase) {
    EXPECT_TRUE(IsSameFolder("C:\\windows\\system32", "C:\\WINDOWS\\System32"));
    EXPECT_FALSE(IsSameFolder("C:\\windows\\system3", "C:\\windows\\system32"));
    EXPECT_FALSE(IsSameFolder("C:\\windows\\system32\\Velorin", "C:\\windows\\system32"));
    EXPECT_FALSE(IsSameFolder("", "C:\\windows\\system32"));
    EXPECT_FALSE(IsSameFolder("C:\\Caf\xC9", "C:\\Caf\xE9"));  // only ASCII letters fold
}
