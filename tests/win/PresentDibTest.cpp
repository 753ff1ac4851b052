// Frames and GDI bitmaps as the screen shows them: PresentDib's palette and
// mask handling and its target area, and LoadFromBitmap of 32-bit bitmaps.
#include "engine/PresentDib.h"
#include "imaging/KBitmap.h"

#include "../native/BitmapTestUtil.h"
#include "Canvas.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using testutil::Header;
using testutil::PackedDib;

namespace {

constexpr uint32_t kGrey = 0x404040, kRed = 0xFF0000, kBlue = 0x0000FF;  // 0xRRGGBB

// The 2 x 2 frame drawn into (10, 10)-(110, 60) must show its bottom row
// (stored first) as the lower half, left and right; nothing outside the area
// may change.
void ExpectQuadrants(const Canvas& canvas, uint32_t topLeft, uint32_t topRight,
                     uint32_t bottomLeft, uint32_t bottomRight) {
    EXPECT_EQ(canvas.At(30, 20), topLeft);
    EXPECT_EQ(canvas.At(90, 20), topRight);
    EXPECT_EQ(canvas.At(30, 50), bottomLeft);
    EXPECT_EQ(canvas.At(90, 50), bottomRight);
    for (POINT outside : {POINT{9, 30}, POINT{110, 30}, POINT{50, 9}, POINT{50, 60}, POINT{150, 80}})
        EXPECT_EQ(canvas.At(outside.x, outside.y), kGrey) << outside.x << "," << outside.y;
}

}  // namespace

TEST(PresentDib, PaletteAndMaskedFramesFillOnlyTheirArea) {
    Canvas canvas(160, 100);
    ASSERT_NE(canvas.pixels, nullptr);
    const RECT area{10, 10, 110, 60};
    // DrawDib stretches with the context's mode: no blending for this check.
    SetStretchBltMode(canvas.dc, COLORONCOLOR);

    // 8 bits, biClrUsed 0: a full 256-entry table, the rows 1024 bytes on.
    std::vector<BYTE> rest(1024, 0x77);
    const BYTE red[4] = {0, 0, 255, 0}, blue[4] = {255, 0, 0, 0};  // entries store blue first
    std::memcpy(&rest[4 * 3], red, 4);
    std::memcpy(&rest[4 * 9], blue, 4);
    rest.insert(rest.end(), {9, 3, 0, 0, 3, 9, 0, 0});
    std::vector<BYTE> dib = PackedDib(Header(2, 2, 8), rest);
    canvas.Fill(kGrey);
    EXPECT_EQ(PresentDib(nullptr, canvas.dc, reinterpret_cast<BITMAPINFOHEADER*>(dib.data()), &area), 1);
    ExpectQuadrants(canvas, kRed, kBlue, kBlue, kRed);

    // 16-bit bit fields are 5-6-5 whatever the frame says (here a bogus
    // colour count and no masks): the rows follow the header directly.
    dib = PackedDib(Header(2, 2, 16, BI_BITFIELDS, 7), {0x1F, 0x00, 0x00, 0xF8, 0xE0, 0x07, 0xE0, 0x07});
    canvas.Fill(kGrey);
    SetStretchBltMode(canvas.dc, HALFTONE);
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(dib.data());
    EXPECT_EQ(PresentDib(nullptr, canvas.dc, header, &area), 1);
    EXPECT_EQ(header->biClrUsed, 0u);
    // 5-6-5, not 5-5-5: 0x07E0 is pure green (5-5-5 would add some red).
    ExpectQuadrants(canvas, 0x00FF00, 0x00FF00, kBlue, kRed);
    // The caller's stretch mode survives.
    EXPECT_EQ(GetStretchBltMode(canvas.dc), HALFTONE);
    EXPECT_EQ(PresentDib(nullptr, canvas.dc, nullptr, &area), 0);
}

TEST(LoadFromBitmap, ThirtyTwoBitBitmapsKeepTheirColours) {
    // Top row first: red, green; then blue and a grey-brown (bytes B, G, R, X).
    const uint32_t pixels[2 * 2] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00102030};
    const uint32_t expected[2 * 2] = {0x0000FF, 0x00FF00, 0xFF0000, 0x302010};  // colour values

    // A device-dependent bitmap, and a DIB section that describes itself
    // with bit-field masks; the system answers BI_BITFIELDS for both here.
    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } masked = {{sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_BITFIELDS, 0, 0, 0, 0, 0},
                {0xFF0000, 0x00FF00, 0x0000FF}};
    void* sectionBits = nullptr;
    HBITMAP bitmaps[2] = {
        CreateBitmap(2, 2, 1, 32, pixels),
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&masked), DIB_RGB_COLORS,
                         &sectionBits, nullptr, 0)};
    ASSERT_TRUE(bitmaps[0] && bitmaps[1]);
    std::memcpy(sectionBits, pixels, sizeof pixels);
    GdiFlush();

    for (HBITMAP bitmap : bitmaps) {
        KBitmap picture;
        ASSERT_NE(picture.LoadFromBitmap(bitmap), 0u);
        DeleteObject(bitmap);
        SCOPED_TRACE(testing::Message() << "compression " << picture.Header()->biCompression);
        ASSERT_EQ(picture.Width(), 2);
        ASSERT_EQ(picture.Height(), 2);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(picture.GetPixel(i % 2, i / 2, false) & 0xFFFFFF, expected[i]) << i;
        // Turning converts it to 24 bits.
        ASSERT_EQ(picture.ConvertDepth(24), 1);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(picture.GetPixel(i % 2, i / 2, false), expected[i]) << i;
    }
}
