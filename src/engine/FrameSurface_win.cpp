#include "engine/FrameSurface.h"

#include "effects/Enlarge.h"

#include <utility>

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
    // Its owners release when the moved copy goes out of scope, in the
    // reverse order of their declaration.
    const FrameSurface released = std::move(surface);
    surface = FrameSurface{};
}

namespace {

// A surface of width x height, made anew when the size changes.
bool FitSurface(FrameSurface& surface, int32_t width, int32_t height) {
    if (surface.section && surface.width == width && surface.height == height)
        return true;
    ReleaseFrameSurface(surface);
    surface.memory.Reset(CreateCompatibleDC(nullptr));
    void* pixels = nullptr;
    if (surface.memory)
        surface.section.Reset(CreateDibSection32(surface.memory.Get(), width, height, &pixels));
    if (surface.section)
        surface.selection = SelectedObject(surface.memory.Get(), surface.section.Get());
    if (!surface.selection) {
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

bool PresentEnlarged(HWND window, FrameSurface& surface, const BITMAPINFOHEADER& header, const BYTE* rows,
                     bool inclusive, bool skipBlack) {
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return false;
    const int32_t extra = inclusive ? 1 : 0;
    const SIZE extent = {client.right + extra, client.bottom + extra};
    if (!CanEnlarge(header, extent.cx, extent.cy) || !FitSurface(surface, client.right, client.bottom))
        return false;
    const WindowDC deviceContext(window);
    if (!deviceContext)
        return false;
    RECT area = client;
    if (skipBlack) {
        const ptrdiff_t stride = Stride24(header.biWidth);
        const RECT lit = NonBlackArea(rows + (header.biHeight - 1) * stride, -stride, header.biWidth, header.biHeight);
        const RECT whole = {0, 0, header.biWidth, header.biHeight};
        const RECT changing = surface.lastKnown ? Union(lit, surface.lastLit) : whole;
        area = EnlargedArea(changing, SIZE{header.biWidth, header.biHeight}, extent);
        surface.lastLit = lit;
        surface.lastKnown = true;
    }
    RECT visible;
    if (GetClipBox(deviceContext.Get(), &visible) == NULLREGION)
        visible = RECT{0, 0, 0, 0};
    area = Intersection(Intersection(area, visible), client);
    GdiFlush();  // the last frame's copy may still read the section
    const bool drawn =
        EnlargeNearest(header, rows, extent.cx, extent.cy, surface.pixels, surface.width, surface.height, area);
    if (drawn && !IsRectEmpty(&area))
        BitBlt(deviceContext.Get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
               surface.memory.Get(), area.left, area.top, SRCCOPY);
    return drawn;
}
