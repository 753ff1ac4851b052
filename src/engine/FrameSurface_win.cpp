#include "engine/FrameSurface.h"

#include "effects/Enlarge.h"

HBITMAP CreateDibSection32(HDC memory, int32_t width, int32_t height, void** pixels) {
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(memory, &format, DIB_RGB_COLORS, pixels, nullptr, 0);
}

void ReleaseFrameSurface(FrameSurface& surface) {
    if (surface.memory) {
        SelectObject(surface.memory, surface.previous);
        DeleteDC(surface.memory);
    }
    if (surface.section)
        DeleteObject(surface.section);
    surface = FrameSurface{};
}

namespace {

// A surface of width x height, made anew when the size changes.
bool FitSurface(FrameSurface& surface, int32_t width, int32_t height) {
    if (surface.section && surface.width == width && surface.height == height)
        return true;
    ReleaseFrameSurface(surface);
    surface.memory = CreateCompatibleDC(nullptr);
    void* pixels = nullptr;
    surface.section = surface.memory ? CreateDibSection32(surface.memory, width, height, &pixels) : nullptr;
    surface.previous = surface.section ? SelectObject(surface.memory, surface.section) : nullptr;
    if (!surface.previous) {
        ReleaseFrameSurface(surface);
        return false;
    }
    surface.pixels = static_cast<uint32_t*>(pixels);
    surface.width = width;
    surface.height = height;
    return true;
}

RECT Intersection(const RECT& a, const RECT& b) {
    RECT both;
    return IntersectRect(&both, &a, &b) ? both : RECT{0, 0, 0, 0};
}

RECT Union(const RECT& a, const RECT& b) {
    RECT either;
    UnionRect(&either, &a, &b);
    return either;
}

}  // namespace

bool PresentEnlarged(HWND window, FrameSurface& surface, const BITMAPINFOHEADER& header,
                     const BYTE* rows, bool inclusive, bool skipBlack) {
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    const int32_t extra = inclusive ? 1 : 0;
    const SIZE extent = {client.right + extra, client.bottom + extra};
    if (!CanEnlarge(header, extent.cx, extent.cy) || !FitSurface(surface, client.right, client.bottom))
        return false;
    HDC deviceContext = GetDC(window);
    if (!deviceContext)
        return false;
    RECT area = client;
    if (skipBlack) {
        const ptrdiff_t stride = Stride24(header.biWidth);
        const RECT lit = NonBlackArea(rows + (header.biHeight - 1) * stride, -stride, header.biWidth,
                                      header.biHeight);
        const RECT whole = {0, 0, header.biWidth, header.biHeight};
        const RECT changing = surface.lastKnown ? Union(lit, surface.lastLit) : whole;
        area = EnlargedArea(changing, SIZE{header.biWidth, header.biHeight}, extent);
        surface.lastLit = lit;
        surface.lastKnown = true;
    }
    RECT visible;
    if (GetClipBox(deviceContext, &visible) == NULLREGION)
        visible = RECT{0, 0, 0, 0};
    area = Intersection(Intersection(area, visible), client);
    GdiFlush();  // the last frame's copy may still read the section
    const bool drawn = EnlargeNearest(header, rows, extent.cx, extent.cy, surface.pixels,
                                      surface.width, surface.height, area);
    if (drawn && !IsRectEmpty(&area))
        BitBlt(deviceContext, area.left, area.top, area.right - area.left, area.bottom - area.top,
               surface.memory, area.left, area.top, SRCCOPY);
    ReleaseDC(window, deviceContext);
    return drawn;
}
