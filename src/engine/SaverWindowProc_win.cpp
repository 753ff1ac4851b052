#include "host/Host.h"

LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultSaverProc(window, message, wParam, lParam);
}
