#include "imaging/FolderListing.h"

#include "platform/ScopeOwners.h"
#include "platform/WinTypes.h"

#include <cstring>
#include <new>
#include <utility>

struct FolderListing {
    FindHandle find;
};

static void CopyName(const WIN32_FIND_DATAA& data, char* name) {
    std::memcpy(name, data.cFileName, MAX_PATH);
    name[MAX_PATH - 1] = '\0';
}

FolderListing* OpenListing(const char* search, char* name) {
    WIN32_FIND_DATAA data;
    FindHandle find(FindFirstFileA(search, &data));
    if (!find)
        return nullptr;
    FolderListing* listing = new (std::nothrow) FolderListing{std::move(find)};
    if (!listing)
        return nullptr;  // the search is closed by its owner
    CopyName(data, name);
    return listing;
}

bool NextListed(FolderListing* listing, char* name) {
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(listing->find.Get(), &data))
        return false;
    CopyName(data, name);
    return true;
}

void CloseListing(FolderListing* listing) {
    delete listing;  // its owner closes the search
}

PathKind KindOfPath(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}
