// Movies for the movie tests, and a screen pixel sampler. Kept apart from the
// window probe, which the tests run hundreds of times: with AVIFile linked
// in, a probe once took over 30 s to end.
//   movietool make FILE KIND WIDTH HEIGHT FRAMES RATE SCALE  -> "made" or "failed"
//       (kinds in MovieWriter.h)
//   movietool watch X Y SECONDS  -> "MS RRGGBB" each time the pixel at (X, Y) changes
#include "MovieWriter.h"

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
            printf("%lu %02X%02X%02X\n", GetTickCount() - start, GetRValue(colour), GetGValue(colour),
                   GetBValue(colour));
            fflush(stdout);
            last = colour;
        }
        Sleep(2);
    }
    ReleaseDC(nullptr, screen);
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
    return 2;
}
