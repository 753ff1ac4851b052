// The settings' texts: the data folder's marker, and the saver's folder from
// its command line. (The wallpaper's registry path is read by the end-to-end
// pictures test, the saver's entry written by the Windows tests.)
#include "engine/SettingsText.h"

#include <gtest/gtest.h>

#include <string>

TEST(SettingsText, TheMarkersKeyAndTheFolderFromEveryCommandLine) {
    // The saver names its data folder by one marker only.
    char key[folderPathSize] = "untouched";
    ASSERT_TRUE(FolderKeyFromMarker("<VelorinTools>", key));
    EXPECT_STREQ(key, "VelorinTools");
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
