// Measures texts the way the saver does, for the end-to-end text tests, and
// times the clock's redraw. TEXT is written as in the settings,
// with the escapes \n and \t.
//
//   textprobe fit WIDTH HEIGHT TEXT  -> "h right bottom nextRight nextBottom": the height
//                                       the saver's options choose in a WIDTH x HEIGHT
//                                       window, and the text's measured box at that
//                                       height and at one step (2) more
//   textprobe clocktime WIDTH HEIGHT COUNT -> "mean MS max MS": one clock redraw in a
//                                       window of that size, timed COUNT times
#include "text/DateTime.h"
#include "text/TextString.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

int Fit(int width, int height, const char* setting) {
    TextString text;
    text.Assign(setting);
    text.Replace("\\n", "\n", 1, 0);
    text.Replace("\\t", "\t", 1, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    RECT fitted = {0, 0, width, height}, next = fitted;
    const int chosen = text.DrawMarkupText(nullptr, dc, &fitted, 0xFFFFFF, 0,
                                           "fill vctr hctr calcrect", nullptr);
    char larger[32];
    snprintf(larger, sizeof larger, "%d hctr calcrect", chosen + 2);
    text.DrawMarkupText(nullptr, dc, &next, 0xFFFFFF, 0, larger, nullptr);
    printf("%d %ld %ld %ld %ld\n", chosen, fitted.right, fitted.bottom, next.right, next.bottom);
    DeleteDC(dc);
    return 0;
}

int ClockTime(int width, int height, int count) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    UpdateWindow(window);
    TextString text;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    double total = 0, longest = 0;
    for (int i = 0; i < count; ++i) {
        // What one clock tick does once its second has changed.
        QueryPerformanceCounter(&start);
        const time_t now = time(nullptr) + i;
        const struct tm* local = localtime(&now);
        const auto f = [](int field) { return static_cast<int16_t>(field); };
        DateTime record = {f(local->tm_year + 1900), f(local->tm_mon + 1), f(local->tm_mday),
                           f(local->tm_hour), f(local->tm_min), f(local->tm_sec), 0};
        AddTime(&record, unitSecond, 0);
        text.Assign(FormatDateTime(&record, nullptr, nullptr));
        text.DrawMarkupText(window, nullptr, nullptr, 0xFFFFFF, 0, "fill vctr hctr", nullptr);
        GdiFlush();
        QueryPerformanceCounter(&end);
        const double ms = 1000.0 * (end.QuadPart - start.QuadPart) / frequency.QuadPart;
        total += ms;
        longest = ms > longest ? ms : longest;
    }
    printf("mean %.2f max %.2f\n", total / count, longest);
    DestroyWindow(window);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && !strcmp(argv[1], "fit"))
        return Fit(atoi(argv[2]), atoi(argv[3]), argv[4]);
    if (argc == 5 && !strcmp(argv[1], "clocktime"))
        return ClockTime(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    return 2;
}
