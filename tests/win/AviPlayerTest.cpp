// The movie source on real AVI files written by AVIFile itself: frames by
// number, the cached first frame, the ends of the movie, failed opens.
#include "imaging/AviPlayer.h"

#include "../wine/MovieWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A file in the temporary folder; given frames, a 32 x 24, 24-bit movie
// whose frames show their numbers.
std::string TempFile(const char* name, int frames = 0, DWORD rate = 0, DWORD scale = 0) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + name;
    EXPECT_TRUE(!frames || MakeMovie(path.c_str(), "rgb24", 32, 24, frames, rate, scale)) << path;
    return path;
}

// The frame number a frame shows at its middle (row 12, column 16; rows of
// 96 bytes); -1 for no frame.
int NumberShown(const BITMAPINFOHEADER* frame) {
    if (!frame) return -1;
    const BYTE* pixel = reinterpret_cast<const BYTE*>(frame + 1) + 12 * 96 + 16 * 3;
    return pixel[2] / 25 + 10 * (pixel[1] / 25);
}

}  // namespace

TEST(AviPlayer, FramesByNumberAndTheirEnds) {
    AVI_PLAYER player;
    ASSERT_EQ(player.Open(TempFile("hundred.avi", 100, 2997, 100).c_str(), 24), 1);
    EXPECT_EQ(player.FrameCount(), 100u);
    EXPECT_DOUBLE_EQ(player.GetFrameRate(), 29.97);
    // Frame 0 was decoded by Open: asking for it again gives the same frame.
    BITMAPINFOHEADER* first = player.GetFrame(0, false);
    EXPECT_EQ(NumberShown(first), 0);
    EXPECT_EQ(player.GetFrame(0, true), first);
    // Absolute or relative to the current frame; past the ends null, and the
    // current frame stays.
    const struct { int number; bool relative; int shown; } steps[] = {
        {1, true, 1}, {99, false, 99}, {100, false, -1}, {0, true, 99}, {1, true, -1},
        {5, false, 5}, {-1, true, 4}, {0, false, 0}, {-1, true, -1}, {0, true, 0},
        {0x7FFFFFFF, true, -1},
    };
    for (const auto& s : steps)
        EXPECT_EQ(NumberShown(player.GetFrame(s.number, s.relative)), s.shown) << s.number << " " << s.relative;
    player.Close();
    player.Close();  // harmless
    EXPECT_EQ(player.GetFrame(0, false), nullptr);
}

// No file, and a file that is no AVI: not opened, again and again, with
// AVIFile's initialisations balanced: a movie still opens after.
TEST(AviPlayer, FailedOpensAreBalanced) {
    const std::string text = TempFile("text.avi");
    FILE* file = fopen(text.c_str(), "wb");
    fputs("not a movie", file);
    fclose(file);
    AVI_PLAYER player;
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(player.Open("C:\\no\\such\\movie.avi", 24), 0);
        EXPECT_EQ(player.Open(text.c_str(), 24), 0);
    }
    EXPECT_EQ(player.Open(TempFile("after.avi", 3, 25, 1).c_str(), 24), 1);
    EXPECT_EQ(NumberShown(player.GetFrame(2, false)), 2);
}
