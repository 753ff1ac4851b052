#include "imaging/KBitmap.h"

#include "platform/ScopeOwners.h"

int KBitmap::PaintToWindow(HWND window) const {
    const WindowDC deviceContext(window);
    if (!deviceContext)
        return 0;
    return Paint(window, deviceContext.Get());
}

int KBitmap::Paint(HWND window, HDC deviceContext) const {
    if (!deviceContext)
        return PaintToWindow(window);
    if (!Header() || Width() == 0 || Height() == 0)
        return 0;
    RECT client;
    GetClientRect(window, &client);
    // COLORONCOLOR drops rows and columns rather than blending: the turning
    // frames are filtered already, and this is the 20 ms path. The caller's
    // mode is put back afterwards.
    const int oldMode = SetStretchBltMode(deviceContext, COLORONCOLOR);
    const int lines = StretchDIBits(deviceContext, 0, 0, client.right + 1, client.bottom + 1, 0, 0, Width(), Height(),
                                    Bits(), reinterpret_cast<const BITMAPINFO*>(Header()), DIB_RGB_COLORS, SRCCOPY);
    if (oldMode)
        SetStretchBltMode(deviceContext, oldMode);
    return lines;
}
