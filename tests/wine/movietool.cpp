// Movies for the movie tests, written with AVIFile's own writer, and a screen
// pixel sampler. Kept apart from the window probe, which the tests run
// hundreds of times: with AVIFile linked in, a probe once took over 30 s to end.
//   movietool make FILE KIND WIDTH HEIGHT FRAMES RATE SCALE  -> "made" or "failed"
//       kinds: rgb24 (bottom-up 24-bit frames), sound (a sound stream and no
//       video), empty (a video stream with no frames). Frame n shows its number
//       in its colour: red (n % 10) * 25, green (n / 10 % 10) * 25, blue 200; the
//       top-left quarter is white, which shows which way up the frame is.
//   movietool watch X Y SECONDS  -> "MS RRGGBB" each time the pixel at (X, Y) changes
#include <windows.h>

#include <vfw.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void PaintFrame(std::vector<BYTE>& rows, int width, int height, int n) {
    const int stride = (width * 3 + 3) & ~3;
    for (int y = 0; y < height; ++y)  // row y from the top is stored last-but-y
        for (int x = 0; x < width; ++x) {
            BYTE* p = rows.data() + size_t(height - 1 - y) * stride + 3 * x;
            const bool marker = x < width / 4 && y < height / 4;
            p[0] = marker ? 255 : 200;
            p[1] = marker ? 255 : BYTE(n / 10 % 10 * 25);
            p[2] = marker ? 255 : BYTE(n % 10 * 25);
        }
}

bool MakeMovie(const char* path, const char* kind, int width, int height, int frames, DWORD rate, DWORD scale) {
    const bool sound = !strcmp(kind, "sound");
    WAVEFORMATEX wave = {WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};  // one second at 8 kHz, silent
    BITMAPINFOHEADER frame = {
        sizeof frame, width, height, 1, 24, BI_RGB, DWORD((width * 3 + 3) & ~3) * height, 0, 0, 0, 0};
    AVISTREAMINFOA info = {};
    info.fccType = sound ? streamtypeAUDIO : streamtypeVIDEO;
    info.dwRate = sound ? 8000 : rate;
    info.dwScale = sound ? 1 : scale;
    info.dwSampleSize = sound ? 1 : 0;
    info.dwSuggestedBufferSize = sound ? 8000 : frame.biSizeImage;
    if (!sound)
        SetRect(&info.rcFrame, 0, 0, width, height);
    std::vector<BYTE> bytes(sound ? 8000 : frame.biSizeImage, sound ? 128 : 0);
    const int count = sound ? 1 : !strcmp(kind, "empty") ? 0 : frames;

    DeleteFileA(path);
    AVIFileInit();
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    bool ok = AVIFileOpenA(&file, path, OF_CREATE | OF_WRITE, nullptr) == 0 &&
              AVIFileCreateStreamA(file, &stream, &info) == 0 &&
              AVIStreamSetFormat(stream, 0, sound ? static_cast<void*>(&wave) : &frame,
                                 sound ? sizeof wave : sizeof frame) == 0;
    for (int n = 0; ok && n < count; ++n) {
        if (!sound)
            PaintFrame(bytes, width, height, n);
        ok = AVIStreamWrite(stream, n, sound ? LONG(bytes.size()) : 1, bytes.data(), LONG(bytes.size()), AVIIF_KEYFRAME,
                            nullptr, nullptr) == 0;
    }
    if (stream)
        AVIStreamRelease(stream);
    if (file)
        AVIFileRelease(file);
    AVIFileExit();
    return ok;
}

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
