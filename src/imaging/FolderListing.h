// The file system as the folder scan sees it: the names a search matches and
// what a path names. On Windows FindFirstFileA and GetFileAttributesA; the
// portable build stands in with the POSIX calls, reading backslashes as
// separators, so the scan runs on real folders everywhere.
#pragma once

// An open search; null when nothing matched.
struct FolderListing;

// Starts a search ("folder\*") and puts the first name found (at most 259
// characters and a NUL) into name; null when nothing is found.
FolderListing* OpenListing(const char* search, char* name);
// The next name, false at the end.
bool NextListed(FolderListing* listing, char* name);
void CloseListing(FolderListing* listing);

enum class PathKind { Missing, File, Folder };
PathKind KindOfPath(const char* path);
