// The settings' texts and registry paths: first characters, folder markers,
// the saver's folder from its command line, and how registry paths split.
#include "engine/RegistryPath.h"
#include "engine/SettingsText.h"

#include <gtest/gtest.h>

#include <string>

// The first character widened with its sign; a folder marker starts with '<' only.
TEST(FirstCharacterCode, FirstCharacterWidenedWithItsSign) {
    const struct {
        const char* text;
        int code;
    } cases[] = {{"Text", 'T'}, {"", 0}, {"\x7F", 127}, {"\x80", -128}, {"\xFF", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(FirstCharacterCode(c.text), c.code) << c.code;
    EXPECT_TRUE(IsFolderMarker("<"));
    for (const char* text : {"C:\\Velorin", " <VelorinTools>", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(IsFolderMarker(text)) << (text ? text : "null");
}

TEST(FolderKeyFromMarker, StripsTheBracketsAndRefusesLongKeys) {
    const struct {
        std::string marker;
        bool accepted;
        std::string key;
    } cases[] = {
        {"<VelorinTools>", true, "VelorinTools"},
        {"<VelorinTools", true, "VelorinTool"},  // the last character goes whatever it is
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
    const struct {
        const char* commandLine;
        const char* folder;
    } cases[] = {
        {longLine.c_str(), "C:\\Velorin"},  // a line far longer than a path
        {"\"C:\\Windows\\VelorinScreenSaver.scr\" /s", "C:\\Windows"},
        {"\"C:\\Program Files\\Velorin\\saver.scr\" /c:1234", "C:\\Program Files\\Velorin"},
        {"C:\\WINDOWS\\VELORI~1.SCR /p 1234", "C:\\WINDOWS"},
        // ".exe" is cut first, so backslashes after it never count.
        {"C:\\Velorin\\tool.exe /d C:\\data\\x", "C:\\Velorin"},
        {"\"C:\\unterminated\\saver.scr /s", "C:\\unterminated"},  // no closing quote: to the end
        {"saver.scr /s", "saver.scr /s"},                          // no backslash: kept whole
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

// Refused with fewer than two backslashes or from 260 characters on (paths
// padded in the value name or the subkey; the string objects hold exactly
// the characters, so ASan sees any read or copy past them).
TEST(ParseRegistryPath, SplitsAtFirstAndLastBackslashUpTo259Characters) {
    const std::string user = "HKEY_CURRENT_USER\\", head = user + "Software\\";
    const std::string value(259 - head.size(), 'v'), subkey(240, 'k');
    const struct {
        std::string path;
        bool accepted;
        std::string subkey, valueName;
    } cases[] = {
        {user + "Control Panel\\Desktop\\Wallpaper", true, "Control Panel\\Desktop", "Wallpaper"},
        {user + "Software\\Velorin\\", true, "Software\\Velorin", ""},  // names the key
        {head + value, true, "Software", value},
        {head + value + "v", false, "", ""},
        {user + subkey + "\\", true, subkey, ""},
        {user + "Wallpaper", false, "", ""},  // one backslash
        {"HKEY_CURRENT_USER", false, "", ""},
    };
    for (const auto& c : cases) {
        RegistryPath parsed;
        ASSERT_EQ(ParseRegistryPath(c.path.c_str(), &parsed), c.accepted) << c.path;
        if (c.accepted) {
            EXPECT_EQ(std::string(parsed.subkey) + "|" + parsed.valueName, c.subkey + "|" + c.valueName);
        }
    }
    // (The root's own values and unknown roots are read and written on the
    // registry by the Windows tests.)
    RegistryPath parsed;
    EXPECT_FALSE(ParseRegistryPath(nullptr, &parsed));
}
