#include "imaging/AviPlayer.h"

#include "imaging/MovieFrames.h"

#include <cstring>

AVI_PLAYER::AVI_PLAYER() {
    std::memset(&fileInfo, 0, sizeof fileInfo);
    std::memset(&videoInfo, 0, sizeof videoInfo);
    std::memset(&soundInfo, 0, sizeof soundInfo);
    std::memset(&soundFormat, 0, sizeof soundFormat);
    Reset();
}

AVI_PLAYER::~AVI_PLAYER() { Close(); }

// The information records and the sound format keep their bytes until the
// next open overwrites them.
void AVI_PLAYER::Reset() {
    currentFrame = nullptr;
    file = nullptr;
    videoStream = nullptr;
    frameDecoder = nullptr;
    currentFrameNumber = 0;
    soundStream = nullptr;
}

void AVI_PLAYER::Close() {
    if (frameDecoder)
        AVIStreamGetFrameClose(frameDecoder);
    if (videoStream)
        AVIStreamRelease(videoStream);
    if (soundStream)
        AVIStreamRelease(soundStream);
    if (file) {
        AVIFileRelease(file);
        AVIFileExit();
    }
    Reset();
}

int AVI_PLAYER::Open(const char* path, int32_t depth) {
    Close();
    AVIFileInit();
    if (AVIFileOpenA(&file, path, OF_READ, nullptr) != 0) {
        file = nullptr;
        Close();
        AVIFileExit();  // Close only balances the initialisation of an open file
        return 0;
    }
    AVIFileInfoA(file, &fileInfo, sizeof fileInfo);
    OpenVideo(depth);
    OpenSound();
    if (videoStream || soundStream)
        return 1;
    Close();
    return 0;
}

void AVI_PLAYER::OpenVideo(int32_t depth) {
    if (AVIFileGetStream(file, &videoStream, streamtypeVIDEO, 0) != 0) {
        videoStream = nullptr;
        return;
    }
    BITMAPINFOHEADER wanted = {};
    wanted.biSize = sizeof wanted;
    wanted.biWidth = static_cast<LONG>(fileInfo.dwWidth);
    wanted.biHeight = static_cast<LONG>(fileInfo.dwHeight);
    wanted.biPlanes = 1;
    wanted.biBitCount = static_cast<WORD>(depth == 15 ? 16 : depth);
    wanted.biCompression = BI_RGB;
    // 0 and 16: whatever suits the display best (16 bits come in several layouts).
    LPBITMAPINFOHEADER request =
        depth == 0 || depth == 16 ? reinterpret_cast<LPBITMAPINFOHEADER>(AVIGETFRAMEF_BESTDISPLAYFMT) : &wanted;
    frameDecoder = AVIStreamGetFrameOpen(videoStream, request);
    AVIStreamInfoA(videoStream, &videoInfo, sizeof videoInfo);
    if (frameDecoder && videoInfo.dwLength > 0 && (currentFrameNumber != 0 || !currentFrame)) {
        auto* frame = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(frameDecoder, 0));
        if (frame) {
            currentFrame = frame;
            currentFrameNumber = 0;
        }
    }
}

void AVI_PLAYER::OpenSound() {
    if (AVIFileGetStream(file, &soundStream, streamtypeAUDIO, 0) != 0) {
        soundStream = nullptr;
        return;
    }
    AVIStreamInfoA(soundStream, &soundInfo, sizeof soundInfo);
    LONG size = sizeof soundFormat;  // 18 bytes: the extra-size field included
    AVIStreamReadFormat(soundStream, 0, &soundFormat, &size);
}

uint32_t AVI_PLAYER::FrameCount() const { return videoStream ? videoInfo.dwLength : 0; }

double AVI_PLAYER::GetFrameRate() const {
    return videoStream ? MovieFrameRate(videoInfo.dwRate, videoInfo.dwScale) : 0.0;
}

BITMAPINFOHEADER* AVI_PLAYER::GetFrame(int32_t frameNumber, bool relative) {
    // 64 bits: a relative step from a large frame number must not wrap.
    const int64_t target = int64_t(frameNumber) + (relative ? currentFrameNumber : 0);
    if (!frameDecoder || target < 0 || target >= int64_t(FrameCount()))
        return nullptr;
    if (target == currentFrameNumber && currentFrame)
        return currentFrame;  // already decoded
    auto* frame = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(frameDecoder, LONG(target)));
    if (!frame)
        return nullptr;
    currentFrame = frame;
    currentFrameNumber = static_cast<int32_t>(target);
    return frame;
}

SIZE AVI_PLAYER::GetFrameSize() {
    if (!frameDecoder || currentFrameNumber < 0 || int64_t(currentFrameNumber) >= int64_t(FrameCount()))
        return SIZE{0, 0};
    if (!currentFrame) {
        currentFrame = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(frameDecoder, currentFrameNumber));
        if (!currentFrame)
            return SIZE{0, 0};
    }
    return SIZE{currentFrame->biWidth, currentFrame->biHeight};
}
