// Where the saver's window goes and how it moves: display sizes per layout,
// the bounce and spin of each tick, and the frame timers. (The turning canvas
// is judged by the picture it holds, in TurningTest.)
#include "engine/DisplaySize.h"
#include "engine/FrameTimers.h"
#include "engine/Motion.h"
#include "imaging/MovieFrames.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

// Layout cases in a small language:
//   "<screen> <layout> <content> [2D] [3D] -> <width>x<height><x><y>"
// where content is a picture "WxH", "movie WxH", "text LENGTH/LINES" or
// "clock", and the result is the display size with its centred position,
// e.g. "1920x1080 C 320x240 -> 640x480+640+300". The size shown before is
// 7x5: unknown layouts and empty pictures keep it. "decode WxH" gives the
// size a picture is decoded at, with the position a window that size would have.
static std::string Layout(const std::string& description) {
    std::istringstream in(description);
    SIZE screen{}, size{};
    std::string layout, kind, word;
    char separator;
    in >> screen.cx >> separator >> screen.cy >> layout >> kind;
    if (kind == "movie" || kind == "text" || kind == "decode")
        in >> size.cx >> separator >> size.cy;
    else
        std::istringstream(kind) >> size.cx >> separator >> size.cy;
    std::string flags;
    while (in >> word && word != "->")
        flags += word;
    const bool rotation2D = flags.find("2D") != std::string::npos, rotation3D = flags.find("3D") != std::string::npos;
    const SIZE current{7, 5};
    const SIZE display = kind == "clock"   ? TextDisplaySize(LayoutOf(layout[0]), 0, 1, screen, current)
                         : kind == "text"  ? TextDisplaySize(LayoutOf(layout[0]), size.cx, size.cy, screen, current)
                         : kind == "movie" ? MovieDisplaySize(LayoutOf(layout[0]), size, screen, current)
                         : kind == "decode"
                             ? PictureDecodeSize(LayoutOf(layout[0]), size, screen, rotation2D, false)
                             : PictureDisplaySize(LayoutOf(layout[0]), size, screen, rotation2D, rotation3D, current);
    const POINT at = CentredPosition(display, screen);
    char result[80];
    std::snprintf(result, sizeof result, "%dx%d%+d%+d", int(display.cx), int(display.cy), int(at.x), int(at.y));
    return description.substr(0, description.find("->") + 3) + result;
}

TEST(DisplaySize, PicturesMoviesAndTexts) {
    // The sizes the end-to-end tests show on the screen (320 x 240 pictures and
    // movies in each layout, the text and the clock centred) are left to them.
    const char* const cases[] = {
        "1920x1080 C 1600x1200 -> 800x600+560+240",  // halved once: 1600 reaches 1152
        "1920x1080 C 1600x1200 2D -> 800x800+560+140",
        "1920x1080 B 100x100 -> 400x400+760+340",   // doubled to 800, halved back (800 >= 648)
        "1920x1080 C 320x-240 -> 640x480+640+300",  // doubled once (480 is not below 432); top-down
        "1920x1080 F 640x480 3D -> 1440x1440+240-180",
        "1920x1080 S 320x240 2D 3D -> 1920x1920+0-420",
        "1920x1080 C 0x0 2D -> 7x7+956+536",   // empty: kept, squared to turn
        "1920x1080 X 320x240 -> 7x5+956+537",  // unknown layout: kept
        "0x0 C 320x240 -> 0x0+0+0",
        "640x480 C movie 640x480 -> 320x240+160+120",  // equal sides count as too large
        "1920x1080 B movie 2000x100 -> 1000x50+460+515",
        "152x112 F movie 1280x720 -> 152x86+0+13",  // 85.5 rounds up
        "1920x1080 Z movie 640x480 -> 7x5+956+537",
        "1920x1080 C text 2/3 -> 960x540+480+270",  // at most half the screen's height
        "152x112 C clock -> 76x30+38+41",
        "1920x1080 F text 5/1 -> 1920x1080+0+0",
        "1920x1080 ? text 5/1 -> 7x5+956+537",
        // Pictures decode no larger than they are shown.
        "1920x1080 F decode 12000x9000 -> 1440x1080+240+0",
        "1920x1080 C decode 12000x9000 -> 750x562+585+259",  // halved four times
        "1920x1080 S decode 4000x500 -> 1920x500+0+290",     // stretched: never enlarged here
        "1920x1080 C decode 320x240 -> 320x240+800+420",     // shown doubled: decoded whole
        "1920x1080 F decode 640x480 2D -> 339x256+790+412",  // the turning canvas
        "152x112 F decode 4096x3072 -> 149x112+1+0",         // the preview's little screen
        "1920x1080 X decode 12000x9000 -> 12000x9000-5040-3960",
    };
    for (const char* c : cases)
        EXPECT_EQ(Layout(c), c);
}

// The random numbers a test hands out, in order; drawing past the end is a
// failure, and each case checks that all were drawn.
static std::vector<int> script;
static size_t scriptNext;

static int Scripted() {
    if (scriptNext < script.size())
        return script[scriptNext++];
    ADD_FAILURE() << "more random numbers drawn than scripted";
    return 0;
}

static void Script(std::vector<int> numbers) {
    script = std::move(numbers);
    scriptNext = 0;
}

// One move tick in a small language:
//   "<screen> <window size><x><y> v<vx>,<vy> r<random numbers> -> <x><y> v<vx>,<vy> s<A>,<B>,<C>"
// The turning speeds start at 9, 9, 9, so an untouched C shows as 9.
static std::string Bounce(const std::string& description) {
    int screenWidth = 0, screenHeight = 0, randomAt = 0;
    BounceState s{};
    std::sscanf(description.c_str(), "%dx%d %dx%d%d%d v%d,%d r%n", &screenWidth, &screenHeight, &s.displayWidth,
                &s.displayHeight, &s.displayX, &s.displayY, &s.velocityX, &s.velocityY, &randomAt);
    std::istringstream numbers(description.substr(randomAt, description.find(" ->") - randomAt));
    Script({});
    for (int n; numbers >> n; numbers.ignore())
        script.push_back(n);
    s.spinSpeed[0] = s.spinSpeed[1] = s.spinSpeed[2] = 9;
    BounceStep(s, screenWidth, screenHeight, Scripted);
    EXPECT_EQ(scriptNext, script.size()) << "random numbers left unused: " << description;
    char result[120];
    std::snprintf(result, sizeof result, "%+d%+d v%d,%d s%g,%g,%g", int(s.displayX), int(s.displayY), int(s.velocityX),
                  int(s.velocityY), s.spinSpeed[0], s.spinSpeed[1], s.spinSpeed[2]);
    return description.substr(0, description.find("->") + 3) + result;
}

TEST(Motion, BounceTicks) {
    const char* const cases[] = {
        // The first tick draws both directions: right and down.
        "1920x1080 640x480+640+300 v0,0 r2,4 -> +640+300 v3,5 s3,5,3",
        // Inside the screen nothing is drawn and C keeps its value.
        "1920x1080 640x480+1276+300 v3,2 r -> +1279+302 v3,2 s3,2,9",
        // Touching the right edge counts; crossing it by less than a step too.
        "1920x1080 640x480+1277+300 v3,2 r0 -> +1280+302 v-1,2 s-1,2,2",
        // Still at the edge after a step back: a new leftward speed, not a flip.
        "1920x1080 640x480+1284+300 v-4,2 r0 -> +1280+302 v-1,2 s-1,2,2",
        "1920x1080 640x480+2+300 v-3,2 r1 -> -1+302 v2,2 s2,2,-2",
        "1920x1080 640x480+3+300 v-3,2 r1 -> +0+302 v2,2 s2,2,-2",  // touching the left edge too
        "1920x1080 640x480+500+598 v2,3 r3 -> +502+601 v2,-4 s2,-4,-2",
        // Corners: the vertical edge sees the new horizontal velocity.
        "1920x1080 640x480+1279+599 v2,2 r1,2 -> +1281+601 v-2,-3 s-2,-3,2",
        "1920x1080 640x480+1+1 v-2,-2 r0,4 -> -1-1 v1,5 s1,5,1",
        // A window as large as the screen is always at an edge.
        "640x480 640x480+0+0 v1,1 r1,1 -> +1+1 v-2,-2 s-2,-2,2",
    };
    for (const char* c : cases)
        EXPECT_EQ(Bounce(c), c);
}

TEST(Motion, SpinSpeeds) {
    float speed[3] = {};
    Script({0, 4, 2});
    StartSpinSpeeds(speed, Scripted);
    EXPECT_EQ(std::vector<float>(speed, speed + 3), (std::vector<float>{1, 5, 3}));
    // Frames 0, 50 and 100 draw; odd speeds are negated.
    int32_t count = 0;
    Script({0, 1, 2, 3, 4, 5, 6, 7, 8});
    int changes = 0;
    std::vector<float> afterDraws;  // the speeds after frames 0 and 50
    for (int frame = 0; frame <= 100; ++frame) {
        changes += NextSpinFrame(speed, count, Scripted) ? 1 : 0;
        if (frame == 0 || frame == 50)
            afterDraws.insert(afterDraws.end(), speed, speed + 3);
    }
    EXPECT_EQ(afterDraws, (std::vector<float>{-1, 2, -3, 4, -5, -1}));
    EXPECT_TRUE(changes == 3 && count == 101 && scriptNext == 9u) << changes << " " << count << " " << scriptNext;
}

// A still picture on one full screen is painted once; in a preview or across
// several monitors something else may paint over it, so it is repainted.
TEST(FrameTimers, StillContentRepaintedWhereItMayBeCoveredAndEachMoviesPeriodAndResumingFrame) {
    const struct {
        char content;
        bool primaryOnly;
        uint32_t frame;
    } cases[] = {{'B', true, 0}, {'B', false, 250}, {'T', false, 250}, {'R', true, 20}};
    for (const auto& c : cases)
        EXPECT_EQ(PlanTimers(ContentOf(c.content), Layout::centred, 0, c.primaryOnly).framePeriod, c.frame)
            << c.content;
    // Each movie: its rate and scale, its frames, the timer period they give,
    // a frame stored by the last run and the frame it resumes at.
    const struct {
        uint32_t rate, scale, frames, period;
        int32_t stored, next;
    } movies[] = {
        {15, 1, 100, 66, -1, 0},  // nothing stored: the first frame
        {25, 0, 100, 0, -7, 0},   // zero scale: no rate, not infinity; damaged value: the start
        {5000, 1, 10, 1, 57, 8},  // faster than 1 ms: as fast as timers go; stored by a longer movie
        {1, 0xFFFFFFFFu, 10, 0x7FFFFFFF, INT32_MAX, 8},  // 2^31 mod 10, without overflow
    };
    for (const auto& c : movies) {
        EXPECT_EQ(MovieTimerPeriod(MovieFrameRate(c.rate, c.scale), true, c.frames), c.period)
            << c.rate << "/" << c.scale;
        EXPECT_EQ(NextMovieFrame(c.stored, true, c.frames), c.next) << c.stored << " of " << c.frames;
    }
}
