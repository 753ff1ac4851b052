#include "options/Install.h"

#include "engine/RegistryPath.h"
#include "engine/Settings.h"
#include "options/InstallRules.h"

#include <cstring>

namespace {

const char caption[] = SAVER_PRODUCT_NAME;
const char question[] =
    "This operation will configure " SAVER_PRODUCT_NAME " as the system screen saver.\n\n"
    "Would you like to copy " SAVER_PRODUCT_NAME " to the Windows System folder so it will "
    "appear in the list of selectable screen savers?";
const char saverEntry[] = "HKEY_CURRENT_USER\\Control Panel\\Desktop\\SCRNSAVE.EXE";

void Tell(HWND owner, const char* text, UINT icon) {
    MessageBoxA(owner, text, caption, MB_OK | icon);
}

// Asks the process token whether file virtualisation is on.
bool CopyWouldReachSystemFolder() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return CopyReachesSystemFolder(false, 0);
    DWORD enabled = 0, size = 0;
    const bool answered = GetTokenInformation(token, TokenVirtualizationEnabled, &enabled,
                                              sizeof enabled, &size) != FALSE;
    CloseHandle(token);
    return CopyReachesSystemFolder(answered, enabled);
}

// Copies the data folder's saver into the system folder; its path there, or
// false when the copy is refused.
bool CopyIntoSystemFolder(const char* source, char (&destination)[installPathSize]) {
    char systemFolder[installPathSize] = {};
    const UINT length = GetSystemDirectoryA(systemFolder, sizeof systemFolder);
    if (length == 0 || length >= sizeof systemFolder || !SaverFilePath(systemFolder, destination))
        return false;
    // Under virtualisation the copy would land in the user's virtual store
    // and seem to succeed: not attempted, so nothing is left there either.
    if (!CopyWouldReachSystemFolder())
        return false;
    return CopyFileA(source, destination, FALSE) != FALSE;
}

}  // namespace

void InstallAsSystemSaver(HWND owner) {
    EnterDataFolder("<VelorinTools>");
    const int answer = MessageBoxA(owner, question, caption, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO)
        return;

    char currentFolder[installPathSize] = {};
    char source[installPathSize] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof currentFolder, currentFolder);
    if (length == 0 || length >= sizeof currentFolder || !SaverFilePath(currentFolder, source)) {
        Tell(owner, "Install failed.", MB_ICONERROR);
        return;
    }
    if (answer == IDYES) {
        char destination[installPathSize] = {};
        if (!CopyIntoSystemFolder(source, destination)) {
            Tell(owner, "Install failed.", MB_ICONERROR);
            return;
        }
        memcpy(source, destination, sizeof source);
    }
    // The system starts the saver by this name: a file that is not there (No
    // with no saver in the data folder) is not registered.
    char shortPath[installPathSize] = {};
    const DWORD shortLength = GetShortPathNameA(source, shortPath, sizeof shortPath);
    if (shortLength == 0 || shortLength >= sizeof shortPath ||
        !WriteRegistryPath(saverEntry, shortPath, REG_SZ, 0)) {
        Tell(owner, "Install failed.", MB_ICONERROR);
        return;
    }
    Tell(owner, "Install complete.", MB_ICONINFORMATION);
}
