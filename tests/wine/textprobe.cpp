// Measures and draws texts the way the saver does, for the end-to-end text
// tests, and times the clock's redraw. TEXT is written as in the settings,
// with the escapes \n and \t.
//
//   textprobe fit WIDTH HEIGHT TEXT  -> "h right bottom nextRight nextBottom": the height
//                                       the saver's options choose in a WIDTH x HEIGHT
//                                       window, and the text's measured box at that
//                                       height and at one step (2) more
//   textprobe ink WIDTH HEIGHT TEXT  -> "left top right bottom" (inclusive) of the pixels
//                                       the saver's drawing lights in a black
//                                       WIDTH x HEIGHT area, or "none"
//   textprobe clocktime WIDTH HEIGHT COUNT -> "mean MS max MS": one clock redraw in a
//                                       window of that size, timed COUNT times
#include "text/DateTime.h"
#include "text/TextString.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

const char saverOptions[] = "fill vctr hctr";

void Prepare(TextString& text, const char* setting) {
    text.Assign(setting);
    text.Replace("\\n", "\n", 1, 0);
    text.Replace("\\t", "\t", 1, 0);
}

int Fit(int width, int height, const char* setting) {
    TextString text;
    Prepare(text, setting);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    RECT fitted = {0, 0, width, height};
    const int chosen = text.DrawMarkupText(nullptr, dc, &fitted, 0xFFFFFF, 0,
                                           "fill vctr hctr calcrect", nullptr);
    char larger[32];
    snprintf(larger, sizeof larger, "%d hctr calcrect", chosen + 2);
    RECT next = {0, 0, width, height};
    text.DrawMarkupText(nullptr, dc, &next, 0xFFFFFF, 0, larger, nullptr);
    printf("%d %ld %ld %ld %ld\n", chosen, fitted.right, fitted.bottom, next.right, next.bottom);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return 0;
}

int Ink(int width, int height, const char* setting) {
    TextString text;
    Prepare(text, setting);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT area = {0, 0, width, height};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    // The saver draws into its window's client area, which is the area here.
    text.DrawMarkupText(nullptr, dc, &area, 0xFFFFFF, 0, saverOptions, nullptr);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    long left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (pixels[y * width + x] & 0xFFFFFF) {
                left = x < left ? x : left;
                right = x > right ? x : right;
                top = y < top ? y : top;
                bottom = y;
            }
    if (right < 0)
        printf("none\n");
    else
        printf("%ld %ld %ld %ld\n", left, top, right, bottom);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return 0;
}

int ClockTime(int width, int height, int count) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "ClockTime";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "ClockTime", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
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
        DateTime record = {static_cast<int16_t>(local->tm_year + 1900),
                           static_cast<int16_t>(local->tm_mon + 1),
                           static_cast<int16_t>(local->tm_mday),
                           static_cast<int16_t>(local->tm_hour),
                           static_cast<int16_t>(local->tm_min),
                           static_cast<int16_t>(local->tm_sec), 0};
        AddTime(&record, unitSecond, 0);
        text.Assign(FormatDateTime(&record, nullptr, nullptr));
        text.DrawMarkupText(window, nullptr, nullptr, 0xFFFFFF, 0, saverOptions, nullptr);
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
    if (argc == 5 && !strcmp(argv[1], "ink"))
        return Ink(atoi(argv[2]), atoi(argv[3]), argv[4]);
    if (argc == 5 && !strcmp(argv[1], "clocktime"))
        return ClockTime(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    return 2;
}
