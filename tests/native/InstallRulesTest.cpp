#include "options/InstallRules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(InstallRules, SaverFileInAFolder) {
    const std::string name = "\\VelorinScreenSaver.scr";
    struct Case { std::string folder; std::string path; };   // an empty path: refused
    const Case cases[] = {
        {"C:\\Windows\\system32", "C:\\Windows\\system32" + name},
        {"C:\\", "C:" + name},   // a drive root already ends in its backslash
        // 259 characters at most: 236 + 23 fits, one more does not.
        {std::string(236, 'f'), std::string(236, 'f') + name},
        {std::string(236, 'f') + "\\", std::string(236, 'f') + name},
        {std::string(237, 'f'), ""},
    };
    for (const Case& c : cases) {
        char path[installPathSize];
        memset(path, 'x', sizeof path);
        EXPECT_EQ(SaverFilePath(c.folder.c_str(), path), !c.path.empty()) << c.folder.size();
        EXPECT_EQ(std::string(path), c.path) << c.folder.size();
    }
}

TEST(InstallRules, AVirtualisedCopyNeverCounts) {
    EXPECT_TRUE(CopyReachesSystemFolder(true, 0));
    EXPECT_FALSE(CopyReachesSystemFolder(true, 1));
    EXPECT_TRUE(CopyReachesSystemFolder(false, 1));   // no virtualisation on that system
}

TEST(InstallRules, TheSystemFolderIsRecognisedIgnoringCase) {
    EXPECT_TRUE(IsSameFolder("C:\\windows\\system32", "C:\\WINDOWS\\System32"));
    EXPECT_FALSE(IsSameFolder("C:\\windows\\system32\\Velorin", "C:\\windows\\system32"));
    EXPECT_FALSE(IsSameFolder("C:\\windows\\system3", "C:\\windows\\system32"));
}
