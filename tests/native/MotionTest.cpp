#include "engine/Motion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

// The random numbers a test hands out, in order; drawing past the end is a
// failure, and each case checks that all were drawn.
static std::vector<int> script;
static size_t scriptNext;

static int Scripted() {
    if (scriptNext < script.size()) return script[scriptNext++];
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
    for (int n; numbers >> n; numbers.ignore()) script.push_back(n);
    s.spinSpeed[0] = s.spinSpeed[1] = s.spinSpeed[2] = 9;

    BounceStep(s, screenWidth, screenHeight, Scripted);
    EXPECT_EQ(scriptNext, script.size()) << "random numbers left unused: " << description;

    char result[120];
    std::snprintf(result, sizeof result, "%+d%+d v%d,%d s%g,%g,%g", static_cast<int>(s.displayX),
                  static_cast<int>(s.displayY), static_cast<int>(s.velocityX),
                  static_cast<int>(s.velocityY), s.spinSpeed[0], s.spinSpeed[1], s.spinSpeed[2]);
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
        // Nonsense positions do not overflow.
        "1920x1080 10x10+2147483647+5 v5,1 r0 -> +2147483647+6 v-1,1 s-1,1,1",
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
    for (int frame = 0; frame <= 100; ++frame) {
        changes += NextSpinFrame(speed, count, Scripted) ? 1 : 0;
        if (frame == 0) { EXPECT_EQ(std::vector<float>(speed, speed + 3), (std::vector<float>{-1, 2, -3})); }
        if (frame == 50) { EXPECT_EQ(std::vector<float>(speed, speed + 3), (std::vector<float>{4, -5, -1})); }
    }
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(count, 101);
    EXPECT_EQ(scriptNext, 9u);

    // The count wraps without overflow.
    count = INT32_MAX;
    EXPECT_FALSE(NextSpinFrame(speed, count, Scripted));
    EXPECT_EQ(count, INT32_MIN);
}
