// Movies for the movie tests, written with AVIFile's own writer.
//
// Kinds: rgb24 (bottom-up 24-bit), pal8 (8-bit with a palette), rgb16 (5-5-5),
// sound (a sound stream and no video), empty (a video stream with no frames).
// Frame n shows its number in its colour: red (n % 10) * 25, green
// (n / 10 % 10) * 25, blue 200, so a capture reads it back whatever the scale
// or depth; the top-left quarter is white, which shows which way up the
// frame is.
#pragma once

#include <windows.h>

#include <vfw.h>

#include <cstring>
#include <vector>


struct Rgb { BYTE r, g, b; };

inline Rgb FrameColour(int n) {
    return Rgb{BYTE(n % 10 * 25), BYTE(n / 10 % 10 * 25), 200};
}

inline bool InMarker(int x, int y, int width, int height) {
    return x < width / 4 && y < height / 4;
}

struct Format {
    BITMAPINFOHEADER header;
    RGBQUAD palette[256];
};

// The format and the rows of frame n. Rows are stored bottom-up.
inline Format MakeFormat(const char* kind, int width, int height) {
    Format format = {};
    BITMAPINFOHEADER& h = format.header;
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = !strcmp(kind, "pal8") ? 8 : !strcmp(kind, "rgb16") ? 16 : 24;
    h.biCompression = BI_RGB;
    const int stride = (width * h.biBitCount / 8 + 3) & ~3;
    h.biSizeImage = stride * height;
    if (h.biBitCount == 8) {
        h.biClrUsed = 256;
        for (int i = 0; i < 256; ++i) {  // entry n: the colour of frame n; 255 white
            Rgb c = i == 255 ? Rgb{255, 255, 255} : FrameColour(i);
            format.palette[i] = RGBQUAD{c.b, c.g, c.r, 0};
        }
    }
    return format;
}

inline std::vector<BYTE> MakeRows(const BITMAPINFOHEADER& h, int n) {
    const int width = h.biWidth, height = h.biHeight;
    const int stride = (width * h.biBitCount / 8 + 3) & ~3;
    std::vector<BYTE> rows(size_t(stride) * height);
    for (int y = 0; y < height; ++y) {
        BYTE* row = rows.data() + size_t(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const bool marker = InMarker(x, y, width, height);
            const Rgb c = marker ? Rgb{255, 255, 255} : FrameColour(n);
            if (h.biBitCount == 8) {
                row[x] = marker ? 255 : BYTE(n % 100);
            } else if (h.biBitCount == 16) {
                const WORD v = WORD((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3);
                row[2 * x] = BYTE(v), row[2 * x + 1] = BYTE(v >> 8);
            } else {
                row[3 * x] = c.b, row[3 * x + 1] = c.g, row[3 * x + 2] = c.r;
            }
        }
    }
    return rows;
}

inline bool WriteVideo(PAVIFILE file, const char* kind, int width, int height, int frames, DWORD rate,
                DWORD scale) {
    Format format = MakeFormat(kind, width, height);
    AVISTREAMINFOA info = {};
    info.fccType = streamtypeVIDEO;
    info.dwRate = rate;
    info.dwScale = scale;
    info.dwSuggestedBufferSize = format.header.biSizeImage;
    SetRect(&info.rcFrame, 0, 0, width, height);
    PAVISTREAM stream = nullptr;
    if (AVIFileCreateStreamA(file, &stream, &info) != 0)
        return false;
    const LONG formatSize = LONG(sizeof(BITMAPINFOHEADER) + 4 * format.header.biClrUsed);
    bool ok = AVIStreamSetFormat(stream, 0, &format, formatSize) == 0;
    for (int n = 0; ok && n < frames; ++n) {
        std::vector<BYTE> rows = MakeRows(format.header, n);
        ok = AVIStreamWrite(stream, n, 1, rows.data(), LONG(rows.size()), AVIIF_KEYFRAME,
                            nullptr, nullptr) == 0;
    }
    AVIStreamRelease(stream);
    return ok;
}

// One second of an 8 kHz, 8-bit mono tone.
inline bool WriteSound(PAVIFILE file) {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 8000;
    format.nAvgBytesPerSec = 8000;
    format.nBlockAlign = 1;
    format.wBitsPerSample = 8;
    AVISTREAMINFOA info = {};
    info.fccType = streamtypeAUDIO;
    info.dwScale = 1;
    info.dwRate = 8000;
    info.dwSampleSize = 1;
    info.dwSuggestedBufferSize = 8000;
    PAVISTREAM stream = nullptr;
    if (AVIFileCreateStreamA(file, &stream, &info) != 0)
        return false;
    std::vector<BYTE> samples(8000);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = BYTE(i % 20 < 10 ? 96 : 160);
    bool ok = AVIStreamSetFormat(stream, 0, &format, sizeof format) == 0 &&
              AVIStreamWrite(stream, 0, LONG(samples.size()), samples.data(), LONG(samples.size()),
                             AVIIF_KEYFRAME, nullptr, nullptr) == 0;
    AVIStreamRelease(stream);
    return ok;
}

// Writes a movie (see movietool.cpp for the kinds); true when written.
inline bool MakeMovie(const char* path, const char* kind, int width, int height, int frames,
                      DWORD rate, DWORD scale) {
    DeleteFileA(path);
    AVIFileInit();
    PAVIFILE file = nullptr;
    bool ok = AVIFileOpenA(&file, path, OF_CREATE | OF_WRITE, nullptr) == 0;
    if (ok) {
        if (!strcmp(kind, "sound"))
            ok = WriteSound(file);
        else
            ok = WriteVideo(file, kind, width, height, !strcmp(kind, "empty") ? 0 : frames, rate,
                            scale);
        AVIFileRelease(file);
    }
    AVIFileExit();
    return ok;
}
