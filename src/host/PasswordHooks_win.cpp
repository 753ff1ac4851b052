// Screen-saver password hooks. On Windows 9x the saver itself asks the
// system's password verifier (PASSWORD.CPL) before it closes, and /a opens the
// system's password-change dialog (MPR.DLL); elsewhere the system guards the
// desktop and none of this runs.
#include "host/Host.h"
#include "host/PasswordRules.h"
#include "platform/ScopeOwners.h"

bool isClosing;
bool isCheckingPassword;

typedef BOOL(WINAPI* PasswordVerifier)(HWND);
typedef DWORD(WINAPI* PasswordChanger)(LPCSTR, HWND, DWORD, LPVOID);

static LoadedLibrary passwordLibrary;
static PasswordVerifier passwordVerifier;
static DWORD lastVerifyTime = neverVerified;

template <typename Function>
static Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void SetScreenSaverRunning(BOOL running) {
    if (!onWindows9x)
        return;
    UINT scratch = 0;
    SystemParametersInfoA(97 /* SPI_SCREENSAVERRUNNING */, running, &scratch, 0);
}

// The user's "ScreenSaveUsePassword" setting, read as 4 bytes.
static bool PasswordWanted(HKEY desktop) {
    DWORD value = 0, size = sizeof value;
    return RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                            &size) == ERROR_SUCCESS &&
           value != 0;
}

void LoadPasswordVerifier() {
    if (!onWindows9x)
        return;
    if (passwordLibrary)
        UnloadPasswordVerifier();
    HKEY opened;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return;
    const RegistryKey desktop(opened);
    if (!PasswordWanted(desktop.Get()))
        return;
    passwordLibrary.Reset(LoadLibraryA("PASSWORD.CPL"));
    if (passwordLibrary) {
        passwordVerifier = Export<PasswordVerifier>(passwordLibrary.Get(), "VerifyScreenSavePwd");
        if (passwordVerifier)
            SetScreenSaverRunning(TRUE);
        else
            UnloadPasswordVerifier();
    }
}

void UnloadPasswordVerifier() {
    if (!onWindows9x)
        return;
    passwordLibrary.Reset();
    if (passwordVerifier) {
        passwordVerifier = nullptr;
        SetScreenSaverRunning(FALSE);
    }
}

bool VerifyPassword(HWND window) {
    if (isCheckingPassword || isClosing)
        return false;
    if (!passwordVerifier) {
        isClosing = true;
        return true;
    }
    if (InRetryPause(lastVerifyTime, GetTickCount()))
        return false;
    isCheckingPassword = true;
    // No frame work may queue up behind the dialog.
    MSG pending;
    for (int i = 0; i < 2; ++i)
        PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    isClosing = SendMessageA(window, WM_APP, 0, 0) != 0;
    isCheckingPassword = false;
    if (!isClosing)
        SetCursor(nullptr);
    lastVerifyTime = GetTickCount();
    return isClosing;
}

LRESULT VerifyPasswordRequest(HWND window) { return passwordVerifier ? passwordVerifier(window) : 1; }

void ChangeSaverPassword(HWND ownerWindow) {
    const LoadedLibrary library(LoadLibraryA("MPR.DLL"));
    if (!library)
        return;
    if (PasswordChanger change = Export<PasswordChanger>(library.Get(), "PwdChangePasswordA"))
        change("SCRSAVE", ownerWindow, 0, nullptr);
}
