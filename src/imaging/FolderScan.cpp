#include "imaging/FolderScan.h"

#include "imaging/FolderListing.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kPathBytes = 260;     // a Windows path and its NUL
constexpr size_t kImageryBytes = 256;  // the imagery path setting and its NUL
constexpr uint64_t kListLimit = uint64_t(1) << 30;

// Makes room for `length` more characters, their NUL and the closing NUL:
// the capacity grows four times over (at least to 260 bytes) as often as
// needed, the listed entries carried over.
bool MakeRoom(char** list, FolderListState* state, size_t length) {
    uint64_t capacity = state->capacity;
    while (capacity - state->used <= length + 2) {
        capacity = capacity * 4 < kPathBytes ? kPathBytes : capacity * 4;
        if (capacity > kListLimit)
            return false;
    }
    if (capacity == state->capacity && *list)
        return true;
    char* grown = static_cast<char*>(std::malloc(capacity));
    if (!grown)
        return false;
    if (*list)
        std::memcpy(grown, *list, state->used);
    grown[state->used] = '\0';
    std::free(*list);
    *list = grown;
    state->capacity = static_cast<uint32_t>(capacity);
    return true;
}

bool Append(char** list, FolderListState* state, const char* entry, size_t length) {
    if (!MakeRoom(list, state, length))
        return false;
    std::memcpy(*list + state->used, entry, length + 1);
    state->used += static_cast<uint32_t>(length + 1);
    (*list)[state->used] = '\0';
    return true;
}

// "folder\name" in full; 0 when it does not fit a path.
size_t JoinPath(char* full, const char* folder, const char* name) {
    const int length = std::snprintf(full, kPathBytes, "%s\\%s", folder, name);
    return length < 0 || size_t(length) >= kPathBytes ? 0 : size_t(length);
}

}  // namespace

uint32_t ScanFolder(const char* folder, const char* pattern, uint32_t* folderCount, char** list,
                    FolderListState* state) {
    if (!folder || !*folder || !list || !state)
        return 0;
    char search[kPathBytes];
    size_t length = JoinPath(search, folder, pattern ? pattern : "");
    if (length == 0)
        return 0;
    if (search[length - 1] == '\\')
        search[length - 1] = '\0';  // an empty pattern

    char name[kPathBytes];
    FolderListing* listing = OpenListing(search, name);
    if (!listing)
        return 0;
    uint32_t files = 0, folders = 0;
    do {
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        char full[kPathBytes + 1];  // room for a sub-folder's backslash
        length = JoinPath(full, folder, name);
        if (length == 0)
            continue;
        const PathKind kind = KindOfPath(full);
        if (kind == PathKind::Missing)
            continue;
        if (kind == PathKind::Folder) {
            full[length++] = '\\';
            full[length] = '\0';
        }
        if (length >= kImageryBytes || !Append(list, state, full, length))
            continue;
        ++(kind == PathKind::Folder ? folders : files);
    } while (NextListed(listing, name));
    CloseListing(listing);
    if (folderCount)
        *folderCount += folders;
    return files;
}

void PickFolderEntry(char** list, uint32_t total, int (*random)(), char* path) {
    if (*list && total > 0) {
        uint32_t k = static_cast<uint32_t>(random()) % total;
        const char* entry = *list;
        for (; k > 0 && *entry; --k)
            entry += std::strlen(entry) + 1;
        // Every listed entry fits the path; the check keeps it so.
        const size_t length = std::strlen(entry);
        if (length > 0 && length < kImageryBytes)
            std::memcpy(path, entry, length + 1);
    }
    std::free(*list);
    *list = nullptr;
}

void PickFromFolder(char* path, int (*random)()) {
    if (!path || KindOfPath(path) != PathKind::Folder)
        return;
    FolderListState state = {folderListStart, 0};
    char* list = static_cast<char*>(std::calloc(folderListStart, 1));
    if (!list)
        return;
    uint32_t folders = 0;
    const uint32_t files = ScanFolder(path, "*", &folders, &list, &state);
    PickFolderEntry(&list, files + folders, random, path);
}
