#include "engine/PresentDib.h"

#include "platform/ScopeOwners.h"

#include <vfw.h>

#include <algorithm>
#include <cstring>

int PresentDib(HWND window, HDC deviceContext, BITMAPINFOHEADER* header, const RECT* area) {
    if (!header)
        return 0;
    const WindowDC context(window, deviceContext);  // the window's own when none is given
    deviceContext = context.Get();

    RECT target;
    if (area)
        target = *area;
    else
        GetClientRect(window, &target);
    const int width = target.right - target.left, height = target.bottom - target.top;

    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } withMasks;
    const BITMAPINFOHEADER* drawn = header;
    // The colour table and the rows follow the header, whose size the
    // decoder sets (a V4 or V5 header is larger than 40 bytes).
    const BYTE* afterHeader =
        reinterpret_cast<const BYTE*>(header) + std::max<DWORD>(header->biSize, sizeof(BITMAPINFOHEADER));
    const BYTE* rows;
    if (header->biCompression == BI_BITFIELDS) {
        header->biClrUsed = 0;
        std::memcpy(&withMasks.header, header, sizeof(BITMAPINFOHEADER));
        withMasks.masks[0] = 0xF800;
        withMasks.masks[1] = 0x07E0;
        withMasks.masks[2] = 0x001F;
        drawn = &withMasks.header;
        rows = afterHeader;
    } else {
        DWORD entries = header->biClrUsed;
        if (entries == 0 && (header->biBitCount == 1 || header->biBitCount == 4 || header->biBitCount == 8))
            entries = 1u << header->biBitCount;
        rows = afterHeader + 4 * entries;
    }

    if (header->biBitCount == 8) {
        HDRAWDIB drawDib = DrawDibOpen();
        DrawDibDraw(drawDib, deviceContext, target.left, target.top, width, height,
                    const_cast<BITMAPINFOHEADER*>(drawn), const_cast<BYTE*>(rows), 0, 0, header->biWidth,
                    header->biHeight, 0);
        DrawDibClose(drawDib);
    } else {
        const int oldMode = SetStretchBltMode(deviceContext, COLORONCOLOR);
        StretchDIBits(deviceContext, target.left, target.top, width, height, 0, 0, header->biWidth, header->biHeight,
                      rows, reinterpret_cast<const BITMAPINFO*>(drawn), DIB_RGB_COLORS, SRCCOPY);
        if (oldMode)
            SetStretchBltMode(deviceContext, oldMode);
    }
    return 1;
}
