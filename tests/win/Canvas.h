// A 32-bit top-down DIB section selected into a memory DC, read back pixel by
// pixel, for the drawing tests.
#pragma once

#include "WinTypes.h"

#include <cstdint>

struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* pixels = nullptr;
    int width, height;

    Canvas(int w, int h) : width(w), height(h) {
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};  // top-down
        void* bits = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
        pixels = static_cast<uint32_t*>(bits);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    uint32_t At(int x, int y) const { return pixels[y * width + x] & 0xFFFFFF; }  // 0xRRGGBB
    void Fill(uint32_t rgb) {
        for (int i = 0; i < width * height; ++i) pixels[i] = rgb;
    }
};
