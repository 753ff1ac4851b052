#include "engine/SettingsText.h"

#include <gtest/gtest.h>

#include <string>

TEST(FirstCharacterCode, FirstCharacterWidenedWithItsSign) {
    EXPECT_EQ(FirstCharacterCode("Text"), 'T');
    EXPECT_EQ(FirstCharacterCode(""), 0);
    EXPECT_EQ(FirstCharacterCode("\x7F"), 127);
    EXPECT_EQ(FirstCharacterCode("\x80"), -128);
    EXPECT_EQ(FirstCharacterCode("\xFF"), -1);
}

TEST(FolderKeyFromMarker, StripsTheBracketsAndRefusesLongKeys) {
    struct Case { std::string marker; bool accepted; std::string key; };
    const Case cases[] = {
        {"<VelorinTools>", true, "VelorinTools"},
        {"<VelorinTools", true, "VelorinTool"},   // the last character goes whatever it is
        {"<>", true, ""},
        {"<", true, ""},
        {"<" + std::string(259, 'k') + ">", true, std::string(259, 'k')},
        {"<" + std::string(260, 'k') + ">", false, ""},
    };
    for (const Case& c : cases) {
        char key[folderPathSize] = "untouched";
        EXPECT_EQ(FolderKeyFromMarker(c.marker.c_str(), key), c.accepted) << c.marker.size();
        EXPECT_EQ(std::string(key), c.accepted ? c.key : std::string("untouched")) << c.marker.size();
    }
}

TEST(IsFolderMarker, OnlyAnAngleBracketStartsOne) {
    EXPECT_TRUE(IsFolderMarker("<"));
    for (const char* text : {"C:\\Velorin", " <VelorinTools>", "", static_cast<const char*>(nullptr)})
        EXPECT_FALSE(IsFolderMarker(text)) << (text ? text : "null");
}

TEST(FolderFromCommandLine, QuotedAndUnquotedWithAndWithoutExe) {
    struct Case { const char* commandLine; const char* folder; };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        char folder[folderPathSize];
        ASSERT_TRUE(FolderFromCommandLine(c.commandLine, folder)) << c.commandLine;
        EXPECT_STREQ(folder, c.folder) << c.commandLine;
    }
}

TEST(FolderFromCommandLine, LongLinesOnlyNeedAShortFolder) {
    // A command line may be far longer than a path; only the folder must fit.
    std::string arguments(40000, 'a');
    std::string shortProgram = "\"C:\\Velorin\\saver.scr\" " + arguments + "\\x";
    char folder[folderPathSize];
    ASSERT_TRUE(FolderFromCommandLine(shortProgram.c_str(), folder));
    EXPECT_STREQ(folder, "C:\\Velorin");

    struct Case { size_t folderLength; bool accepted; };
    const Case cases[] = {{259, true}, {260, false}};
    for (const Case& c : cases) {
        std::string longFolder = "C:\\" + std::string(c.folderLength - 3, 'f');
        std::string line = "\"" + longFolder + "\\saver.scr\" /s";
        char result[folderPathSize] = "untouched";
        EXPECT_EQ(FolderFromCommandLine(line.c_str(), result), c.accepted) << c.folderLength;
        EXPECT_EQ(std::string(result), c.accepted ? longFolder : std::string("untouched")) << c.folderLength;
    }
}
