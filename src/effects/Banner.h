// The maker's banner drawn with GDI: a turning gem of glowing light lines
// with sparkling facets and the maker's name on lavender. Windows only; the
// numbers come from BannerGeometry.h.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>

// Paints one frame of the banner, the gem turned `step` degrees, into `rect`
// of `dc` (or the window's client rectangle and DC where those are null).
// `colourRange` 0 means 255. Drawn off screen and copied in one transfer.
// Reseeds the C runtime's random generator (the sparkles are drawn from it).
void DrawBanner(HWND window, HDC dc, int32_t step, uint16_t colourRange, const RECT* rect);

// Fills the face `points[0..count)` with a mesh of small diamonds in
// `shades` pale blue shades, `cell` pixels each; a cell below 2 fills the
// face flat with one shade.
void DrawSparkles(HDC dc, const POINT* points, int32_t count, int32_t shades, int32_t cell);
