#include "engine/DisplaySize.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

// Layout cases in a small language:
//   "<screen> <layout> <content> [2D] [3D] -> <width>x<height><x><y>"
// where content is a picture "WxH", "movie WxH", "text LENGTH/LINES" or
// "clock", and the result is the display size with its centred position,
// e.g. "1920x1080 C 320x240 -> 640x480+640+300". The size shown before is
// 7x5: unknown layouts and empty pictures keep it.
static std::string Layout(const std::string& description) {
    std::istringstream in(description);
    SIZE screen{}, size{};
    std::string layout, kind, word;
    char separator;
    in >> screen.cx >> separator >> screen.cy >> layout >> kind;
    if (kind == "movie" || kind == "text")
        in >> size.cx >> separator >> size.cy;
    else
        std::istringstream(kind) >> size.cx >> separator >> size.cy;
    bool rotation2D = false, rotation3D = false;
    while (in >> word && word != "->") {
        rotation2D |= word == "2D";
        rotation3D |= word == "3D";
    }
    const SIZE current{7, 5};
    const SIZE display = kind == "clock"   ? TextDisplaySize(layout[0], 0, 1, screen, current)
                         : kind == "text"  ? TextDisplaySize(layout[0], size.cx, size.cy, screen, current)
                         : kind == "movie" ? MovieDisplaySize(layout[0], size, screen, current)
                                           : PictureDisplaySize(layout[0], size, screen, rotation2D, rotation3D, current);
    const POINT at = CentredPosition(display, screen);
    char result[80];
    std::snprintf(result, sizeof result, "%dx%d%+d%+d", static_cast<int>(display.cx),
                  static_cast<int>(display.cy), static_cast<int>(at.x), static_cast<int>(at.y));
    return description.substr(0, description.find("->") + 3) + result;
}

TEST(DisplaySize, PicturesMoviesAndTexts) {
    const char* const cases[] = {
        "1920x1080 C 320x240 -> 640x480+640+300",     // doubled once: 480 is not below 432
        "1920x1080 C 1600x1200 -> 800x600+560+240",   // halved once: 1600 reaches 1152
        "1920x1080 C 1600x1200 2D -> 800x800+560+140",
        "1920x1080 B 100x100 -> 400x400+760+340",     // doubled to 800, halved back (800 >= 648)
        "1920x1080 C 320x-240 -> 640x480+640+300",    // a bottom-up height counts by its size
        "1920x1080 F 640x480 -> 1440x1080+240+0",
        "1920x1080 F 640x480 3D -> 1440x1440+240-180",
        "1920x1080 S 320x240 -> 1920x1080+0+0",
        "1920x1080 S 320x240 2D 3D -> 1920x1920+0-420",
        "1920x1080 C 0x0 2D -> 7x7+956+536",          // empty: kept, squared to turn
        "1920x1080 X 320x240 -> 7x5+956+537",         // unknown layout: kept
        "0x0 C 320x240 -> 0x0+0+0",
        "2147483647x2147483647 C 1x1 -> 1073741824x1073741824+536870911+536870911",
        "640x480 C movie 640x480 -> 320x240+160+120",  // equal sides count as too large
        "1920x1080 B movie 2000x100 -> 1000x50+460+515",
        "1920x1080 C movie 320x240 -> 320x240+800+420",  // movies are never doubled
        "1920x1080 F movie 640x480 -> 1440x1080+240+0",
        "152x112 F movie 1280x720 -> 152x86+0+13",       // 85.5 rounds up
        "1920x1080 F movie 0x480 -> 0x0+960+540",
        "1920x1080 S movie 0x0 -> 1920x1080+0+0",
        "1920x1080 Z movie 640x480 -> 7x5+956+537",
        "1920x1080 C text 5/1 -> 960x384+480+348",
        "1920x1080 C clock -> 960x384+480+348",
        "1920x1080 B text 20/2 -> 960x192+480+444",
        "1920x1080 C text 2/3 -> 960x540+480+270",   // at most half the screen's height
        "152x112 C clock -> 76x30+38+41",
        "1920x1080 F text 5/1 -> 1920x1080+0+0",
        "1920x1080 ? text 5/1 -> 7x5+956+537",
    };
    for (const char* c : cases) EXPECT_EQ(Layout(c), c);
}

TEST(DisplaySize, TurningCanvas) {
    const struct { int width, height; bool rotation3D; TurningCanvas expected; } cases[] = {
        {640, 480, true, {248, 186, 310, {-31, -62, 278, 247}}},  // area 46128, 310 x 310
        {640, -480, false, {339, 256, 424, {-42, -84, 380, 339}}},
        {100, 100, true, {100, 100, 141, {-20, -20, 119, 119}}},  // odd border: side 140
        {1, 1000000, false, {1, 98477, 98477, {-49238, 0, 49238, 98476}}},  // the 1 never shrinks
        {0, 0, true, {0, 0, 0, {0, 0, -1, -1}}},
    };
    const auto text = [](const TurningCanvas& t) {
        char out[100];
        std::snprintf(out, sizeof out, "%d %d %d (%d,%d)-(%d,%d)", int(t.width), int(t.height), int(t.diagonal),
                      int(t.crop.left), int(t.crop.top), int(t.crop.right), int(t.crop.bottom));
        return std::string(out);
    };
    for (const auto& c : cases)
        EXPECT_EQ(text(PlanTurningCanvas(c.width, c.height, c.rotation3D)), text(c.expected)) << c.width;
    // A negative width (nonsense) ends rather than looping.
    EXPECT_EQ(PlanTurningCanvas(INT32_MIN, INT32_MIN, false).width, INT32_MIN);
}
