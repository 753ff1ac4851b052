// Everything in the maker's banner that is numbers: the turning gem (built,
// turned, sorted by depth and projected), the glow levels of its light
// lines, the name's rectangles and the sparkle mesh. The GDI drawing in
// Banner_win.cpp only strokes, fills and writes what this plans.
//
// Model units: the gem is built at scale 10000, its apex 1000 units from the
// centre, its rim radius 670. Angles in degrees. Screen coordinates in pixels
// from the banner's top-left corner. Colours are COLORREFs (red in bits 0-7,
// green 8-15, blue 16-23).
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <vector>

struct Point3D {
    double x, y, z;  // model units; y up, z toward the viewer
};

// A planar face. `depth` is the mean of the smallest and largest z of its
// points, refreshed by every rotation.
struct Polygon3D {
    std::vector<Point3D> points;
    double depth;
};

// 2n + 1 faces for n sides: crown triangle and band quadrilateral of side 0,
// of side 1, ..., then the base polygon.
using Gem = std::vector<Polygon3D>;

// Rebuilds `gem` with `sides` sides (0 only empties it): rim radius
// radiusFactor * scale / 10, apex height scale / 10, and a band `taper` of the
// height deep that narrows the rim by the same fraction.
void BuildGem(Gem& gem, uint32_t sides, double radiusFactor, double taper, double scale);

// Turns every point about the x, then the y, then the z axis (degrees; an
// angle of exactly 0 is skipped) and refreshes the depth. A polygon without
// points is left alone.
void RotatePolygon(Polygon3D& polygon, double ax, double ay, double az);

// Orders the faces by depth, largest (farthest) first, so that nearer faces
// are drawn over farther ones. Selection sort: position i receives the
// largest depth from i onward, the first one found among equals, by swapping.
void SortByDepth(Gem& gem);

// The faces projected onto the banner, in gem order: `counts[i]` points of
// face i follow those of face i - 1 in `points`.
struct ProjectedGem {
    std::vector<POINT> points;
    std::vector<int32_t> counts;
};

// Perspective projection into a banner `width` x `height` pixels, the gem's
// centre near (height/2 + width/200, height/2 - width/100).
ProjectedGem ProjectGem(const Gem& gem, int32_t width, int32_t height);

// The colour range the glow and the sparkles work with, from the callers'
// 16-bit value (0 means 255): one less unless a multiple of 3, and 255 when
// that is below 4 or above 255.
int32_t EffectiveColourRange(uint32_t colourRange);

// One stroke of the light lines: wide dark strokes first, narrow bright last.
struct GlowLevel {
    int32_t penWidth;  // pixels, always odd; 1 at the last level
    COLORREF colour;   // from just above the lavender background to white
};

// The levels for a banner `height` pixels high and an effective colour range.
std::vector<GlowLevel> GlowLevels(int32_t height, int32_t colourRange);

// The maker's name: drawn in white in `rect`, then in black in `shiftedRect`,
// the same rectangle moved up and right by `shadowOffset` pixels.
struct BannerName {
    int32_t fontHeight;    // pixels, 9/10 of the banner's height
    RECT rect;             // left 3/2 of the font height, from the top, to the right edge
    int32_t shadowOffset;  // height/40, 1 to 2 pixels
    RECT shiftedRect;
};

BannerName NameLayout(int32_t width, int32_t height);

// The sparkle shade made from one random number: pale blue to white.
// `shades` is the number of shades in use (1 to 40; others are held to it).
COLORREF SparkleShade(int randomNumber, int32_t shades);

// A horizontal run of `length` pixels starting at (x, y).
struct PixelRun {
    int32_t x, y, length;
};

// The rows of one sparkle diamond whose cell has its top-left corner at
// (x, y); `cell` at least 2 pixels.
std::vector<PixelRun> DiamondRows(int32_t x, int32_t y, int32_t cell);

// The top-left corners of the mesh cells over a face's bounding box (right
// and bottom exclusive): rows half a cell apart, every other row shifted by
// half a cell. Empty when `cell` is below 2 (the face is filled flat).
std::vector<POINT> SparkleCells(RECT box, int32_t cell);

// All the numbers of one banner frame, `width` x `height` pixels, the gem
// turned `step` degrees.
struct BannerPlan {
    int32_t colourRange;  // effective, 4 to 255
    ProjectedGem gem;     // faces far to near
    std::vector<GlowLevel> glow;
    POINT sweep[3];              // the underline: (0, h), (h/2, 3h/4), (w, 3h/4)
    POINT rayOrigins[4];         // (h/2, 3h/4), (h/2, h/4), (h/4, h/2), (3h/4, h/2)
    std::vector<POINT> rayEnds;  // the projected points, each once, in order
    BannerName name;
    int32_t shades;  // sparkle shades, 1 to 40
    int32_t cell;    // sparkle cell size, pixels
};

BannerPlan PlanBanner(int32_t width, int32_t height, int32_t step, uint32_t colourRange);
