// ReadRegistryPath and WriteRegistryPath on the real registry of a throw-away
// Wine prefix. Values are set up and checked with the plain registry calls.
#include "engine/RegistryPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char testKey[] = "Software\\VelorinTest";

void SetValue(HKEY root, const char* subkey, const char* name, DWORD type, const void* data, DWORD bytes) {
    ASSERT_EQ(RegSetKeyValueA(root, subkey, name, type, data, bytes), ERROR_SUCCESS) << name;
}

void SetString(HKEY root, const char* subkey, const char* name, const char* text, DWORD type = REG_SZ) {
    SetValue(root, subkey, name, type, text, static_cast<DWORD>(strlen(text) + 1));
}

struct StoredValue {
    bool found;
    DWORD type;
    std::vector<unsigned char> bytes;
};

// The stored type and bytes, strings not expanded.
StoredValue QueryValue(HKEY root, const char* subkey, const char* name) {
    StoredValue value{false, 0, std::vector<unsigned char>(1024)};
    DWORD size = static_cast<DWORD>(value.bytes.size());
    value.found = RegGetValueA(root, subkey, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, value.bytes.data(),
                               &size) == ERROR_SUCCESS;
    value.bytes.resize(value.found ? size : 0);
    return value;
}

bool KeyExists(HKEY root, const char* subkey) {
    HKEY key;
    const bool found = RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
    if (found) RegCloseKey(key);
    return found;
}

}  // namespace

// Several cases share one TEST: each TEST runs in a Wine prefix of its own.
TEST(ReadRegistryPath, ReadsValuesAsStoredOrExpanded) {
    // A percent sign and no expansion: the text comes back byte for byte.
    const char wallpaper[] = "C:\\Pictures\\%USERNAME% 100%.bmp";
    SetString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "Wallpaper", wallpaper, REG_EXPAND_SZ);
    const char* text = ReadRegistryPath("HKEY_CURRENT_USER\\Control Panel\\Desktop\\Wallpaper");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text, registryTextBuffer);
    EXPECT_STREQ(text, wallpaper);
    char buffer[64];
    DWORD size = sizeof buffer;
    EXPECT_EQ(ReadRegistryPath("HKEY_CURRENT_USER\\Control Panel\\Desktop\\Wallpaper", buffer, false, &size), buffer);
    EXPECT_STREQ(buffer, wallpaper);
    EXPECT_EQ(size, sizeof wallpaper);  // the bytes the registry returned, NUL included

    // Expansion fills in environment variables and turns numbers into signed decimal.
    ASSERT_TRUE(SetEnvironmentVariableA("VELORIN_PICTURES", "C:\\Velorin\\Pictures"));
    SetString(HKEY_CURRENT_USER, testKey, "Picture", "%VELORIN_PICTURES%\\gem.bmp", REG_EXPAND_SZ);
    const DWORD allOnes = 0xFFFFFFFF, big = 0x01000000;
    const unsigned char binary[] = {1, 2, 3};
    SetValue(HKEY_CURRENT_USER, testKey, "AllOnes", REG_DWORD, &allOnes, 4);
    SetValue(HKEY_CURRENT_USER, testKey, "BigEndian", REG_DWORD_BIG_ENDIAN, &big, 4);
    SetValue(HKEY_CURRENT_USER, testKey, "Binary", REG_BINARY, binary, sizeof binary);
    struct Case { const char* name; bool expand; const char* text; };
    const Case cases[] = {
        {"Picture", true, "C:\\Velorin\\Pictures\\gem.bmp"},
        {"Picture", false, "%VELORIN_PICTURES%\\gem.bmp"},
        {"AllOnes", true, "-1"},
        {"BigEndian", true, "16777216"},  // read little-endian like a REG_DWORD
        {"Binary", true, ""},
    };
    for (const Case& c : cases) {
        const std::string path = std::string("HKEY_CURRENT_USER\\") + testKey + "\\" + c.name;
        text = ReadRegistryPath(path.c_str(), nullptr, c.expand);
        ASSERT_NE(text, nullptr) << c.name;
        EXPECT_STREQ(text, c.text) << c.name;
    }
}

TEST(ReadRegistryPath, RefusesBadPathsAndValuesPastTheBuffer) {
    // Only the named root's key is read; how paths split is tested natively.
    SetString(HKEY_CURRENT_USER, testKey, "Value", "user");
    struct Case { const char* path; const char* text; };
    const Case cases[] = {
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Value", "user"},
        {"HKEY_LOCAL_MACHINE\\Software\\VelorinTest\\Value", nullptr},   // another root
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Missing", nullptr},
        {"HKEY_CURRENT_USER\\Software\\NoSuchKey\\Value", nullptr},
    };
    for (const Case& c : cases) {
        const char* text = ReadRegistryPath(c.path);
        EXPECT_STREQ(text ? text : "(refused)", c.text ? c.text : "(refused)") << c.path;
    }
    // An empty subkey reads the root's own values.
    SetString(HKEY_CURRENT_USER, "", "VelorinRootValue", "at the root");
    EXPECT_STREQ(ReadRegistryPath("HKEY_CURRENT_USER\\\\VelorinRootValue"), "at the root");

    // Values larger than the buffer fail; a caller's size larger than our own
    // 260 bytes is not believed.
    SetString(HKEY_CURRENT_USER, testKey, "Long", std::string(300, 'w').c_str());
    SetString(HKEY_CURRENT_USER, testKey, "Short", "0123456789");
    DWORD size;
    for (DWORD claimed : {0u, 4096u}) {
        size = claimed;
        EXPECT_EQ(ReadRegistryPath("HKEY_CURRENT_USER\\Software\\VelorinTest\\Long", nullptr, false, &size), nullptr);
        EXPECT_EQ(size, 0u) << claimed;
    }
    char small[8];
    size = sizeof small;
    EXPECT_EQ(ReadRegistryPath("HKEY_CURRENT_USER\\Software\\VelorinTest\\Short", small, false, &size), nullptr);
    EXPECT_EQ(size, 0u);

    // The longest path the parser accepts (259 characters, padded in the value
    // name) reaches the registry both ways: no shorter buffer on the way.
    const std::string path = std::string("HKEY_CURRENT_USER\\") + testKey + "\\";
    const std::string longest = path + std::string(259 - path.size(), 'n');
    EXPECT_EQ(WriteRegistryPath(longest.c_str(), "long", REG_SZ, 0), 1);
    EXPECT_STREQ(ReadRegistryPath(longest.c_str()), "long");
}

TEST(WriteRegistryPath, WritesWhatItIsGivenAndDeletesOnNoData) {
    // Strings keep their NUL, DWORDs their four bytes, other types the size given.
    const DWORD number = 0x12345678;
    const unsigned char binary[] = {9, 8, 7, 6, 5};
    struct Case { const char* path; const void* data; DWORD type, size; const char* subkey; const char* name;
                  std::vector<unsigned char> stored; };
    const Case cases[] = {
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\New\\Name", "abc", REG_SZ, 99,
         "Software\\VelorinTest\\New", "Name", {'a', 'b', 'c', 0}},
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Number", &number, REG_DWORD, 0,
         testKey, "Number", {0x78, 0x56, 0x34, 0x12}},
        {"HKEY_CURRENT_USER\\Software\\VelorinTest\\Binary", binary, REG_BINARY, 3,
         testKey, "Binary", {9, 8, 7}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WriteRegistryPath(c.path, c.data, c.type, c.size), 1) << c.path;
        const StoredValue stored = QueryValue(HKEY_CURRENT_USER, c.subkey, c.name);
        ASSERT_TRUE(stored.found) << c.path;
        EXPECT_EQ(stored.type, c.type) << c.path;
        EXPECT_EQ(stored.bytes, c.stored) << c.path;
    }
    EXPECT_EQ(WriteRegistryPath("HKEY_NOWHERE\\Software\\VelorinTest\\Name", "abc", REG_SZ, 0), 0);

    // No data deletes: without the trailing backslash the value named by the
    // last component, with it the key itself, and only that key.
    SetString(HKEY_CURRENT_USER, "Software\\VelorinTest\\Doomed", "First", "1");
    SetString(HKEY_CURRENT_USER, "Software\\VelorinTest\\Doomed", "Second", "2");
    const char* value = "HKEY_CURRENT_USER\\Software\\VelorinTest\\Doomed\\First";
    const char* key = "HKEY_CURRENT_USER\\Software\\VelorinTest\\Doomed\\";
    EXPECT_EQ(WriteRegistryPath(value, nullptr, REG_SZ, 0), 1);
    EXPECT_FALSE(QueryValue(HKEY_CURRENT_USER, "Software\\VelorinTest\\Doomed", "First").found);
    EXPECT_TRUE(QueryValue(HKEY_CURRENT_USER, "Software\\VelorinTest\\Doomed", "Second").found);
    EXPECT_EQ(WriteRegistryPath(value, nullptr, REG_SZ, 0), 0);
    EXPECT_EQ(WriteRegistryPath(key, nullptr, REG_SZ, 0), 1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\VelorinTest\\Doomed"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, testKey));
    EXPECT_EQ(WriteRegistryPath(key, nullptr, REG_SZ, 0), 0);
}
