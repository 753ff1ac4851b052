// The settings' texts and registry paths: first characters, folder markers,
// the saver's folder from its command line, and how registry paths split.
#include "engine/RegistryPath.h"
#include "engine/SettingsText.h"

#include <gtest/gtest.h>

#include <string>

// The first character widened with its sign; a folder marker starts with '<' only.
TEST(FirstCharacterCode, FirstCharacterWidenedWithItsSign) {
    const struct { const char* text; int code; } cases[] = {
        {"Text", 'T'}, {"", 0}, {"\x7F", 127}, {"\x80", -128}, {"\xFF", -1}};
    for (const auto& c : cases) EXPECT_EQ(FirstCharacterCode(c.text), c.code) << c.code;
    EXPECT_TRUE(IsFolderMarker("<"));
    for (const char* text : {"C:\\Velorin", " <VelorinTools>", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(IsFolderMarker(text)) << (text ? text : "null");
}

TEST(FolderKeyFromMarker, StripsTheBracketsAndRefusesLongKeys) {
    const struct { std::string marker; bool accepted; std::string key; } cases[] = {
        {"<VelorinTools>", true, "VelorinTools"},
        {"<VelorinTools", true, "VelorinTool"},   // the last character goes whatever it is
        {"<>", true, ""},
        {"<", true, ""},
        {"<" + std::string(259, 'k') + ">", true, std::string(259, 'k')},
        {"<" + std::string(260, 'k') + ">", false, ""},
    };
    for (const auto& c : cases) {
        char key[folderPathSize] = "untouched";
        EXPECT_EQ(FolderKeyFromMarker(c.marker.c_str(), key), c.accepted) << c.marker.size();
        EXPECT_EQ(std::string(key), c.accepted ? c.key : std::string("untouched")) << c.marker.size();
    }
}

TEST(FolderFromCommandLine, QuotedAndUnquotedWithAndWithoutExeAndLong) {
    const std::string longLine = "\"C:\\Velorin\\saver.scr\" " + std::string(40000, 'a') + "\\x";
    const struct { const char* commandLine; const char* folder; } cases[] = {
        {longLine.c_str(), "C:\\Velorin"},  // a line far longer than a path
        {"\"C:\\Windows\\VelorinScreenSaver.scr\" /s", "C:\\Windows"},
        {"\"C:\\Program Files\\Velorin\\saver.scr\" /c:1234", "C:\\Program Files\\Velorin"},
        {"C:\\WINDOWS\\VELORI~1.SCR /p 1234", "C:\\WINDOWS"},
        // Without ".exe" an unquoted line is cut at its very last backslash,
        // arguments included.
        {"C:\\Velorin\\saver.scr /d C:\\data\\x", "C:\\Velorin\\saver.scr /d C:\\data"},
        // ".exe" is cut first, so backslashes after it never count.
        {"C:\\Velorin\\tool.exe /d C:\\data\\x", "C:\\Velorin"},
        {"C:\\Velorin\\TOOL.EXE", "C:\\Velorin"},                 // case-sensitive: no cut at .EXE
        {"C:\\Velorin.exe\\tool.exe", "C:"},                      // the first ".exe" counts
        {"\"C:\\unterminated\\saver.scr /s", "C:\\unterminated"}, // no closing quote: to the end
        {"saver.scr /s", "saver.scr /s"},                          // no backslash: kept whole
        {"tool.exe", "tool"},
        {"\"", ""},
    };
    for (const auto& c : cases) {
        char folder[folderPathSize];
        ASSERT_TRUE(FolderFromCommandLine(c.commandLine, folder)) << c.commandLine;
        EXPECT_STREQ(folder, c.folder) << c.commandLine;
    }
    // Only the folder must fit a path, not the whole line.
    for (const auto& c : {std::pair<size_t, bool>{259, true}, {260, false}}) {
        const std::string longFolder = "C:\\" + std::string(c.first - 3, 'f');
        char result[folderPathSize] = "untouched";
        EXPECT_EQ(FolderFromCommandLine(("\"" + longFolder + "\\saver.scr\" /s").c_str(), result), c.second);
        EXPECT_EQ(std::string(result), c.second ? longFolder : std::string("untouched")) << c.first;
    }
}

TEST(MatchRegistryRoot, NamesIgnoringCaseAndAsPrefixes) {
    const struct { const char* path; RegistryRoot root; } cases[] = {
        {"HKEY_CLASSES_ROOT\\.txt\\", RegistryRoot::ClassesRoot}, {"HKEY_CURRENT_USER\\a\\b", RegistryRoot::CurrentUser},
        {"HKEY_LOCAL_MACHINE\\a\\b", RegistryRoot::LocalMachine}, {"HKEY_USERS\\a\\b", RegistryRoot::Users},
        {"HKEY_CURRENT_CONFIG\\a\\b", RegistryRoot::CurrentConfig},
        {"hkey_local_machineX\\a\\b", RegistryRoot::LocalMachine},  // any case, and as a prefix
        {"HKEY_CURRENT_USE\\a\\b", RegistryRoot::None},            // one letter short
        {" HKEY_CURRENT_USER\\a\\b", RegistryRoot::None}, {"", RegistryRoot::None},
    };
    for (const auto& c : cases) EXPECT_EQ(int(MatchRegistryRoot(c.path)), int(c.root)) << c.path;
}

TEST(ParseRegistryPath, SplitsAtFirstAndLastBackslash) {
    const struct { const char* path; bool accepted; const char* subkey; const char* valueName; } cases[] = {
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
    for (const auto& c : cases) {
        RegistryPath parsed;
        ASSERT_EQ(ParseRegistryPath(c.path, &parsed), c.accepted) << c.path;
        if (c.accepted) {
            EXPECT_EQ(std::string(parsed.subkey) + "|" + parsed.valueName, std::string(c.subkey) + "|" + c.valueName);
        }
    }
    // An unknown root still parses: the registry call then fails on it.
    RegistryPath parsed;
    ASSERT_TRUE(ParseRegistryPath("HKEY_NOWHERE\\Software\\Value", &parsed));
    EXPECT_EQ(int(parsed.root), int(RegistryRoot::None));
    EXPECT_FALSE(ParseRegistryPath(nullptr, &parsed));
}

TEST(ParseRegistryPath, RefusesPathsOf260CharactersOrMore) {
    // Built from a valid path padded in the value name; the string objects
    // hold exactly the characters, so ASan sees any read or copy past them.
    const std::string head = "HKEY_CURRENT_USER\\Software\\";
    for (size_t length : {259, 260}) {
        const std::string path = head + std::string(length - head.size(), 'v');
        RegistryPath parsed;
        EXPECT_EQ(ParseRegistryPath(path.c_str(), &parsed), length == 259) << length;
        if (length == 259) { EXPECT_EQ(std::string(parsed.valueName).size(), length - head.size()); }
    }
    // The longest subkey too: backslash at 258, nothing after it.
    std::string path = "HKEY_CURRENT_USER\\" + std::string(240, 'k') + "\\";
    ASSERT_EQ(path.size(), 259u);
    RegistryPath parsed;
    ASSERT_TRUE(ParseRegistryPath(path.c_str(), &parsed));
    EXPECT_EQ(std::string(parsed.subkey), std::string(240, 'k'));
    EXPECT_STREQ(parsed.valueName, "");
}
