// Movies for the movie tests, a screen pixel sampler, and a timing of frames.
//   movietool make FILE KIND WIDTH HEIGHT FRAMES RATE SCALE  -> "made" or "failed"
//       (kinds in MovieWriter.h)
//   movietool watch X Y SECONDS  -> "MS RRGGBB" each time the pixel at (X, Y) changes
//   movietool cost FILE WIDTH HEIGHT FRAMES  -> the mean time of each step of a
//       frame (fetch, copy and fade, present) played as the saver does with
//       "Fade" on into a WIDTH x HEIGHT window, as fast as it can
#include "MovieWriter.h"

#include "engine/FrameSurface.h"
#include "engine/PresentDib.h"
#include "imaging/AviPlayer.h"
#include "imaging/KBitmap.h"

#include <cstdio>
#include <cstdlib>

namespace {

int Watch(int x, int y, double seconds) {
    HDC screen = GetDC(nullptr);
    const DWORD start = GetTickCount();
    COLORREF last = CLR_INVALID;
    while (GetTickCount() - start < seconds * 1000) {
        const COLORREF colour = GetPixel(screen, x, y);
        if (colour != last) {
            printf("%lu %02X%02X%02X\n", GetTickCount() - start, GetRValue(colour),
                   GetGValue(colour), GetBValue(colour));
            fflush(stdout);
            last = colour;
        }
        Sleep(2);
    }
    ReleaseDC(nullptr, screen);
    return 0;
}

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

int Cost(const char* path, int width, int height, int frames) {
    AVI_PLAYER player;
    if (!player.Open(path, 24) || player.FrameCount() == 0)
        return 1;
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                  height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
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
    printf("per frame: fetch %.2f ms, copy and fade %.2f ms, present %.2f ms, total %.2f ms\n",
           1000 * fetch / frames, 1000 * fade / frames, 1000 * present / frames,
           1000 * (fetch + fade + present) / frames);
    ReleaseFrameSurface(surface);
    DestroyWindow(window);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 9 && !strcmp(argv[1], "make")) {
        const bool made = MakeMovie(argv[2], argv[3], atoi(argv[4]), atoi(argv[5]), atoi(argv[6]),
                                    strtoul(argv[7], nullptr, 10), strtoul(argv[8], nullptr, 10));
        printf("%s\n", made ? "made" : "failed");
        return made ? 0 : 1;
    }
    if (argc == 5 && !strcmp(argv[1], "watch"))
        return Watch(atoi(argv[2]), atoi(argv[3]), atof(argv[4]));
    if (argc == 6 && !strcmp(argv[1], "cost"))
        return Cost(argv[2], atoi(argv[3]), atoi(argv[4]), atoi(argv[5]));
    return 2;
}
