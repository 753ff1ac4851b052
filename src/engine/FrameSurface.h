// A 32-bit DIB section the size of a window's client area, kept from frame to
// frame: 24-bit frames are enlarged into it (effects/Enlarge.h) and copied to
// the window unstretched. Windows only.
#pragma once

#include "platform/ScopeOwners.h"
#include "platform/WinTypes.h"

#include <cstdint>

struct FrameSurface {
    // Released in the reverse order of their declaration: the section is
    // selected out of the memory DC before the DC and the section are deleted.
    GdiObject<HBITMAP> section;
    MemoryDC memory;
    SelectedObject selection;  // the section in the memory DC
    uint32_t* pixels;
    int32_t width, height;
    RECT lastLit;    // the last frame's pixels that were not black (skipBlack)
    bool lastKnown;  // lastLit holds a frame's area
};

// Shows the picture (header, rows) stretched over the window's client area,
// the pixels GDI's COLORONCOLOR stretch to the client size (plus one each way
// when inclusive, the extra column and row clipped) would show. False, with
// nothing painted, when that takes another way: not 24 bits, a shrink, no
// memory for the surface. Only what the window's clipping leaves visible is
// drawn; with skipBlack, only the part of it that is not black in this frame
// or the last (the screen is black elsewhere already: a turning picture's
// corners).
bool PresentEnlarged(HWND window, FrameSurface& surface, const BITMAPINFOHEADER& header, const BYTE* rows,
                     bool inclusive, bool skipBlack);
// A 32-bit bottom-up DIB section: any device context accepts it, where a
// 32-bit device-dependent bitmap cannot be selected into a context of a
// screen of another depth (16-bit remote sessions, some virtual machines).
HBITMAP CreateDibSection32(HDC memory, int32_t width, int32_t height, void** pixels);
// Deletes the section and its DC; the surface is empty afterwards.
void ReleaseFrameSurface(FrameSurface& surface);
