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

TEST(FolderFromCommandLine, QuotedAndUnquotedWithAndWithoutExe) {
    const struct { const char* commandLine; const char* folder; } cases[] = {
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
}

TEST(FolderFromCommandLine, LongLinesOnlyNeedAShortFolder) {
    // A command line may be far longer than a path; only the folder must fit.
    const std::string shortProgram = "\"C:\\Velorin\\saver.scr\" " + std::string(40000, 'a') + "\\x";
    char folder[folderPathSize];
    ASSERT_TRUE(FolderFromCommandLine(shortProgram.c_str(), folder));
    EXPECT_STREQ(folder, "C:\\Velorin");

    for (const auto& c : {std::pair<size_t, bool>{259, true}, {260, false}}) {
        const std::string longFolder = "C:\\" + std::string(c.first - 3, 'f');
        char result[folderPathSize] = "untouched";
        EXPECT_EQ(FolderFromCommandLine(("\"" + longFolder + "\\saver.scr\" /s").c_str(), result), c.second);
        EXPECT_EQ(std::string(result), c.second ? longFolder : std::string("untouched")) << c.first;
    }
}
