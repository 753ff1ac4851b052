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

// A 2 x 2 frame drawn into (10, 10)-(110, 60): the middles of its top and
// bottom (stored first) rows, left and right, then five points just outside.
std::vector<uint32_t> Shown(const Canvas& c) {
    return {c.At(30, 20), c.At(90, 20), c.At(30, 50), c.At(90, 50),
            c.At(9, 30),  c.At(110, 30), c.At(50, 9), c.At(50, 60), c.At(150, 80)};
}

std::vector<uint32_t> Quadrants(uint32_t topLeft, uint32_t topRight, uint32_t bottomLeft, uint32_t bottomRight) {
    return {topLeft, topRight, bottomLeft, bottomRight, kGrey, kGrey, kGrey, kGrey, kGrey};
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
    EXPECT_EQ(PresentDib(nullptr, canvas.dc, nullptr, &area), 0);
}

TEST(LoadFromBitmap, ThirtyTwoBitBitmapsKeepTheirColours) {
    // Top row first: red, green; then blue and a grey-brown (bytes B, G, R, X).
    const uint32_t pixels[2 * 2] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00102030};
    const uint32_t expected[2 * 2] = {0x0000FF, 0x00FF00, 0xFF0000, 0x302010};  // colour values

    // A device-dependent bitmap, and a DIB section that describes itself
    // with bit-field masks; the system answers BI_BITFIELDS for both here.
    struct { BITMAPINFOHEADER header; DWORD masks[3]; } masked = {
        {sizeof(BITMAPINFOHEADER), 2, -2, 1, 32, BI_BITFIELDS, 0, 0, 0, 0, 0}, {0xFF0000, 0x00FF00, 0x0000FF}};
    void* sectionBits = nullptr;
    HBITMAP bitmaps[2] = {CreateBitmap(2, 2, 1, 32, pixels),
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
        ASSERT_EQ(picture.Width() * 10 + picture.Height(), 22);
        for (int pass = 0; pass < 2; ++pass) {  // as loaded, then converted to 24 bits as turning does
            for (int i = 0; i < 4; ++i) EXPECT_EQ(picture.GetPixel(i % 2, i / 2, false) & 0xFFFFFF, expected[i]) << i;
            ASSERT_EQ(picture.ConvertDepth(24), 1);
        }
    }
}
