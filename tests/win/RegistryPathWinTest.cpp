// ReadRegistryPath and WriteRegistryPath on the real registry of a throw-away
// Wine prefix, as the saver calls them: the wallpaper's file name read as
// stored, the system's screen-saver entry written as a string. Values are set
// up and checked with the plain registry calls. Each TEST runs in a Wine
// prefix of its own.
#include "engine/RegistryPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char testKey[] = "Software\\VelorinTest";
const std::string testPath = std::string("HKEY_CURRENT_USER\\") + testKey + "\\";

void SetString(const char* subkey, const char* name, const std::string& text, DWORD type = REG_SZ) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, subkey, name, type, text.c_str(), DWORD(text.size() + 1)),
              ERROR_SUCCESS)
        << name;
}

}  // namespace

// Only the named root's key is read (how paths split is tested natively); an
// empty subkey reads the root's own values. A value longer than the buffer is
// refused.
TEST(ReadRegistryPath, ReadsTheNamedValueAsStored) {
    // A percent sign and no expansion: the text comes back byte for byte.
    const char wallpaper[] = "C:\\Pictures\\%USERNAME% 100%.bmp";
    SetString("Control Panel\\Desktop", "Wallpaper", wallpaper, REG_EXPAND_SZ);
    SetString(testKey, "Value", "user");
    SetString(testKey, "Long", std::string(300, 'w'));
    SetString("", "VelorinRootValue", "at the root");
    const struct {
        const char* path;
        const char* text;
    } cases[] = {
        {"HKEY_CURRENT_USER\\Control Panel\\Desktop\\Wallpaper", wallpaper},
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Value", "user"},
        {"HKEY_LOCAL_MACHINE\\Software\\VelorinTest\\Value", "(refused)"},
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Missing", "(refused)"},
        {"HKEY_CURRENT_USER\\Software\\NoSuchKey\\Value", "(refused)"},
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Long", "(refused)"},
        {"HKEY_CURRENT_USER\\\\VelorinRootValue", "at the root"},
    };
    for (const auto& c : cases) {
        const char* text = ReadRegistryPath(c.path);
        EXPECT_STREQ(text ? text : "(refused)", c.text) << c.path;
        EXPECT_TRUE(!text || text == registryTextBuffer);
    }
}

// A string keeps its NUL whatever size is given, in a key made for it; the
// longest path the parser accepts (259 characters, padded in the value name)
// reaches the registry both ways.
TEST(WriteRegistryPath, WritesAStringIntoAKeyItMakes) {
    ASSERT_EQ(WriteRegistryPath((testPath + "New\\Name").c_str(), "abc", REG_SZ, 99), 1);
    std::vector<BYTE> bytes(16);
    DWORD type = 0, size = DWORD(bytes.size());
    ASSERT_EQ(
        RegGetValueA(HKEY_CURRENT_USER, "Software\\VelorinTest\\New", "Name", RRF_RT_ANY, &type, bytes.data(), &size),
        ERROR_SUCCESS);
    bytes.resize(size);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(bytes, (std::vector<BYTE>{'a', 'b', 'c', 0}));
    EXPECT_EQ(WriteRegistryPath("HKEY_NOWHERE\\Software\\VelorinTest\\Name", "abc", REG_SZ, 0), 0);
    const std::string longest = testPath + std::string(259 - testPath.size(), 'n');
    EXPECT_EQ(WriteRegistryPath(longest.c_str(), "long", REG_SZ, 0), 1);
    EXPECT_STREQ(ReadRegistryPath(longest.c_str()), "long");
}
