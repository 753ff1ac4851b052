#include "engine/Settings.h"

#include "WinTypes.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char section[] = "VelorinScreenSaver";
const char dataFolderMarker[] = "<VelorinTools>";
const char privateSettingsFile[] = ".\\VelorinTools.ini";
const char profileSettingsFile[] = "win.ini";

const char* ChooseSettingsFile() {
    return GetProfileStringA("Folders", "VelorinTools", "", dataFolder, folderPathSize)
               ? privateSettingsFile
               : profileSettingsFile;
}

}  // namespace

SaverSettings saverSettings;
char dataFolder[folderPathSize];
// Runs during static initialisation; dataFolder, being zero-initialised, is
// ready before any dynamic initialiser.
const char* settingsFileName = ChooseSettingsFile();

void EnterDataFolder(const char* marker) {
    char folder[folderPathSize];
    const char* candidate = marker ? marker : GetCommandLineA();
    if (IsFolderMarker(marker)) {
        char keyName[folderPathSize];
        if (!FolderKeyFromMarker(marker, keyName))
            return;
        candidate = GetProfileStringA("Folders", keyName, "", folder, folderPathSize)
                        ? folder
                        : GetCommandLineA();
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

void LoadSettings() {
    EnterDataFolder(dataFolderMarker);
    SaverSettings& s = saverSettings;
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

static void WriteText(const char* key, const char* value) {
    WriteProfileIfChanged(settingsFileName, section, key, value);
}

// "File" and "Text" are read no further than their fields, even if a caller
// left one without its NUL.
static void WriteField(const char* key, const char (&field)[settingTextSize]) {
    char value[settingTextSize];
    snprintf(value, sizeof value, "%.*s", static_cast<int>(settingTextSize - 1), field);
    WriteText(key, value);
}

static void WriteCode(const char* key, int32_t code) {
    char value[2] = {static_cast<char>(code), '\0'};
    WriteText(key, value);
}

static void WriteNumber(const char* key, int32_t number) {
    char value[64];
    snprintf(value, sizeof value, "%d", static_cast<int>(number));
    WriteText(key, value);
}

void SaveSettings(bool frameOnly) {
    EnterDataFolder(dataFolderMarker);
    const SaverSettings& s = saverSettings;
    if (frameOnly) {
        WriteNumber("FrameNumber", s.frameNumber);
        return;
    }
    WriteCode("Mode", s.mode);
    WriteCode("ScreenMode", s.screenMode);
    WriteField("File", s.file);
    WriteField("Text", s.text);
    WriteNumber("Rotation2D", s.rotation2D);
    WriteNumber("Rotation3D", s.rotation3D);
    WriteNumber("Fade", s.fade);
    WriteNumber("Rewind", s.rewind);
}
