#include "engine/RegistryPath.h"

#include <gtest/gtest.h>

#include <string>

TEST(MatchRegistryRoot, NamesIgnoringCaseAndAsPrefixes) {
    struct Case { const char* path; RegistryRoot root; };
    const Case cases[] = {
        {"HKEY_CLASSES_ROOT\\.txt\\", RegistryRoot::ClassesRoot},
        {"HKEY_CURRENT_USER\\a\\b", RegistryRoot::CurrentUser},
        {"HKEY_LOCAL_MACHINE\\a\\b", RegistryRoot::LocalMachine},
        {"HKEY_USERS\\a\\b", RegistryRoot::Users},
        {"HKEY_CURRENT_CONFIG\\a\\b", RegistryRoot::CurrentConfig},
        {"hkey_local_machineX\\a\\b", RegistryRoot::LocalMachine},  // any case, and as a prefix
        {"HKEY_CURRENT_USE\\a\\b", RegistryRoot::None},            // one letter short
        {" HKEY_CURRENT_USER\\a\\b", RegistryRoot::None},
        {"", RegistryRoot::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(static_cast<int>(MatchRegistryRoot(c.path)), static_cast<int>(c.root)) << c.path;
}

TEST(ParseRegistryPath, SplitsAtFirstAndLastBackslash) {
    struct Case { const char* path; bool accepted; const char* subkey; const char* valueName; };
    const Case cases[] = {
        {"HKEY_CURRENT_USER\\Control Panel\\Desktop\\Wallpaper", true, "Control Panel\\Desktop", "Wallpaper"},
        {"HKEY_CURRENT_USER\\Software\\Velorin\\", true, "Software\\Velorin", ""},  // names the key
        {"HKEY_CURRENT_USER\\\\Wallpaper", true, "", "Wallpaper"},               // the root's own value
        {"HKEY_CURRENT_USER\\\\", true, "", ""},
        {"HKEY_CURRENT_USER\\a\\\\\\b", true, "a\\\\", "b"},
        {"\\\\", true, "", ""},
        {"HKEY_CURRENT_USER\\Wallpaper", false, "", ""},                        // one backslash
        {"HKEY_CURRENT_USER", false, "", ""},                                   // none
        {"", false, "", ""},
    };
    for (const Case& c : cases) {
        RegistryPath parsed;
        ASSERT_EQ(ParseRegistryPath(c.path, &parsed), c.accepted) << c.path;
        if (c.accepted) {
            EXPECT_STREQ(parsed.subkey, c.subkey) << c.path;
            EXPECT_STREQ(parsed.valueName, c.valueName) << c.path;
        }
    }
    // An unknown root still parses: the registry call then fails on it.
    RegistryPath parsed;
    ASSERT_TRUE(ParseRegistryPath("HKEY_NOWHERE\\Software\\Value", &parsed));
    EXPECT_EQ(static_cast<int>(parsed.root), static_cast<int>(RegistryRoot::None));
    EXPECT_FALSE(ParseRegistryPath(nullptr, &parsed));
}

TEST(ParseRegistryPath, RefusesPathsOf260CharactersOrMore) {
    // Built from a valid path padded in the value name; the string objects
    // hold exactly the characters, so ASan sees any read or copy past them.
    const std::string head = "HKEY_CURRENT_USER\\Software\\";
    struct Case { size_t length; bool accepted; };
    const Case cases[] = {{259, true}, {260, false}};
    for (const Case& c : cases) {
        std::string path = head + std::string(c.length - head.size(), 'v');
        RegistryPath parsed;
        EXPECT_EQ(ParseRegistryPath(path.c_str(), &parsed), c.accepted) << c.length;
        if (c.accepted) { EXPECT_EQ(std::string(parsed.valueName).size(), c.length - head.size()); }
    }
    // The longest subkey too: backslash at 258, nothing after it.
    std::string path = "HKEY_CURRENT_USER\\" + std::string(240, 'k') + "\\";
    ASSERT_EQ(path.size(), 259u);
    RegistryPath parsed;
    ASSERT_TRUE(ParseRegistryPath(path.c_str(), &parsed));
    EXPECT_EQ(std::string(parsed.subkey), std::string(240, 'k'));
    EXPECT_STREQ(parsed.valueName, "");
}
