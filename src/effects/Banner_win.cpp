#include "effects/Banner.h"

#include "effects/BannerGeometry.h"
#include "platform/ScopeOwners.h"

#include <cstdlib>

static const COLORREF lavender = 0xF096B4;  // RGB(180, 150, 240)
static const char makerName[] = "Velorin Software";

static COLORREF NextShade(int32_t shades) { return SparkleShade(std::rand(), shades); }

static void DrawDiamond(HDC dc, HRGN face, POINT at, int32_t cell, COLORREF colour) {
    for (const PixelRun& run : DiamondRows(at.x, at.y, cell))
        for (int32_t x = run.x; x < run.x + run.length; ++x)
            if (PtInRegion(face, x, run.y))
                SetPixel(dc, x, run.y, colour);
}

void DrawSparkles(HDC dc, const POINT* points, int32_t count, int32_t shades, int32_t cell) {
    if (count < 1)
        return;
    if (cell < 2) {
        const GdiObject<HBRUSH> brush(CreateSolidBrush(NextShade(shades)));
        const SelectedObject brushSelection(dc, brush.Get());
        const SelectedObject penSelection(dc, GetStockObject(NULL_PEN));
        Polygon(dc, points, count);
        return;
    }
    const GdiObject<HRGN> face(CreatePolygonRgn(points, count, ALTERNATE));
    if (!face)
        return;
    RECT box;
    GetRgnBox(face.Get(), &box);
    const std::vector<POINT> cells = SparkleCells(box, cell);
    // The same mesh on every frame...
    std::srand(0);
    for (const POINT& at : cells)
        DrawDiamond(dc, face.Get(), at, cell, NextShade(shades));
    // ...then about one cell in 36 twinkles to a new shade.
    std::srand(GetTickCount());
    for (const POINT& at : cells)
        if (std::rand() % 36 == 0)
            DrawDiamond(dc, face.Get(), at, cell, NextShade(shades));
}

static void DrawGlow(HDC dc, const BannerPlan& plan) {
    for (const GlowLevel& level : plan.glow) {
        LOGBRUSH brush{BS_SOLID, level.colour, 0};
        const GdiObject<HPEN> pen(ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL | PS_SOLID,
                                               static_cast<DWORD>(level.penWidth), &brush, 0, nullptr));
        SelectObject(dc, pen.Get());
        BeginPath(dc);
        Polyline(dc, plan.sweep, 3);
        for (const POINT& end : plan.rayEnds) {
            for (const POINT& origin : plan.rayOrigins) {
                MoveToEx(dc, origin.x, origin.y, nullptr);
                LineTo(dc, end.x, end.y);
            }
        }
        EndPath(dc);
        StrokePath(dc);
        // A stock pen takes its place before its owner deletes it; the white
        // pen stays selected for what is drawn next.
        SelectObject(dc, GetStockObject(WHITE_PEN));
    }
}

static void DrawName(HDC dc, const BannerName& name) {
    const GdiObject<HFONT> font(CreateFontA(name.fontHeight, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, DEFAULT_CHARSET,
                                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH,
                                            "times new roman"));
    const SelectedObject fontSelection(dc, font.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, 0xFFFFFF);
    RECT rect = name.rect;
    DrawTextA(dc, makerName, -1, &rect, 0);
    SetTextColor(dc, 0);
    rect = name.shiftedRect;
    DrawTextA(dc, makerName, -1, &rect, 0);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

void DrawBanner(HWND window, HDC dc, int32_t step, uint16_t colourRange, const RECT* rect) {
    RECT area{};
    if (rect)
        area = *rect;
    else if (!window || !GetClientRect(window, &area))
        return;
    if (!dc && !window)
        return;
    const WindowDC target(window, dc);
    if (!target)
        return;
    const int32_t w = area.right - area.left, h = area.bottom - area.top;
    // Released in the reverse order: the DC's own objects are selected back
    // before the bitmap and the DC are deleted, and the window's DC goes last.
    const MemoryDC memoryOwner(CreateCompatibleDC(target.Get()));
    const HDC memory = memoryOwner.Get();
    const GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(target.Get(), w, h));
    const SelectedObject bitmapSelection(memory, bitmap.Get());

    const BannerPlan plan = PlanBanner(w, h, step, colourRange);

    GdiObject<HBRUSH> background(CreateSolidBrush(lavender));
    const SelectedObject brushSelection(memory, background.Get());
    const SelectedObject penSelection(memory, GetStockObject(NULL_PEN));
    Rectangle(memory, 0, 0, w + 1, h + 1);
    SelectObject(memory, GetStockObject(NULL_BRUSH));
    background.Reset();  // out of the DC now, and not needed any more

    DrawGlow(memory, plan);
    DrawName(memory, plan.name);

    // The facets over the lines, far faces first.
    std::srand(3);
    const POINT* face = plan.gem.points.data();
    for (int32_t count : plan.gem.counts) {
        DrawSparkles(memory, face, count, plan.shades, plan.cell);
        SelectObject(memory, GetStockObject(WHITE_PEN));
        SelectObject(memory, GetStockObject(NULL_BRUSH));
        Polygon(memory, face, count);
        face += count;
    }

    BitBlt(target.Get(), area.left, area.top, w, h, memory, 0, 0, SRCCOPY);
}
