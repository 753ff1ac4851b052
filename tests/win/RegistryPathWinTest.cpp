// WriteRegistryPath on the real registry of a throw-away Wine prefix, as the
// installer calls it for the system's screen-saver entry; checked with the
// plain registry calls. (The wallpaper's read is the end-to-end tests'.)
#include "engine/RegistryPath.h"

#include <gtest/gtest.h>

#include <vector>

// A string keeps its NUL whatever size is given, in a key made for it.
TEST(WriteRegistryPath, WritesAStringIntoAKeyItMakes) {
    ASSERT_EQ(WriteRegistryPath("HKEY_CURRENT_USER\\Software\\VelorinTest\\New\\Name", "abc", REG_SZ, 99), 1);
    std::vector<BYTE> bytes(16);
    DWORD type = 0, size = DWORD(bytes.size());
    ASSERT_EQ(
        RegGetValueA(HKEY_CURRENT_USER, "Software\\VelorinTest\\New", "Name", RRF_RT_ANY, &type, bytes.data(), &size),
        ERROR_SUCCESS);
    bytes.resize(size);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(bytes, (std::vector<BYTE>{'a', 'b', 'c', 0}));
}
