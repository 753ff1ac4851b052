#include "imaging/FolderListing.h"

#include "WinTypes.h"

#include <cstring>
#include <new>

struct FolderListing {
    HANDLE find;
};

static void CopyName(const WIN32_FIND_DATAA& data, char* name) {
    std::memcpy(name, data.cFileName, MAX_PATH);
    name[MAX_PATH - 1] = '\0';
}

FolderListing* OpenListing(const char* search, char* name) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(search, &data);
    if (find == INVALID_HANDLE_VALUE)
        return nullptr;
    FolderListing* listing = new (std::nothrow) FolderListing{find};
    if (!listing) {
        FindClose(find);
        return nullptr;
    }
    CopyName(data, name);
    return listing;
}

bool NextListed(FolderListing* listing, char* name) {
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(listing->find, &data))
        return false;
    CopyName(data, name);
    return true;
}

void CloseListing(FolderListing* listing) {
    FindClose(listing->find);
    delete listing;
}

PathKind KindOfPath(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PathKind::Missing;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::File;
}
