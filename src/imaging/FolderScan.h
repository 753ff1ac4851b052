// A folder as imagery: its entries listed, and one of them picked at random.
#pragma once

#include <cstdint>

// The entry list: consecutive NUL-terminated paths, "folder\name" (a
// sub-folder ends with one more backslash), closed by an empty entry. It
// lives in one std::malloc block of `capacity` bytes, `used` of them taken
// by the entries before the closing NUL.
struct FolderListState {
    uint32_t capacity;
    uint32_t used;
};

// Room the list starts with.
constexpr uint32_t folderListStart = 1024;

// Lists what `pattern` matches in `folder` (files and sub-folders, not
// descended into, "." and ".." skipped, no filter by type) onto the list and
// returns the number of files added; sub-folders are counted in
// *folderCount. The list grows by four times as often as it must, and
// nothing already listed is lost. An entry whose path would not fit a Windows
// path (259 characters) or the imagery path (255, a sub-folder's trailing
// backslash included) is skipped and not counted. A missing or empty folder,
// or a search that would not fit a path, lists nothing.
uint32_t ScanFolder(const char* folder, const char* pattern, uint32_t* folderCount, char** list,
                    FolderListState* state);

// Copies entry number random() % total (from 0) over `path` (256 bytes)
// when the list exists and total is not 0 (random is called only then), and
// frees the list in every case.
void PickFolderEntry(char** list, uint32_t total, int (*random)(), char* path);

// When `path` (256 bytes) names a folder, replaces it with one of the
// folder's entries picked at random; a folder with no entries leaves it.
void PickFromFolder(char* path, int (*random)());
