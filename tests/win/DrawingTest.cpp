// What GDI shows of the saver's drawing, read back pixel by pixel: frames
// presented with PresentDib and through the kept surface. (The banner, loaded
// from its GDI bitmap, and text are checked on the screen by the end-to-end
// tests.)
#include "../native/BitmapTestUtil.h"
#include "platform/ScopeOwners.h"
#include "platform/WinTypes.h"
#include "engine/FrameSurface.h"
#include "engine/PresentDib.h"
#include "imaging/KBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

using testutil::Header;
using testutil::PackedDib;

namespace {

constexpr uint32_t kGrey = 0x404040, kRed = 0xFF0000, kBlue = 0x0000FF;  // 0xRRGGBB

// A 32-bit top-down DIB section selected into a memory DC.
struct Canvas {
    int width, height;
    uint32_t* pixels = nullptr;
    GdiObject<HBITMAP> bitmap;
    MemoryDC memory{CreateCompatibleDC(nullptr)};
    SelectedObject selection;
    HDC dc = memory.Get();
    Canvas(int w, int h) : width(w), height(h) {
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};  // top-down
        bitmap.Reset(CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0));
        selection = SelectedObject(dc, bitmap.Get());
    }
    uint32_t At(int x, int y) const { return pixels[y * width + x] & 0xFFFFFF; }  // 0xRRGGBB
    void Fill(uint32_t rgb) { std::fill(pixels, pixels + width * height, rgb); }
};

// A 2 x 2 frame drawn into (10, 10)-(110, 60): the middles of its top and
// bottom (stored first) rows, left and right, then five points just outside.
std::vector<uint32_t> Shown(const Canvas& c) {
    return {c.At(30, 20),  c.At(90, 20), c.At(30, 50), c.At(90, 50), c.At(9, 30),
            c.At(110, 30), c.At(50, 9),  c.At(50, 60), c.At(150, 80)};
}

std::vector<uint32_t> Quadrants(uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight) {
    return {topLeft, topRight, bottomLeft, bottomRight, kGrey, kGrey, kGrey, kGrey, kGrey};
}

HWND MakeWindow(int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "frame surface test";
    RegisterClassA(&windowClass);  // fails harmlessly the second time
    HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                  height, nullptr, nullptr, windowClass.hInstance, nullptr);
    UpdateWindow(window);
    return window;
}

// The window's pixels, as the screen holds them.
void Capture(HWND window, Canvas& canvas) {
    HDC windowContext = GetDC(window);
    BitBlt(canvas.dc, 0, 0, canvas.width, canvas.height, windowContext, 0, 0, SRCCOPY);
    ReleaseDC(window, windowContext);
}

// The first pixel where the window differs from GDI's stretch of the frame
// drawn into it: at the screen's own depth, which a 16-bit screen keeps less
// of than the frame holds.
testing::AssertionResult ShowsWhatGdiShows(HWND window, const KBitmap& frame, int width, int height, int extra) {
    Canvas shown(width, height), expected(width, height);
    Capture(window, shown);
    HDC windowContext = GetDC(window);
    SetStretchBltMode(windowContext, COLORONCOLOR);
    StretchDIBits(windowContext, 0, 0, width + extra, height + extra, 0, 0, frame.Width(), frame.Height(), frame.Bits(),
                  reinterpret_cast<const BITMAPINFO*>(frame.Header()), DIB_RGB_COLORS, SRCCOPY);
    ReleaseDC(window, windowContext);
    Capture(window, expected);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (shown.At(x, y) != expected.At(x, y))
                return testing::AssertionFailure() << "pixel " << x << "," << y;
    return testing::AssertionSuccess();
}

}  // namespace

TEST(PresentDib, PaletteAndMaskedFramesFillOnlyTheirArea) {
    Canvas canvas(160, 100);
    const RECT area{10, 10, 110, 60};
    // DrawDib stretches with the context's mode: no blending for this check.
    SetStretchBltMode(canvas.dc, COLORONCOLOR);
    // 8 bits, biClrUsed 0: a full 256-entry table, the rows 1024 bytes on.
    std::vector<BYTE> rest(1024, 0x77);
    std::memcpy(&rest[4 * 3], "\0\0\xFF", 4);  // entry 3 red, entry 9 blue: blue is stored first
    std::memcpy(&rest[4 * 9], "\xFF\0\0", 4);
    rest.insert(rest.end(), {9, 3, 0, 0, 3, 9, 0, 0});
    std::vector<BYTE> dib = PackedDib(Header(2, 2, 8), rest);
    canvas.Fill(kGrey);
    EXPECT_EQ(PresentDib(nullptr, canvas.dc, reinterpret_cast<BITMAPINFOHEADER*>(dib.data()), &area), 1);
    EXPECT_EQ(Shown(canvas), Quadrants(kRed, kBlue, kBlue, kRed));
    // 16-bit bit fields are 5-6-5 whatever the frame says (here a bogus
    // colour count and no masks): the rows follow the header directly.
    dib = PackedDib(Header(2, 2, 16, BI_BITFIELDS, 7), {0x1F, 0x00, 0x00, 0xF8, 0xE0, 0x07, 0xE0, 0x07});
    canvas.Fill(kGrey);
    SetStretchBltMode(canvas.dc, HALFTONE);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    EXPECT_EQ(PresentDib(nullptr, canvas.dc, header, &area), 1);
    EXPECT_EQ(header->biClrUsed, 0u);
    // 5-6-5, not 5-5-5: 0x07E0 is pure green (5-5-5 would add some red).
    EXPECT_EQ(Shown(canvas), Quadrants(0x00FF00, 0x00FF00, kBlue, kRed));
    // The caller's stretch mode survives.
    EXPECT_EQ(GetStretchBltMode(canvas.dc), HALFTONE);
    // A V5 header (124 bytes, sRGB): the rows follow it, not the first 40 bytes.
    BITMAPINFOHEADER v5 = Header(2, 2, 24);
    v5.biSize = 124;
    dib.assign(124, 0);
    std::memcpy(dib.data(), &v5, sizeof v5);
    std::memcpy(&dib[56], "BGRs", 4);  // bV5CSType LCS_sRGB
    dib.insert(dib.end(), {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0});
    canvas.Fill(kGrey);
    SetStretchBltMode(canvas.dc, COLORONCOLOR);
    EXPECT_EQ(PresentDib(nullptr, canvas.dc, reinterpret_cast<BITMAPINFOHEADER*>(dib.data()), &area), 1);
    EXPECT_EQ(Shown(canvas), Quadrants(kRed, kBlue, kBlue, kRed));
}

// Frames presented through the kept surface must leave the window showing
// what GDI's COLORONCOLOR stretch of the last frame shows, pixel for pixel, on
// a screen of any depth: at every ratio, over the client area (movies) or one pixel more each way
// (pictures), however the lit part of a turning frame moves between frames.
TEST(FrameSurface, WindowShowsWhatGdiStretchShows) {
    // Turning canvases on a 1080-line screen, a movie frame, equal sizes,
    // small odd ratios.
    const struct {
        int pictureWidth, pictureHeight, width, height;
        bool inclusive;
    } cases[] = {
        {310, 310, 1080, 1080, true}, {424, 424, 1000, 1000, true}, {640, 480, 1440, 1080, false},
        {17, 13, 17, 13, false},      {3, 2, 7, 7, true},           {5, 9, 64, 23, true},
        {101, 7, 303, 100, false},
    };
    for (const auto& c : cases) {
        HWND window = MakeWindow(c.width, c.height);
        ASSERT_NE(window, nullptr);
        FrameSurface surface = {};
        const int w = c.pictureWidth, h = c.pictureHeight;
        // Lit areas that move, shrink to nothing and come back.
        const RECT lits[] = {{0, 0, w, h}, {w / 4, h / 3, w / 2 + 1, h - 1}, {0, 0, 0, 0}, {w / 2, 0, w, h / 2 + 1}};
        for (const RECT& lit : lits) {
            const KBitmap frame = testutil::OnBlack(w, h, lit, lit.left + 1);
            ASSERT_TRUE(PresentEnlarged(window, surface, *frame.Header(), frame.Bits(), c.inclusive, c.inclusive));
            EXPECT_TRUE(ShowsWhatGdiShows(window, frame, c.width, c.height, c.inclusive ? 1 : 0))
                << w << "x" << h << " to " << c.width << "x" << c.height << ", lit from " << lit.left;
        }
        ReleaseFrameSurface(surface);
        DestroyWindow(window);
    }
}
