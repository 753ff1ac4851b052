// The portable build's file system for the folder scan: POSIX directories,
// with the backslashes of Windows paths read as separators.
#ifndef _WIN32
// 64-bit inode numbers and sizes for 32-bit code too, where readdir and stat
// would otherwise fail on today's file systems.
#define _FILE_OFFSET_BITS 64
#include "imaging/FolderListing.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cstring>
#include <new>
#include <string>

namespace {

std::string PosixPath(const char* path) {
    std::string posix(path);
    for (char& c : posix)
        if (c == '\\')
            c = '/';
    return posix;
}

}  // namespace

struct FolderListing {
    DIR* dir;
    std::string pattern;
};

bool NextListed(FolderListing* listing, char* name) {
    while (dirent* entry = readdir(listing->dir)) {
        if (fnmatch(listing->pattern.c_str(), entry->d_name, 0) == 0 && std::strlen(entry->d_name) < 260) {
            std::strcpy(name, entry->d_name);
            return true;
        }
    }
    return false;
}

FolderListing* OpenListing(const char* search, char* name) {
    const std::string posix = PosixPath(search);
    const size_t slash = posix.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : posix.substr(0, slash + 1);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return nullptr;
    FolderListing* listing = new (std::nothrow) FolderListing{dir, posix.substr(slash + 1)};
    if (!listing) {
        closedir(dir);
        return nullptr;
    }
    if (NextListed(listing, name))
        return listing;
    CloseListing(listing);
    return nullptr;
}

void CloseListing(FolderListing* listing) {
    if (!listing)
        return;
    closedir(listing->dir);
    delete listing;
}

PathKind KindOfPath(const char* path) {
    struct stat status;
    if (stat(PosixPath(path).c_str(), &status) != 0)
        return PathKind::Missing;
    return S_ISDIR(status.st_mode) ? PathKind::Folder : PathKind::File;
}
#endif
