// Folders as imagery, on real folders: what is listed, how the list grows,
// what is skipped, and which entry a random number picks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "imaging/FolderScan.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder of the running test's own under the system's temporary
// folder, removed afterwards.
struct TempFolder {
    fs::path path = fs::temp_directory_path() /
                    (std::string("velorin-") + testing::UnitTest::GetInstance()->current_test_info()->name());
    std::string name = path.string();
    TempFolder() {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    void File(const std::string& entry) const { std::ofstream(path / entry) << "x"; }
};

struct Scan {
    uint32_t files = 0, folders = 0;
    FolderListState state{folderListStart, 0};
    std::vector<std::string> entries;  // sorted: the file system's order varies
};

Scan ScanOf(const std::string& folder) {
    Scan scan;
    char* list = static_cast<char*>(std::calloc(folderListStart, 1));
    scan.files = ScanFolder(folder.c_str(), "*", &scan.folders, &list, &scan.state);
    for (const char* entry = list; *entry; entry += std::strlen(entry) + 1) scan.entries.push_back(entry);
    EXPECT_EQ(list[scan.state.used], '\0');  // the closing empty entry
    std::sort(scan.entries.begin(), scan.entries.end());
    std::free(list);
    return scan;
}

}  // namespace

TEST(ScanFolder, ListsFilesAndSubFoldersButNotWhatTheyHold) {
    TempFolder pictures;
    pictures.File("a.bmp");
    pictures.File("b.jpg");
    fs::create_directory(pictures.path / "old");
    pictures.File("old/inner.bmp");
    // With a trailing backslash the entries carry a doubled one, which the
    // file system accepts.
    for (const std::string& named : {pictures.name, pictures.name + "\\"}) {
        const Scan scan = ScanOf(named);
        EXPECT_EQ(scan.files, 2u);
        EXPECT_EQ(scan.folders, 1u);
        EXPECT_EQ(scan.entries, (std::vector<std::string>{named + "\\a.bmp", named + "\\b.jpg", named + "\\old\\"}));
    }
    EXPECT_EQ(ScanOf(pictures.name + "\\missing").entries.size(), 0u);
}

TEST(ScanFolder, GrowsTheListWithoutLosingEntries) {
    TempFolder base;
    const fs::path before = fs::current_path();
    fs::current_path(base.path);  // a short relative folder: entries of 11 characters
    fs::create_directory("g");
    for (int i = 0; i < 300; ++i) std::ofstream("g/entry-" + std::to_string(100 + i)) << "x";
    const Scan scan = ScanOf("g");
    fs::current_path(before);
    // 300 entries of 12 bytes outgrow 1024 bytes once.
    EXPECT_EQ(scan.state.capacity, 4096u);
    EXPECT_EQ(scan.state.used, 300u * 12);
    ASSERT_EQ(scan.files, 300u);
    for (int i = 0; i < 300; ++i) EXPECT_EQ(scan.entries[i], "g\\entry-" + std::to_string(100 + i));
}

// "folder\name" may be 255 characters, a sub-folder's with its backslash too.
TEST(ScanFolder, SkipsEntriesTooLongForTheImageryPath) {
    TempFolder pictures;
    const std::string& folder = pictures.name;
    // The name that makes "folder\name" exactly n characters long.
    auto name = [&](size_t n, char fill) { return std::string(n - folder.size() - 1, fill); };
    pictures.File(name(255, 'a'));
    pictures.File(name(256, 'b'));
    fs::create_directory(pictures.path / name(254, 'c'));
    fs::create_directory(pictures.path / name(255, 'd'));
    pictures.File("short.bmp");
    const Scan scan = ScanOf(folder);
    EXPECT_EQ(scan.files, 2u);
    EXPECT_EQ(scan.folders, 1u);
    EXPECT_EQ(scan.entries, (std::vector<std::string>{folder + "\\" + name(255, 'a'),
                                                      folder + "\\" + name(254, 'c') + "\\", folder + "\\short.bmp"}));
}

namespace {
int nextRandom;
int Counting() { return nextRandom++; }
}  // namespace

TEST(PickFolderEntry, TakesTheEntryTheRandomNumberNamesModuloTheTotal) {
    nextRandom = 0;
    char path[256] = "folder";
    for (const char* want : {"a", "bb", "ccc", "a"}) {
        char* list = static_cast<char*>(std::malloc(9));
        std::memcpy(list, "a\0bb\0ccc\0", 9);
        PickFolderEntry(&list, 3, Counting, path);
        EXPECT_STREQ(path, want);
        EXPECT_EQ(list, nullptr);
    }
    // Nothing to pick: the path stays, and no random number is drawn.
    char* list = static_cast<char*>(std::calloc(2, 1));
    PickFolderEntry(&list, 0, Counting, path);
    EXPECT_STREQ(path, "a");
    EXPECT_EQ(nextRandom, 4);
    TempFolder pictures;
    pictures.File("only.bmp");
    std::snprintf(path, sizeof path, "%s", pictures.name.c_str());
    PickFromFolder(path, std::rand);
    EXPECT_EQ(path, pictures.name + "\\only.bmp");
    PickFromFolder(path, std::rand);  // a file is not a folder: left alone
    EXPECT_EQ(path, pictures.name + "\\only.bmp");
}
