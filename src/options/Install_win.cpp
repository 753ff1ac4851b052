#include "options/Install.h"

#include "engine/RegistryPath.h"
#include "engine/Settings.h"
#include "options/InstallRules.h"
#include "platform/ScopeOwners.h"
#include "platform/SystemFunction.h"

#include <cstring>

namespace {

const char caption[] = SAVER_PRODUCT_NAME;
const char question[] = "This operation will configure " SAVER_PRODUCT_NAME
                        " as the system screen saver.\n\n"
                        "Would you like to copy " SAVER_PRODUCT_NAME
                        " to the Windows System folder so it will "
                        "appear in the list of selectable screen savers?";
const char saverEntry[] = "HKEY_CURRENT_USER\\Control Panel\\Desktop\\SCRNSAVE.EXE";

void Tell(HWND owner, const char* text, UINT icon) { MessageBoxA(owner, text, caption, MB_OK | icon); }

// A folder may end in a double-byte character whose second byte is a backslash.
const char* PreviousAnsiChar(const char* text, const char* current) { return CharPrevA(text, current); }
const char* NextAnsiChar(const char* text) { return CharNextA(text); }

typedef BOOL(WINAPI* OpenProcessTokenFunction)(HANDLE, DWORD, HANDLE*);
typedef BOOL(WINAPI* GetTokenInformationFunction)(HANDLE, TOKEN_INFORMATION_CLASS, void*, DWORD, DWORD*);
typedef BOOL(WINAPI* IsWow64ProcessFunction)(HANDLE, BOOL*);
typedef UINT(WINAPI* GetSystemWow64DirectoryFunction)(char*, UINT);

// Asks the process token whether file virtualisation is on. The token
// functions are looked up: Windows 9x has no tokens.
bool CopyWouldReachSystemFolder() {
    auto openToken = SystemFunction<OpenProcessTokenFunction>("ADVAPI32.DLL", "OpenProcessToken");
    auto tokenInformation = SystemFunction<GetTokenInformationFunction>("ADVAPI32.DLL", "GetTokenInformation");
    HANDLE opened = nullptr;
    if (!openToken || !tokenInformation || !openToken(GetCurrentProcess(), TOKEN_QUERY, &opened))
        return CopyReachesSystemFolder(false, 0);
    const KernelHandle token(opened);
    DWORD enabled = 0, size = 0;
    const bool answered =
        tokenInformation(token.Get(), TokenVirtualizationEnabled, &enabled, sizeof enabled, &size) != FALSE;
    return CopyReachesSystemFolder(answered, enabled);
}

// The folder GetSystemDirectoryA names; false when it does not fit.
bool SystemFolder(char (&folder)[installPathSize]) {
    const UINT length = GetSystemDirectoryA(folder, sizeof folder);
    return length != 0 && length < sizeof folder;
}

// SysWOW64, when this is a 32-bit saver on 64-bit Windows; false otherwise.
bool Wow64SystemFolder(char (&folder)[installPathSize]) {
    auto isWow64 = SystemFunction<IsWow64ProcessFunction>("KERNEL32.DLL", "IsWow64Process");
    auto wow64Folder = SystemFunction<GetSystemWow64DirectoryFunction>("KERNEL32.DLL", "GetSystemWow64DirectoryA");
    BOOL underWow64 = FALSE;
    if (!isWow64 || !wow64Folder || !isWow64(GetCurrentProcess(), &underWow64) || !underWow64)
        return false;
    const UINT length = wow64Folder(folder, sizeof folder);
    return length != 0 && length < sizeof folder;
}

// Copies the data folder's saver into the system folder; its path there, or
// false when the copy is refused.
bool CopyIntoSystemFolder(const char* source, char (&destination)[installPathSize]) {
    char systemFolder[installPathSize] = {};
    if (!SaverSystemFolder(systemFolder) || !SaverFilePath(systemFolder, destination, PreviousAnsiChar))
        return false;
    // Under virtualisation the copy would land in the user's virtual store
    // and seem to succeed: not attempted, so nothing is left there either.
    if (!CopyWouldReachSystemFolder())
        return false;
    return CopyFileA(source, destination, FALSE) != FALSE;
}

}  // namespace

bool SaverSystemFolder(char (&folder)[installPathSize]) {
    // A 32-bit program's writes to System32 land in SysWOW64, where the
    // system, a 64-bit process, finds them only by that name.
    return Wow64SystemFolder(folder) || SystemFolder(folder);
}

bool IsSystemFolder(const char* folder) {
    char systemFolder[installPathSize] = {};
    return (Wow64SystemFolder(systemFolder) && IsSameFolder(folder, systemFolder, NextAnsiChar)) ||
           (SystemFolder(systemFolder) && IsSameFolder(folder, systemFolder, NextAnsiChar));
}

void InstallAsSystemSaver(HWND owner) {
    EnterDataFolder("<VelorinTools>");
    const int answer = MessageBoxA(owner, question, caption, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO)
        return;

    char currentFolder[installPathSize] = {};
    char source[installPathSize] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof currentFolder, currentFolder);
    if (length == 0 || length >= sizeof currentFolder || !SaverFilePath(currentFolder, source, PreviousAnsiChar)) {
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
    if (shortLength == 0 || shortLength >= sizeof shortPath || !WriteRegistryPath(saverEntry, shortPath, REG_SZ, 0)) {
        Tell(owner, "Install failed.", MB_ICONERROR);
        return;
    }
    Tell(owner, "Install complete.", MB_ICONINFORMATION);
}
