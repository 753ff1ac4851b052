// Windows shell shortcuts (.lnk) as imagery.
#pragma once

// When `path` (a 256-byte buffer) names a shortcut, replaces it with the
// shortcut's stored target, one level only, without searching for a moved
// target. Anything else (not a shortcut, no file-system target, a target of
// more than 255 characters) leaves the path as it was. The portable build
// has no shortcuts and always leaves it.
void ResolveShortcut(char* path);
