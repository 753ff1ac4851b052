// Movies for the movie tests, written with AVIFile's own writer.
//
// Kinds: rgb24 (bottom-up 24-bit frames), sound (a sound stream and no
// video), empty (a video stream with no frames). Frame n shows its number in
// its colour: red (n % 10) * 25, green (n / 10 % 10) * 25, blue 200; the
// top-left quarter is white, which shows which way up the frame is.
#pragma once

#include <windows.h>

#include <vfw.h>

#include <cstring>
#include <vector>

inline bool WriteStream(PAVIFILE file, AVISTREAMINFOA info, const void* format, LONG formatSize, int count,
                        const std::vector<BYTE>& (*data)(int, const void*)) {
    PAVISTREAM stream = nullptr;
    if (AVIFileCreateStreamA(file, &stream, &info) != 0)
        return false;
    bool ok = AVIStreamSetFormat(stream, 0, const_cast<void*>(format), formatSize) == 0;
    for (int n = 0; ok && n < count; ++n) {
        const std::vector<BYTE>& bytes = data(n, format);
        ok = AVIStreamWrite(stream, n, info.dwSampleSize ? LONG(bytes.size()) : 1, const_cast<BYTE*>(bytes.data()),
                            LONG(bytes.size()), AVIIF_KEYFRAME, nullptr, nullptr) == 0;
    }
    AVIStreamRelease(stream);
    return ok;
}

inline const std::vector<BYTE>& FrameRows(int n, const void* format) {
    const auto& h = *static_cast<const BITMAPINFOHEADER*>(format);
    const int stride = (h.biWidth * 3 + 3) & ~3;
    static std::vector<BYTE> rows;
    rows.assign(size_t(stride) * h.biHeight, 0);
    for (int y = 0; y < h.biHeight; ++y)  // row y from the top is stored last-but-y
        for (int x = 0; x < h.biWidth; ++x) {
            BYTE* p = rows.data() + size_t(h.biHeight - 1 - y) * stride + 3 * x;
            const bool marker = x < h.biWidth / 4 && y < h.biHeight / 4;
            p[0] = marker ? 255 : 200;
            p[1] = marker ? 255 : BYTE(n / 10 % 10 * 25);
            p[2] = marker ? 255 : BYTE(n % 10 * 25);
        }
    return rows;
}

inline const std::vector<BYTE>& Silence(int, const void*) {  // one second at 8 kHz
    static const std::vector<BYTE> samples(8000, 128);
    return samples;
}

// Writes a movie of one of the kinds above; true when written.
inline bool MakeMovie(const char* path, const char* kind, int width, int height, int frames, DWORD rate, DWORD scale) {
    DeleteFileA(path);
    AVIFileInit();
    PAVIFILE file = nullptr;
    bool ok = AVIFileOpenA(&file, path, OF_CREATE | OF_WRITE, nullptr) == 0;
    if (ok) {
        AVISTREAMINFOA info = {};
        if (!strcmp(kind, "sound")) {
            const WAVEFORMATEX wave = {WAVE_FORMAT_PCM, 1, 8000, 8000, 1, 8, 0};
            info.fccType = streamtypeAUDIO;
            info.dwScale = info.dwSampleSize = 1;
            info.dwRate = info.dwSuggestedBufferSize = 8000;
            ok = WriteStream(file, info, &wave, sizeof wave, 1, Silence);
        } else {
            BITMAPINFOHEADER h = {sizeof h, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
            h.biSizeImage = DWORD((width * 3 + 3) & ~3) * height;
            info.fccType = streamtypeVIDEO;
            info.dwRate = rate;
            info.dwScale = scale;
            info.dwSuggestedBufferSize = h.biSizeImage;
            SetRect(&info.rcFrame, 0, 0, width, height);
            ok = WriteStream(file, info, &h, sizeof h, !strcmp(kind, "empty") ? 0 : frames, FrameRows);
        }
        AVIFileRelease(file);
    }
    AVIFileExit();
    return ok;
}
