// The text rules of the settings store that need no Windows: reading the
// one-character codes, the data-folder marker, and cutting a command line
// down to the program's folder.
#pragma once

#include <cstddef>
#include <cstdint>

// Folder paths are held in buffers of this many bytes (the Windows path limit).
constexpr size_t folderPathSize = 260;

// "Mode" and "ScreenMode" keep only their first character, widened with its
// sign as a char is on Windows: "Text" gives 'T', "" gives 0, "\xC4" gives -60.
int32_t FirstCharacterCode(const char* value);

// A marker such as "<VelorinTools>" names a key of the win.ini section
// "Folders". True when `marker` is one (it begins with '<').
bool IsFolderMarker(const char* marker);

// The key a marker names: the marker without its first and last character
// ("<" and "<>" give the empty key). False, and nothing written, when the key
// would be 260 characters or longer.
bool FolderKeyFromMarker(const char* marker, char (&keyName)[folderPathSize]);

// The folder of the program started by `commandLine`: a quoted program name
// is taken up to its closing quote (or the end), an unquoted line whole; that
// text is cut at the first ".exe" (case-sensitive) and then at its last
// backslash. "\"C:\\Velorin\\saver.scr\" /s" gives "C:\\Velorin". False when
// the result would not fit in a path buffer.
bool FolderFromCommandLine(const char* commandLine, char (&folder)[folderPathSize]);
