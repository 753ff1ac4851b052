// The engine's movie: an AVI through AVIFile, as it always played, or what
// AVIFile cannot open through Media Foundation's source reader. Both hand
// out packed DIBs by frame number, with the same members. Windows only.
#pragma once

#include "imaging/AviPlayer.h"
#include "imaging/MediaMovie.h"

class MovieSource {
public:
    // 1 when either source opens path; AVIFile is asked first.
    int Open(const char* path, int32_t depth) {
        media.Close();
        usesMedia = false;
        if (avi.Open(path, depth))
            return 1;
        usesMedia = media.Open(path, depth) != 0;
        return usesMedia ? 1 : 0;
    }
    BITMAPINFOHEADER* GetFrame(int32_t frameNumber, bool relative) {
        return usesMedia ? media.GetFrame(frameNumber, relative) : avi.GetFrame(frameNumber, relative);
    }
    SIZE GetFrameSize() { return usesMedia ? media.GetFrameSize() : avi.GetFrameSize(); }
    double GetFrameRate() const { return usesMedia ? media.GetFrameRate() : avi.GetFrameRate(); }
    uint32_t FrameCount() const { return usesMedia ? media.FrameCount() : avi.FrameCount(); }
    bool HasVideo() const { return usesMedia ? media.HasVideo() : avi.HasVideo(); }

private:
    AVI_PLAYER avi;
    MEDIA_MOVIE media;
    bool usesMedia = false;
};
