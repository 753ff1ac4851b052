#include "engine/Settings.h"

#include "platform/WinTypes.h"

#ifdef _WIN64
#include <shlobj.h>
#endif

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char section[] = "VelorinScreenSaver";
const char dataFolderMarker[] = "<VelorinTools>";
const char privateSettingsFile[] = ".\\VelorinTools.ini";
const char profileSettingsFile[] = "win.ini";

#ifdef _WIN64
// With no data folder, the full path of the settings file under the user's
// application data, when it fits.
char userSettingsFile[folderPathSize];

// A wide path in the ANSI code page; false when a character has no place in
// it (the ANSI form would hold a '?' or a look-alike there).
bool ToAnsiPath(const wchar_t* wide, char (&ansi)[MAX_PATH]) {
    // A UTF-8 code page holds every character, and takes neither check.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL lossy = FALSE;
    return WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, -1, ansi, MAX_PATH, nullptr,
                               utf8 ? nullptr : &lossy) > 0 &&
           !lossy;
}

// The user's application data folder in the ANSI code page, which every
// profile and file call of the saver takes: as it is, or, when its name does
// not survive the trip (a Chinese user name on a Western Windows), its short
// 8.3 form. False when neither does (a volume without short names).
bool AnsiAppDataFolder(char (&appData)[MAX_PATH]) {
    wchar_t wide[MAX_PATH], shortWide[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, wide)))
        return false;
    if (ToAnsiPath(wide, appData))
        return true;
    const DWORD length = GetShortPathNameW(wide, shortWide, MAX_PATH);
    return length > 0 && length < MAX_PATH && ToAnsiPath(shortWide, appData);
}

// "%APPDATA%\VelorinScreenSaver\VelorinTools.ini". False when there is no
// such folder, or no ANSI path to it, or the path would not fit: the settings
// then go to win.ini.
bool FindUserSettingsFile() {
    char appData[MAX_PATH];
    if (!AnsiAppDataFolder(appData))
        return false;
    int length =
        snprintf(userSettingsFile, sizeof userSettingsFile, "%s\\VelorinScreenSaver\\VelorinTools.ini", appData);
    if (length > 0 && static_cast<size_t>(length) < sizeof userSettingsFile)
        return true;
    userSettingsFile[0] = '\0';
    return false;
}

// Makes the folder of that file, if the settings live there; a folder that
// exists already is fine.
void MakeUserSettingsFolder() {
    if (settingsFileName != userSettingsFile)
        return;
    char folder[folderPathSize];
    memcpy(folder, userSettingsFile, sizeof folder);
    *strrchr(folder, '\\') = '\0';
    CreateDirectoryA(folder, nullptr);
}
#endif

const char* SettingsFileFromProfile() {
    if (GetProfileStringA("Folders", "VelorinTools", "", dataFolder, folderPathSize))
        return privateSettingsFile;
#ifdef _WIN64
    // A 64-bit program gets no file virtualisation: a standard user's write
    // to win.ini in the Windows folder would fail.
    if (FindUserSettingsFile())
        return userSettingsFile;
#endif
    return profileSettingsFile;
}

}  // namespace

char dataFolder[folderPathSize];
const char* settingsFileName = profileSettingsFile;

void ChooseSettingsFile() { settingsFileName = SettingsFileFromProfile(); }

void EnterDataFolder(const char* marker) {
    char folder[folderPathSize];
    const char* candidate = marker ? marker : GetCommandLineA();
    if (IsFolderMarker(marker)) {
        char keyName[folderPathSize];
        if (!FolderKeyFromMarker(marker, keyName))
            return;
        candidate = GetProfileStringA("Folders", keyName, "", folder, folderPathSize) ? folder : GetCommandLineA();
    }
    if (SetCurrentDirectoryA(candidate))
        return;
    // Not a folder we can enter: read it as a command line and enter the
    // program's folder. A stale win.ini entry names no program, so the
    // running program's own command line stands in for it: the saver then
    // keeps its settings beside itself rather than wherever the entry's
    // parent happens to be.
    if (candidate == folder)
        candidate = GetCommandLineA();
    char programFolder[folderPathSize];
    if (FolderFromCommandLine(candidate, programFolder))
        SetCurrentDirectoryA(programFolder);
}

int WriteProfileIfChanged(const char* fileName, const char* section, const char* key, const char* value) {
    // Two bytes more than the value: a stored text one character longer still
    // fits and reads back different, whatever follows it.
    size_t length = strlen(value);
    std::vector<char> stored(length + 2);
    GetPrivateProfileStringA(section, key, "", stored.data(), static_cast<DWORD>(stored.size()), fileName);
    if (strcmp(stored.data(), value) == 0)
        return 1;
    return WritePrivateProfileStringA(section, key, value, fileName);
}

static int32_t ReadCode(const char* key, const char* fallback) {
    char value[32];
    GetPrivateProfileStringA(section, key, fallback, value, sizeof value, settingsFileName);
    return FirstCharacterCode(value);
}

static int32_t ReadNumber(const char* key, int32_t fallback) {
    return static_cast<int32_t>(GetPrivateProfileIntA(section, key, fallback, settingsFileName));
}

void LoadSettings(SaverSettings& s) {
    EnterDataFolder(dataFolderMarker);
    s.mode = ReadCode("Mode", "I");
    s.screenMode = ReadCode("ScreenMode", "B");
    // The profile functions cut a longer value to the buffer and end it there.
    GetPrivateProfileStringA(section, "File", "", s.file, settingTextSize, settingsFileName);
    GetPrivateProfileStringA(section, "Text", "", s.text, settingTextSize, settingsFileName);
    s.rotation2D = ReadNumber("Rotation2D", 0);
    s.rotation3D = ReadNumber("Rotation3D", 0);
    s.fade = ReadNumber("Fade", 1);
    s.rewind = ReadNumber("Rewind", 0);
    s.frameNumber = ReadNumber("FrameNumber", -1);
}

static bool WriteText(const char* key, const char* value) {
    return WriteProfileIfChanged(settingsFileName, section, key, value) != 0;
}

// "File" and "Text" are read no further than their fields, even if a caller
// left one without its NUL.
static bool WriteField(const char* key, const char (&field)[settingTextSize]) {
    char value[settingTextSize];
    snprintf(value, sizeof value, "%.*s", static_cast<int>(settingTextSize - 1), field);
    return WriteText(key, value);
}

static bool WriteCode(const char* key, int32_t code) {
    char value[2] = {static_cast<char>(code), '\0'};
    return WriteText(key, value);
}

static bool WriteNumber(const char* key, int32_t number) {
    char value[64];
    snprintf(value, sizeof value, "%d", static_cast<int>(number));
    return WriteText(key, value);
}

bool SaveSettings(const SaverSettings& s, bool frameOnly) {
    EnterDataFolder(dataFolderMarker);
#ifdef _WIN64
    MakeUserSettingsFolder();
#endif
    if (frameOnly)
        return WriteNumber("FrameNumber", s.frameNumber);
    // Every key is tried, whatever became of the one before.
    bool saved = WriteCode("Mode", s.mode);
    saved &= WriteCode("ScreenMode", s.screenMode);
    saved &= WriteField("File", s.file);
    saved &= WriteField("Text", s.text);
    saved &= WriteNumber("Rotation2D", s.rotation2D);
    saved &= WriteNumber("Rotation3D", s.rotation3D);
    saved &= WriteNumber("Fade", s.fade);
    saved &= WriteNumber("Rewind", s.rewind);
    return saved;
}

#ifdef _WIN64
void SettingsFilePath(char (&path)[folderPathSize]) {
    if (settingsFileName == profileSettingsFile) {
        // win.ini is in the Windows folder.
        char windows[folderPathSize];
        UINT length = GetWindowsDirectoryA(windows, sizeof windows);
        if (length > 0 && length + sizeof "\\win.ini" <= folderPathSize) {
            snprintf(path, folderPathSize, "%s\\%s", windows, profileSettingsFile);
            return;
        }
    } else {
        // A relative name is in the current folder: the data folder, once
        // LoadSettings or SaveSettings has entered it.
        DWORD length = GetFullPathNameA(settingsFileName, folderPathSize, path, nullptr);
        if (length > 0 && length < folderPathSize)
            return;
    }
    snprintf(path, folderPathSize, "%s", settingsFileName);
}
#endif
