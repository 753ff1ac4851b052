// MEDIA_MOVIE: the movie source for what AVIFile cannot open (MP4, MOV, WMV),
// through Media Foundation's source reader, with the members AVI_PLAYER has.
// Frames are numbered at the stream's nominal rate from its first sample
// (which an MP4 with B-frames stamps 80 ms in, not at 0) and handed out as
// packed 24-bit DIBs the movie owns until the next fetch or close, cropped
// to the display aperture. Media Foundation is looked up when a movie is
// opened: where it is missing (before Windows 7) nothing opens. Windows only.
#pragma once

#include "imaging/VideoFrame.h"
#include "platform/ScopeOwners.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <memory>

struct IMFSourceReader;
struct IMFSample;

class MEDIA_MOVIE {
public:
    MEDIA_MOVIE() = default;
    ~MEDIA_MOVIE();  // closes
    MEDIA_MOVIE(const MEDIA_MOVIE&) = delete;
    MEDIA_MOVIE& operator=(const MEDIA_MOVIE&) = delete;

    // Closes, then opens path's first video stream and decodes its first
    // frame. 1 when that frame decoded, else 0 (closed). Frames are 24-bit
    // whatever `depth` asks.
    int Open(const char* path, int32_t depth);
    void Close();
    // As AVI_PLAYER's: null before the first frame, past the last, or when
    // decoding fails; the previous frame then stays current. The next frame
    // is read on; any other is sought.
    BITMAPINFOHEADER* GetFrame(int32_t frameNumber, bool relative);
    // The size the frames are shown at: the aperture, widened or narrowed by
    // the pixel aspect ratio. (0, 0) when closed.
    SIZE GetFrameSize();
    double GetFrameRate() const;
    uint32_t FrameCount() const;
    bool HasVideo() const { return reader != nullptr; }

private:
    // What a decoded sample holds and how it is shown.
    struct Format {
        VideoFrame frame;  // rows, stride and plane rows filled per sample
        int32_t width, height;
        int32_t defaultStride;     // bytes per row of the first plane; 0 when not known
        uint32_t aspectNumerator;  // pixel aspect ratio
        uint32_t aspectDenominator;
    };
    bool ReadFormat();
    bool StartLibraries();
    bool Seek(int32_t frameNumber);
    // Reads samples until one is frame `target` or later, and decodes that.
    bool ReadUntil(int32_t target);
    int32_t FrameOfTime(int64_t time) const;
    bool Decode(IMFSample* sample);

    LoadedLibrary platform, readers;  // mfplat.dll, mfreadwrite.dll
    bool comStarted = false, mediaStarted = false;
    IMFSourceReader* reader = nullptr;
    Format format = {};
    double rate = 0.0;      // nominal frames per second
    int64_t firstTime = 0;  // of the first sample, 100 ns units
    uint32_t frameCount = 0;
    int32_t readFrame = -1;                    // the frame of the sample read last; -1 before any or after a seek
    BITMAPINFOHEADER* currentFrame = nullptr;  // in `block`; null when none
    int32_t currentFrameNumber = 0;
    std::unique_ptr<uint8_t[]> block;
    uint64_t blockSize = 0;
};
