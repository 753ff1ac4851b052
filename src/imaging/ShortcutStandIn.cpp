// The portable build has no shell shortcuts: every path stays as it is.
#ifndef _WIN32
#include "imaging/Shortcut.h"

void ResolveShortcut(char* /*path*/) {}
#endif
