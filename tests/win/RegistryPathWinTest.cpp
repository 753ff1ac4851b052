// ReadRegistryPath and WriteRegistryPath on the real registry of a throw-away
// Wine prefix. Values are set up and checked with the plain registry calls.
// Several cases share one TEST: each TEST runs in a Wine prefix of its own.
#include "engine/RegistryPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char testKey[] = "Software\\VelorinTest";
const std::string testPath = std::string("HKEY_CURRENT_USER\\") + testKey + "\\";

void SetValue(const char* subkey, const char* name, DWORD type, const void* data, DWORD bytes) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, subkey, name, type, data, bytes), ERROR_SUCCESS) << name;
}

void SetString(const char* subkey, const char* name, const std::string& text, DWORD type = REG_SZ) {
    SetValue(subkey, name, type, text.c_str(), DWORD(text.size() + 1));
}

// The stored type and bytes of the value "subkey\name" of HKEY_CURRENT_USER,
// strings not expanded; type 0 when not found.
std::pair<DWORD, std::vector<BYTE>> Stored(const std::string& path) {
    const size_t split = path.rfind('\\');
    std::vector<BYTE> bytes(1024);
    DWORD type = 0, size = DWORD(bytes.size());
    if (RegGetValueA(HKEY_CURRENT_USER, path.substr(0, split).c_str(), path.substr(split + 1).c_str(),
                     RRF_RT_ANY | RRF_NOEXPAND, &type, bytes.data(), &size))
        return {0, {}};
    bytes.resize(size);
    return {type, bytes};
}

bool KeyExists(const char* subkey) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

TEST(ReadRegistryPath, ReadsValuesAsStoredOrExpanded) {
    // A percent sign and no expansion: the text comes back byte for byte.
    const char wallpaper[] = "C:\\Pictures\\%USERNAME% 100%.bmp";
    const char* wallpaperPath = "HKEY_CURRENT_USER\\Control Panel\\Desktop\\Wallpaper";
    SetString("Control Panel\\Desktop", "Wallpaper", wallpaper, REG_EXPAND_SZ);
    const char* text = ReadRegistryPath(wallpaperPath);
    EXPECT_EQ(text, registryTextBuffer);
    EXPECT_STREQ(text, wallpaper);
    char buffer[64];
    DWORD size = sizeof buffer;
    EXPECT_EQ(ReadRegistryPath(wallpaperPath, buffer, false, &size), buffer);
    EXPECT_STREQ(buffer, wallpaper);
    EXPECT_EQ(size, sizeof wallpaper);  // the bytes the registry returned, NUL included
    // Expansion fills in environment variables and turns numbers into signed decimal.
    ASSERT_TRUE(SetEnvironmentVariableA("VELORIN_PICTURES", "C:\\Velorin\\Pictures"));
    SetString(testKey, "Picture", "%VELORIN_PICTURES%\\gem.bmp", REG_EXPAND_SZ);
    const DWORD allOnes = 0xFFFFFFFF, big = 0x01000000;
    SetValue(testKey, "AllOnes", REG_DWORD, &allOnes, 4);
    SetValue(testKey, "BigEndian", REG_DWORD_BIG_ENDIAN, &big, 4);
    SetValue(testKey, "Binary", REG_BINARY, "\1\2\3", 3);
    const struct { const char* name; bool expand; const char* text; } cases[] = {
        {"Picture", true, "C:\\Velorin\\Pictures\\gem.bmp"},
        {"Picture", false, "%VELORIN_PICTURES%\\gem.bmp"},
        {"AllOnes", true, "-1"},
        {"BigEndian", true, "16777216"},  // read little-endian like a REG_DWORD
        {"Binary", true, ""},
    };
    for (const auto& c : cases) {
        text = ReadRegistryPath((testPath + c.name).c_str(), nullptr, c.expand);
        EXPECT_STREQ(text ? text : "(refused)", c.text) << c.name;
    }
}

TEST(ReadRegistryPath, RefusesBadPathsAndValuesPastTheBuffer) {
    // Only the named root's key is read (how paths split is tested natively);
    // an empty subkey reads the root's own values.
    SetString(testKey, "Value", "user");
    SetString("", "VelorinRootValue", "at the root");
    const struct { const char* path; const char* text; } cases[] = {
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Value", "user"},
        {"HKEY_LOCAL_MACHINE\\Software\\VelorinTest\\Value", "(refused)"},   // another root
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Missing", "(refused)"},
        {"HKEY_CURRENT_USER\\Software\\NoSuchKey\\Value", "(refused)"},
        {"HKEY_CURRENT_USER\\\\VelorinRootValue", "at the root"},
    };
    for (const auto& c : cases) {
        const char* text = ReadRegistryPath(c.path);
        EXPECT_STREQ(text ? text : "(refused)", c.text) << c.path;
    }
    // Values larger than the buffer fail; a caller's size larger than our own
    // 260 bytes is not believed.
    SetString(testKey, "Long", std::string(300, 'w'));
    SetString(testKey, "Short", "0123456789");
    char small[8];
    const struct { const char* name; char* buffer; DWORD size; } tooLong[] = {
        {"Long", nullptr, 0}, {"Long", nullptr, 4096}, {"Short", small, sizeof small}};
    for (auto c : tooLong) {
        EXPECT_EQ(ReadRegistryPath((testPath + c.name).c_str(), c.buffer, false, &c.size), nullptr) << c.size;
        EXPECT_EQ(c.size, 0u);
    }
    // The longest path the parser accepts (259 characters, padded in the value
    // name) reaches the registry both ways: no shorter buffer on the way.
    const std::string longest = testPath + std::string(259 - testPath.size(), 'n');
    EXPECT_EQ(WriteRegistryPath(longest.c_str(), "long", REG_SZ, 0), 1);
    EXPECT_STREQ(ReadRegistryPath(longest.c_str()), "long");
}

TEST(WriteRegistryPath, WritesWhatItIsGivenAndDeletesOnNoData) {
    // Strings keep their NUL, DWORDs their four bytes, other types the size given.
    const DWORD number = 0x12345678;
    const struct { const char* name; const void* data; DWORD type, size; std::vector<BYTE> stored; } cases[] = {
        {"New\\Name", "abc", REG_SZ, 99, {'a', 'b', 'c', 0}},
        {"Number", &number, REG_DWORD, 0, {0x78, 0x56, 0x34, 0x12}},
        {"Binary", "\11\10\7\6\5", REG_BINARY, 3, {9, 8, 7}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WriteRegistryPath((testPath + c.name).c_str(), c.data, c.type, c.size), 1) << c.name;
        EXPECT_EQ(Stored(std::string(testKey) + "\\" + c.name), std::make_pair(c.type, c.stored)) << c.name;
    }
    EXPECT_EQ(WriteRegistryPath("HKEY_NOWHERE\\Software\\VelorinTest\\Name", "abc", REG_SZ, 0), 0);
    // No data deletes: without the trailing backslash the value named by the
    // last component, with it the key itself, and only that key.
    const char* doomed = "Software\\VelorinTest\\Doomed";
    SetString(doomed, "First", "1");
    SetString(doomed, "Second", "2");
    const std::string value = testPath + "Doomed\\First", key = testPath + "Doomed\\";
    EXPECT_EQ(WriteRegistryPath(value.c_str(), nullptr, REG_SZ, 0), 1);
    EXPECT_EQ(Stored(std::string(doomed) + "\\First").first, 0u);
    EXPECT_EQ(Stored(std::string(doomed) + "\\Second").first, DWORD(REG_SZ));
    EXPECT_EQ(WriteRegistryPath(value.c_str(), nullptr, REG_SZ, 0), 0);
    EXPECT_EQ(WriteRegistryPath(key.c_str(), nullptr, REG_SZ, 0), 1);
    EXPECT_FALSE(KeyExists(doomed));
    EXPECT_TRUE(KeyExists(testKey));
    EXPECT_EQ(WriteRegistryPath(key.c_str(), nullptr, REG_SZ, 0), 0);
}
