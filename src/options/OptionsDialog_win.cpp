#include "host/Host.h"

#include "resource.h"

// The options dialog. For now it only offers Cancel; the settings controls
// come with the settings editor.
static INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

INT_PTR RunConfigDialog(HWND ownerWindow) {
    return DialogBoxParamA(hostInstance, MAKEINTRESOURCEA(IDD_OPTIONS), ownerWindow,
                           OptionsDialogProc, 0);
}
