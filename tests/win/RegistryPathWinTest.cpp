// ReadRegistryPath and WriteRegistryPath on the real registry of a throw-away
// Wine prefix, as the saver calls them (two paths under HKEY_CURRENT_USER):
// the wallpaper's file name read as stored, the system's screen-saver entry
// written as a string. Values are set
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

// The wallpaper's value as stored; a missing value or one longer than the
// buffer is refused.
TEST(ReadRegistryPath, ReadsTheNamedValueAsStored) {
    // A percent sign and no expansion: the text comes back byte for byte.
    const char wallpaper[] = "C:\\Pictures\\%USERNAME% 100%.bmp";
    SetString("Control Panel\\Desktop", "Wallpaper", wallpaper, REG_EXPAND_SZ);
    SetString(testKey, "Value", "user");
    SetString(testKey, "Long", std::string(300, 'w'));
    const struct {
        const char* path;
        const char* text;
    } cases[] = {
        {"HKEY_CURRENT_USER\\Control Panel\\Desktop\\Wallpaper", wallpaper},
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Value", "user"},
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Missing", "(refused)"},
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Long", "(refused)"},
    };
    for (const auto& c : cases) {
        const char* text = ReadRegistryPath(c.path);
        EXPECT_STREQ(text ? text : "(refused)", c.text) << c.path;
        EXPECT_TRUE(!text || text == registryTextBuffer);
    }
}

// A string keeps its NUL whatever size is given, in a key made for it.
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
}
