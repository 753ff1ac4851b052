// Screen-saver password hooks. Only Windows 9x asks the saver itself for the
// password; the system libraries that do it are not loaded yet, so no
// password is ever asked and the first close request is accepted.
#include "host/Host.h"

bool isClosing;
bool isCheckingPassword;

void SetScreenSaverRunning(BOOL running) {
    if (!onWindows9x)
        return;
    UINT scratch = 0;
    SystemParametersInfoA(97 /* SPI_SCREENSAVERRUNNING */, running, &scratch, 0);
}

void LoadPasswordVerifier() {}

void UnloadPasswordVerifier() {}

bool VerifyPassword(HWND) {
    if (isCheckingPassword || isClosing)
        return false;
    isClosing = true;
    return true;
}

LRESULT VerifyPasswordRequest(HWND) {
    return 1;  // no verifier loaded
}

void ChangeSaverPassword(HWND) {}
