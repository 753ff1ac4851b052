// Times, under Wine, what a frame costs the saver where the native benchmarks
// cannot see it: the system's part of a movie frame and of a clock redraw.
//   frametimes movie FILE WIDTH HEIGHT FRAMES -> the mean time of each step of a
//       frame (fetch, copy and fade, present) played as the saver does with
//       "Fade" on into a WIDTH x HEIGHT window, as fast as it can
//   frametimes clock WIDTH HEIGHT COUNT -> "mean MS max MS": one clock redraw in
//       a window of that size, timed COUNT times
#include "engine/FrameSurface.h"
#include "engine/PresentDib.h"
#include "imaging/AviPlayer.h"
#include "imaging/KBitmap.h"
#include "text/DateTime.h"
#include "text/TextString.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

HWND MakeWindow(int width, int height) {
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(window);
    return window;
}

int Movie(const char* path, int width, int height, int frames) {
    AVI_PLAYER player;
    if (!player.Open(path, 24) || player.FrameCount() == 0)
        return 1;
    HWND window = MakeWindow(width, height);
    double fetch = 0, fade = 0, present = 0;
    KBitmap faded;
    FrameSurface surface = {};
    for (int n = 0; n < frames; ++n) {
        const double start = Seconds();
        BITMAPINFOHEADER* frame = player.GetFrame(n % int(player.FrameCount()), false);
        const double fetched = Seconds();
        // As the saver does: into a block kept from frame to frame.
        if (faded.BlockSize() != PackedDibSize(*frame))
            faded.LoadPackedDib(frame);
        else
            memcpy(faded.Header(), frame, faded.BlockSize());
        faded.FadeEdges(0, 0.25);
        const double ready = Seconds();
        if (!PresentEnlarged(window, surface, *faded.Header(), faded.Bits(), false, false))
            PresentDib(window, nullptr, faded.Header(), nullptr);
        GdiFlush();
        const double shown = Seconds();
        fetch += fetched - start, fade += ready - fetched, present += shown - ready;
    }
    printf("per frame: fetch %.2f ms, copy and fade %.2f ms, present %.2f ms, total %.2f ms\n", 1000 * fetch / frames,
           1000 * fade / frames, 1000 * present / frames, 1000 * (fetch + fade + present) / frames);
    ReleaseFrameSurface(surface);
    DestroyWindow(window);
    return 0;
}

int Clock(int width, int height, int count) {
    HWND window = MakeWindow(width, height);
    TextString text;
    double total = 0, longest = 0;
    for (int i = 0; i < count; ++i) {
        // What one clock tick does once its second has changed.
        const double start = Seconds();
        const time_t now = time(nullptr) + i;
        const struct tm* local = localtime(&now);
        const auto f = [](int field) { return static_cast<int16_t>(field); };
        DateTime record = {f(local->tm_year + 1900),
                           f(local->tm_mon + 1),
                           f(local->tm_mday),
                           f(local->tm_hour),
                           f(local->tm_min),
                           f(local->tm_sec),
                           0};
        AddTime(&record, unitSecond, 0);
        text.Assign(FormatDateTime(&record, nullptr, nullptr));
        text.DrawMarkupText(window, nullptr, nullptr, 0xFFFFFF, 0, "fill vctr hctr", nullptr);
        GdiFlush();
        const double ms = 1000 * (Seconds() - start);
        total += ms;
        longest = ms > longest ? ms : longest;
    }
    printf("mean %.2f max %.2f\n", total / count, longest);
    DestroyWindow(window);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && !strcmp(argv[1], "movie"))
        return Movie(argv[2], atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    if (argc == 5 && !strcmp(argv[1], "clock"))
        return Clock(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    return 2;
}
