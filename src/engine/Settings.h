// The settings store: the saver's choices, kept in section "VelorinScreenSaver"
// of a profile file (settingsFileName, below). Defined in Settings_win.cpp on
// the Windows profile functions.
#pragma once

#include "engine/SettingsText.h"

#include <cstdint>

constexpr size_t settingTextSize = 256;  // "File" and "Text": 255 characters and the NUL

struct SaverSettings {
    int32_t mode;                // "Mode": 'I' imagery or 'T' text
    int32_t screenMode;          // "ScreenMode": 'F' fit, 'C' centred, 'B' bounce, 'S' stretched
    int32_t rotation2D;          // "Rotation2D": non-zero turns the picture in the screen plane
    int32_t rotation3D;          // "Rotation3D": non-zero turns it about its two in-plane axes
    int32_t fade;                // "Fade": non-zero fades the picture's edges
    int32_t rewind;              // "Rewind": non-zero forgets the movie position between runs
    int32_t frameNumber;         // "FrameNumber": the movie frame shown last, -1 for none
    char file[settingTextSize];  // "File": picture, movie, shortcut, folder or "<background>"
    char text[settingTextSize];  // "Text": shown in text mode, with the escapes \n and \t
};

// One settings file for the process, chosen by ChooseSettingsFile at the
// host's start: the saver and the options dialog must read and write the same
// file. When win.ini has an entry [Folders] VelorinTools, `dataFolder` holds
// it and the settings live in ".\VelorinTools.ini" (in the data folder, once
// EnterDataFolder has made it current); otherwise `dataFolder` is empty and
// they live in "win.ini", or, in the 64-bit build, in
// "%APPDATA%\VelorinScreenSaver\VelorinTools.ini" (win.ini when that path is
// too long), whose folder the first save makes.
extern const char* settingsFileName;
extern char dataFolder[folderPathSize];

// Sets settingsFileName and dataFolder, once, before any role reads or writes
// the settings.
void ChooseSettingsFile();

// Makes a folder the current directory: the folder a marker such as
// "<VelorinTools>" names in win.ini [Folders], or `marker` itself when it is
// no marker. When that is no folder that can be entered, the program's own
// folder (from the command line) is entered instead. A null marker means the
// command line.
void EnterDataFolder(const char* marker);

// Fills `settings` from the settings file; missing keys take their defaults.
void LoadSettings(SaverSettings& settings);

// Writes `settings` back, each key only if its stored text differs. The
// engine passes frameOnly to store "FrameNumber" and nothing else; the options
// dialog saves everything but "FrameNumber". True when every write succeeded.
bool SaveSettings(const SaverSettings& settings, bool frameOnly);

#ifdef _WIN64
// The settings file by its full path, for a message that names it.
void SettingsFilePath(char (&path)[folderPathSize]);
#endif

// Writes `value` unless the file already holds exactly that text. Non-zero on
// success, including when nothing needed writing.
int WriteProfileIfChanged(const char* fileName, const char* section, const char* key, const char* value);
