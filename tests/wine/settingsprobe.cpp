// Drives the settings store for the end-to-end tests, one action per run, so
// that every run chooses its settings file afresh as the saver does:
//   settingsprobe load                  LoadSettings
//   settingsprobe save field=value...   LoadSettings, change fields, SaveSettings(false)
// Afterwards it prints the current directory and every field as "name=value"
// lines; codes print as numbers ("mode=T" sets the character's code).
#include "engine/Settings.h"

#include "WinTypes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

static bool SetField(const char* assignment) {
    const char* equals = strchr(assignment, '=');
    if (!equals)
        return false;
    std::string name(assignment, equals);
    const char* value = equals + 1;
    SaverSettings& s = saverSettings;
    if (name == "mode") s.mode = value[0];
    else if (name == "screenMode") s.screenMode = value[0];
    else if (name == "rotation2D") s.rotation2D = atoi(value);
    else if (name == "fade") s.fade = atoi(value);
    else if (name == "frameNumber") s.frameNumber = atoi(value);
    else if (name == "file") snprintf(s.file, sizeof s.file, "%s", value);
    else if (name == "text") snprintf(s.text, sizeof s.text, "%s", value);
    else return false;
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2 || (strcmp(argv[1], "save") != 0 && strcmp(argv[1], "load") != 0))
        return 2;
    LoadSettings();
    for (int i = 2; i < argc; ++i) {
        if (!SetField(argv[i]))
            return 2;
    }
    if (strcmp(argv[1], "save") == 0)
        SaveSettings(false);

    char directory[MAX_PATH];
    GetCurrentDirectoryA(sizeof directory, directory);
    const SaverSettings& s = saverSettings;
    printf("currentDirectory=%s\n", directory);
    printf("mode=%d\nscreenMode=%d\nrotation2D=%d\nrotation3D=%d\nfade=%d\nrewind=%d\nframeNumber=%d\n",
           s.mode, s.screenMode, s.rotation2D, s.rotation3D, s.fade, s.rewind, s.frameNumber);
    printf("file=%s\ntext=%s\n", s.file, s.text);
    return 0;
}
