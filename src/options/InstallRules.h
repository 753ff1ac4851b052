// The installer's decisions, free of Windows: where the saver file lies in a
// folder, and whether a copy into the system folder really lands there.
#pragma once

#include "platform/CharStep.h"
#include "platform/WinTypes.h"

#include <cstddef>

// Paths the installer builds are held in buffers of this many bytes (the
// Windows path limit, the appended file name included).
constexpr size_t installPathSize = 260;

// The product's name: it names the saver file and captions every message box.
#define SAVER_PRODUCT_NAME "VelorinScreenSaver"

// Steps back over one character of `text` from `current`; on Windows this is
// CharPrevA, which knows the double-byte characters of the ANSI code page,
// whose second byte may be a backslash.
typedef const char* (*PreviousCharFunction)(const char* text, const char* current);

const char* PreviousByte(const char* text, const char* current);

// `folder` followed by "\VelorinScreenSaver.scr". A folder whose last
// character is a backslash (a drive root such as "C:\") gets no second one.
// False, and `path` empty, when the result would not fit.
bool SaverFilePath(const char* folder, char (&path)[installPathSize], PreviousCharFunction previous = PreviousByte);

// Whether the copy into the system folder reaches it. A 32-bit program
// without an execution level in its manifest runs with file virtualisation:
// there a standard user's write into the system folder is silently redirected
// to that user's virtual store, where the system never looks for savers, so
// such a copy counts as refused. `tokenAnswered` is false where the system
// knows no virtualisation (the token query fails); `virtualisationEnabled` is
// the token's TokenVirtualizationEnabled value.
bool CopyReachesSystemFolder(bool tokenAnswered, DWORD virtualisationEnabled);

// The Install button is hidden when the data folder is the system folder
// itself: the saver is installed already. Folders compare ignoring the case
// of ASCII letters, as Windows compares these paths; `next` steps over whole
// characters, so that the trail byte of a double-byte character, which may
// be a letter, keeps its case.
bool IsSameFolder(const char* a, const char* b, NextCharFunction next = NextByte);
