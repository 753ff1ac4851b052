// AVI_PLAYER: the movie source. Opens an AVI file through Video for Windows'
// AVIFile and hands out its video frames one at a time, by number, as packed
// DIBs (header, colour table and rows in one run of memory) that the frame
// decoder owns until the next fetch or close. The sound track only makes a
// sound-only file count as a movie; nothing plays it. Windows only.
#pragma once

#include "platform/WinTypes.h"

#include <vfw.h>

#include <cstdint>

class AVI_PLAYER {
public:
    AVI_PLAYER();
    ~AVI_PLAYER();  // closes
    AVI_PLAYER(const AVI_PLAYER&) = delete;
    AVI_PLAYER& operator=(const AVI_PLAYER&) = delete;

    // Closes, then opens path. depth is the bit count frames are asked for:
    // 24 or 32 as given, 15 as 16-bit 5-5-5; 0 and 16 let the decoder pick
    // the display's best format. Holds frame 0 afterwards when the video has
    // frames. 1 when the file has a video or a sound stream, else 0 (closed).
    int Open(const char* path, int32_t depth);
    // Releases everything; harmless on a closed player.
    void Close();
    // Frame frameNumber, counted from the current frame when relative. Null
    // before the first frame or past the last (no wrapping), without a
    // decoder, or when decoding fails; the previous frame then stays current.
    BITMAPINFOHEADER* GetFrame(int32_t frameNumber, bool relative);
    // Width and height of the current frame; (0, 0) when there is none.
    SIZE GetFrameSize();
    // Frames per second of the video stream; 0.0 without one.
    double GetFrameRate() const;
    // Frames in the video stream; 0 without one.
    uint32_t FrameCount() const;
    bool HasVideo() const { return videoStream != nullptr; }

private:
    void Reset();
    void OpenVideo(int32_t depth);
    void OpenSound();

    BITMAPINFOHEADER* currentFrame;  // owned by frameDecoder; null when none
    AVIFILEINFOA fileInfo;           // dwWidth, dwHeight size the requested frames
    PAVIFILE file;
    AVISTREAMINFOA videoInfo;  // dwRate / dwScale, dwLength
    PAVISTREAM videoStream;
    PGETFRAME frameDecoder;
    int32_t currentFrameNumber;
    AVISTREAMINFOA soundInfo;
    PAVISTREAM soundStream;
    WAVEFORMATEX soundFormat;
};
