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

// A fresh folder under the system's temporary folder, removed afterwards.
struct TempFolder {
    fs::path path;
    explicit TempFolder(const std::string& name) {
        path = fs::temp_directory_path() / ("velorin-" + name + "-" + std::to_string(std::rand()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    std::string Name() const { return path.string(); }
    void File(const std::string& name) const { std::ofstream(path / name) << "x"; }
    void Folder(const std::string& name) const { fs::create_directory(path / name); }
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
    for (const char* entry = list; *entry; entry += std::strlen(entry) + 1)
        scan.entries.push_back(entry);
    EXPECT_EQ(list[scan.state.used], '\0');  // the closing empty entry
    std::sort(scan.entries.begin(), scan.entries.end());
    std::free(list);
    return scan;
}

}  // namespace

TEST(ScanFolder, ListsFilesAndSubFoldersButNotWhatTheyHold) {
    TempFolder pictures("list");
    pictures.File("a.bmp");
    pictures.File("b.jpg");
    pictures.Folder("old");
    std::ofstream(pictures.path / "old" / "inner.bmp") << "x";
    const std::string folder = pictures.Name();
    // With a trailing backslash the entries carry a doubled one, which the
    // file system accepts.
    for (const std::string& named : {folder, folder + "\\"}) {
        const Scan scan = ScanOf(named);
        EXPECT_EQ(scan.files, 2u);
        EXPECT_EQ(scan.folders, 1u);
        EXPECT_EQ(scan.entries, (std::vector<std::string>{named + "\\a.bmp", named + "\\b.jpg",
                                                          named + "\\old\\"}));
    }

    EXPECT_EQ(ScanOf(folder + "\\missing").entries.size(), 0u);
}

TEST(ScanFolder, GrowsTheListWithoutLosingEntries) {
    TempFolder base("grow");
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

TEST(ScanFolder, SkipsEntriesTooLongForTheImageryPath) {
    TempFolder pictures("long");
    const std::string folder = pictures.Name();
    // Names that make "folder\name" exactly n characters long.
    auto name = [&](size_t n, char fill) { return std::string(n - folder.size() - 1, fill); };
    pictures.File(name(255, 'a'));    // fits: kept
    pictures.File(name(256, 'b'));    // one too many: skipped
    pictures.Folder(name(254, 'c'));  // 255 with its backslash: kept
    pictures.Folder(name(255, 'd'));  // 256 with its backslash: skipped
    pictures.File("short.bmp");
    const Scan scan = ScanOf(folder);
    EXPECT_EQ(scan.files, 2u);
    EXPECT_EQ(scan.folders, 1u);
    ASSERT_EQ(scan.entries.size(), 3u);
    EXPECT_EQ(scan.entries[0], folder + "\\" + name(255, 'a'));
    EXPECT_EQ(scan.entries[1], folder + "\\" + name(254, 'c') + "\\");
    EXPECT_EQ(scan.entries[2], folder + "\\short.bmp");
}

namespace {
int nextRandom;
int Counting() { return nextRandom++; }
}  // namespace

TEST(PickFolderEntry, TakesTheEntryTheRandomNumberNamesModuloTheTotal) {
    const char entries[] = "a\0bb\0ccc\0";
    const char* expected[] = {"a", "bb", "ccc", "a"};
    nextRandom = 0;
    for (const char* want : expected) {
        char* list = static_cast<char*>(std::malloc(sizeof entries));
        std::memcpy(list, entries, sizeof entries);
        char path[256] = "folder";
        PickFolderEntry(&list, 3, Counting, path);
        EXPECT_STREQ(path, want);
        EXPECT_EQ(list, nullptr);
    }
    // Nothing to pick: the path stays, and no random number is drawn.
    char* list = static_cast<char*>(std::calloc(2, 1));
    char path[256] = "folder";
    PickFolderEntry(&list, 0, Counting, path);
    EXPECT_STREQ(path, "folder");
    EXPECT_EQ(nextRandom, 4);

    TempFolder pictures("pick");
    pictures.File("only.bmp");
    std::string named = pictures.Name();
    named.copy(path, named.size());
    path[named.size()] = '\0';
    PickFromFolder(path, std::rand);
    EXPECT_EQ(path, named + "\\only.bmp");
    PickFromFolder(path, std::rand);  // a file is not a folder: left alone
    EXPECT_EQ(path, named + "\\only.bmp");
}
