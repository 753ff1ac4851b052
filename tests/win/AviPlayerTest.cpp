// The movie source on real AVI files written by AVIFile itself: frames by
// number, the cached first frame, the ends of the movie, rates, requested
// depths, and files without playable video.
#include "imaging/AviPlayer.h"

#include "../wine/MovieWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TempMovie(const char* name, const char* kind, int frames, DWORD rate, DWORD scale) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    std::string path = std::string(folder) + name;
    EXPECT_TRUE(MakeMovie(path.c_str(), kind, 32, 24, frames, rate, scale)) << path;
    return path;
}

// The frame number a frame shows (see MovieWriter.h), read at its middle;
// -1 for no frame.
int NumberShown(const BITMAPINFOHEADER* frame) {
    if (!frame || frame->biBitCount != 24)
        return -1;
    const int stride = (frame->biWidth * 3 + 3) & ~3;
    const BYTE* pixel = reinterpret_cast<const BYTE*>(frame + 1) +
                        (frame->biHeight / 2) * stride + (frame->biWidth / 2) * 3;
    return pixel[2] / 25 + 10 * (pixel[1] / 25);
}

}  // namespace

TEST(AviPlayer, FramesByNumberAndTheirEnds) {
    AVI_PLAYER player;
    ASSERT_EQ(player.Open(TempMovie("hundred.avi", "rgb24", 100, 15, 1).c_str(), 24), 1);
    EXPECT_TRUE(player.HasVideo());
    EXPECT_EQ(player.FrameCount(), 100u);
    EXPECT_EQ(player.GetFrameSize().cx, 32);
    EXPECT_EQ(player.GetFrameSize().cy, 24);

    // Frame 0 was decoded by Open: asking for it again gives the same frame.
    BITMAPINFOHEADER* first = player.GetFrame(0, false);
    EXPECT_EQ(NumberShown(first), 0);
    EXPECT_EQ(player.GetFrame(0, true), first);

    // Steps: absolute or relative to the current frame; the ends give null
    // and leave the current frame as it was.
    struct Step { int number; bool relative; int shown; };
    const Step steps[] = {
        {1, true, 1}, {99, false, 99}, {100, false, -1}, {0, true, 99}, {1, true, -1},
        {5, false, 5}, {-1, true, 4}, {0, false, 0}, {-1, true, -1}, {0, true, 0},
        {-1, false, -1}, {0x7FFFFFFF, true, -1},
    };
    for (const Step& s : steps)
        EXPECT_EQ(NumberShown(player.GetFrame(s.number, s.relative)), s.shown)
            << s.number << (s.relative ? " relative" : "");

    player.Close();
    player.Close();  // harmless
    EXPECT_FALSE(player.HasVideo());
    EXPECT_EQ(player.GetFrame(0, false), nullptr);
    EXPECT_EQ(player.GetFrameSize().cx, 0);
    EXPECT_EQ(player.GetFrameRate(), 0.0);
}

TEST(AviPlayer, RatesAndRequestedDepths) {
    struct Case { DWORD rate, scale; double fps; };
    for (const Case& c : {Case{15, 1, 15.0}, Case{25, 1, 25.0}, Case{2997, 100, 29.97}}) {
        AVI_PLAYER player;
        ASSERT_EQ(player.Open(TempMovie("rate.avi", "rgb24", 2, c.rate, c.scale).c_str(), 24), 1);
        EXPECT_DOUBLE_EQ(player.GetFrameRate(), c.fps);
    }
    // Whatever the file holds, frames come at the depth asked for. A decoder
    // that cannot deliver it (Wine has no converter to 16-bit 5-5-5, which
    // depth 15 asks for) leaves a movie that opens and shows nothing.
    struct Depth { const char* kind; int asked; WORD bits; };
    for (const Depth& d : {Depth{"pal8", 24, 24}, Depth{"rgb16", 24, 24}, Depth{"rgb24", 32, 32},
                           Depth{"rgb24", 15, 16}}) {
        AVI_PLAYER player;
        ASSERT_EQ(player.Open(TempMovie("depth.avi", d.kind, 2, 25, 1).c_str(), d.asked), 1);
        EXPECT_TRUE(player.HasVideo());
        const BITMAPINFOHEADER* frame = player.GetFrame(1, false);
        if (d.asked == 15 && !frame)
            continue;
        ASSERT_NE(frame, nullptr) << d.kind << " at " << d.asked;
        EXPECT_EQ(frame->biBitCount, d.bits) << d.kind << " at " << d.asked;
        EXPECT_EQ(frame->biCompression, DWORD(BI_RGB));
    }
}

TEST(AviPlayer, FilesWithoutPlayableVideo) {
    AVI_PLAYER player;
    // Sound only: opened, but nothing to show.
    ASSERT_EQ(player.Open(TempMovie("sound.avi", "sound", 0, 0, 0).c_str(), 24), 1);
    EXPECT_FALSE(player.HasVideo());
    EXPECT_EQ(player.FrameCount(), 0u);
    EXPECT_EQ(player.GetFrameRate(), 0.0);
    EXPECT_EQ(player.GetFrame(0, false), nullptr);
    EXPECT_EQ(player.GetFrameSize().cx, 0);

    // A video stream without frames: opened, nothing to show.
    ASSERT_EQ(player.Open(TempMovie("empty.avi", "empty", 0, 25, 1).c_str(), 24), 1);
    EXPECT_EQ(player.FrameCount(), 0u);
    EXPECT_EQ(player.GetFrame(0, false), nullptr);
    EXPECT_EQ(player.GetFrameSize().cy, 0);

    // No file, and a file that is no AVI: not opened. Opening again and again
    // keeps AVIFile's initialisations balanced, so a good movie still opens.
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string noise = std::string(folder) + "noise.avi";
    HANDLE file = CreateFileA(noise.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    char bytes[4096];
    for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = char(i * 7919 >> 3);
    DWORD written = 0;
    WriteFile(file, bytes, sizeof bytes, &written, nullptr);
    CloseHandle(file);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(player.Open("C:\\no\\such\\movie.avi", 24), 0);
        EXPECT_EQ(player.Open(noise.c_str(), 24), 0);
        EXPECT_FALSE(player.HasVideo());
    }
    EXPECT_EQ(player.Open(TempMovie("after.avi", "rgb24", 3, 25, 1).c_str(), 24), 1);
    EXPECT_EQ(NumberShown(player.GetFrame(2, false)), 2);
}
