// Painting a packed DIB (header, colour table and rows in one run of memory,
// as movie frames come) stretched over a window. Windows only.
#pragma once

#include "platform/WinTypes.h"

// Paints header's picture into area (null: the window's client rectangle)
// of deviceContext (null: the window's own). 8-bit pictures go through
// DrawDib, which handles their palette; the rest through StretchDIBits.
// BI_BITFIELDS pictures are drawn as 5-6-5 with no mask words of their own
// (and the caller's biClrUsed is set to 0). 1 when painted, 0 for no header.
int PresentDib(HWND window, HDC deviceContext, BITMAPINFOHEADER* header, const RECT* area);
