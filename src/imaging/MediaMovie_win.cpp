// Media Foundation's headers declare the source reader for Windows 7 on; the
// functions themselves are looked up at run time, so the saver still loads
// on the systems that lack them.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0601
#define WINVER 0x0601

#include "imaging/MediaMovie.h"

#include "imaging/MovieFrames.h"
#include "imaging/PictureSignature.h"
#include "platform/ScopeOwners.h"
#include "platform/SystemFunction.h"

// The GUIDs these headers name are defined here: the import libraries that
// hold them are not linked.
#include <initguid.h>
#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <cstring>
#include <new>

namespace {

using StartupFunction = HRESULT(WINAPI*)(ULONG, DWORD);
using ShutdownFunction = HRESULT(WINAPI*)();
using CreateAttributesFunction = HRESULT(WINAPI*)(IMFAttributes**, UINT32);
using CreateMediaTypeFunction = HRESULT(WINAPI*)(IMFMediaType**);
using CreateReaderFunction = HRESULT(WINAPI*)(LPCWSTR, IMFAttributes*, IMFSourceReader**);

// A COM reference, released at the end of the scope.
template <typename Interface>
struct Reference {
    Interface* p = nullptr;
    Reference() = default;
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;
    ~Reference() {
        if (p)
            p->Release();
    }
    Interface* operator->() const { return p; }
    Interface** Out() { return &p; }
};

// Windows 7 on; looked up once loaded.
const char platformName[] = "mfplat.dll";
const char readersName[] = "mfreadwrite.dll";
constexpr DWORD videoStream = DWORD(MF_SOURCE_READER_FIRST_VIDEO_STREAM);
constexpr double timeUnits = 1e7;  // sample times are in 100 ns units
// Frames larger than this are not shown: at most 16384 pixels a side, and
// 256 MB of 24-bit rows (an 8K frame takes 100 MB).
constexpr int32_t largestSide = 16384;
constexpr uint64_t largestBlock = uint64_t(256) << 20;
// Samples read for one frame at most: a seek lands on the key frame before
// the frame wanted, and a damaged file must not hold the frame step for ever.
constexpr int maximumReads = 600;

// The layouts asked of the decoder, the best first: 32-bit pixels are what
// Windows' video processing gives; Wine gives the decoder's own planes.
struct Offered {
    const GUID* subtype;
    VideoLayout layout;
};
const Offered offered[] = {{&MFVideoFormat_RGB32, VideoLayout::bgrx},
                           {&MFVideoFormat_NV12, VideoLayout::nv12},
                           {&MFVideoFormat_I420, VideoLayout::i420},
                           {&MFVideoFormat_IYUV, VideoLayout::i420},
                           {&MFVideoFormat_YUY2, VideoLayout::yuy2}};

void SplitPair(UINT64 pair, uint32_t* high, uint32_t* low) {
    *high = uint32_t(pair >> 32);
    *low = uint32_t(pair);
}

}  // namespace

MEDIA_MOVIE::~MEDIA_MOVIE() { Close(); }

void MEDIA_MOVIE::Close() {
    if (reader)
        reader->Release();
    reader = nullptr;
    if (mediaStarted)
        SystemFunction<ShutdownFunction>(platformName, "MFShutdown")();
    mediaStarted = false;
    if (comStarted)
        CoUninitialize();
    comStarted = false;
    readers.Reset();
    platform.Reset();
    format = Format{};
    rate = 0.0;
    firstTime = 0;
    frameCount = 0;
    readFrame = -1;
    currentFrame = nullptr;
    currentFrameNumber = 0;
}

bool MEDIA_MOVIE::StartLibraries() {
    platform.Reset(LoadLibraryA(platformName));
    readers.Reset(LoadLibraryA(readersName));
    const auto startup = SystemFunction<StartupFunction>(platformName, "MFStartup");
    if (!startup || !SystemFunction<ShutdownFunction>(platformName, "MFShutdown") ||
        !SystemFunction<CreateReaderFunction>(readersName, "MFCreateSourceReaderFromURL"))
        return false;
    comStarted = SUCCEEDED(CoInitialize(nullptr));
    mediaStarted = SUCCEEDED(startup(MF_VERSION, MFSTARTUP_LITE));
    return mediaStarted;
}

// A file named as a picture is, or that starts as one does: the picture
// loader's, not a movie.
static bool HoldsPicture(const char* path) {
    if (PictureExtension(path))
        return true;
    const KernelHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    uint8_t head[pictureSignatureSize] = {};
    DWORD read = 0;
    return file && ReadFile(file.Get(), head, sizeof head, &read, nullptr) && PictureSignature(head, read);
}

int MEDIA_MOVIE::Open(const char* path, int32_t /*depth*/) {
    Close();
    if (HoldsPicture(path) || !StartLibraries()) {
        Close();
        return 0;
    }
    const auto createAttributes = SystemFunction<CreateAttributesFunction>(platformName, "MFCreateAttributes");
    const auto createReader = SystemFunction<CreateReaderFunction>(readersName, "MFCreateSourceReaderFromURL");
    Reference<IMFAttributes> attributes;
    // The reader converts to 32-bit pixels itself where it can.
    if (createAttributes && SUCCEEDED(createAttributes(attributes.Out(), 1)))
        attributes->SetUINT32(MF_SOURCE_READER_ENABLE_VIDEO_PROCESSING, TRUE);
    wchar_t widePath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) ||
        FAILED(createReader(widePath, attributes.p, &reader))) {
        reader = nullptr;
        Close();
        return 0;
    }
    reader->SetStreamSelection(DWORD(MF_SOURCE_READER_ALL_STREAMS), FALSE);
    PROPVARIANT duration;
    PropVariantInit(&duration);
    if (FAILED(reader->SetStreamSelection(videoStream, TRUE)) || !ReadFormat() ||
        FAILED(reader->GetPresentationAttribute(DWORD(MF_SOURCE_READER_MEDIASOURCE), MF_PD_DURATION, &duration)) ||
        duration.vt != VT_UI8 || !ReadUntil(0)) {
        Close();
        return 0;
    }
    // The frames of the stream's duration at the nominal rate; a stream too
    // short for one still shows its first. The first sample's own time is
    // not taken off: an MP4 with B-frames stamps it 80 ms in and still ends
    // at its duration under Wine, which leaves its edit list aside.
    const double frames = double(duration.uhVal.QuadPart) * rate / timeUnits + 0.5;
    frameCount = frames >= 1 ? frames < double(INT32_MAX) ? uint32_t(frames) : uint32_t(INT32_MAX) : 1;
    return 1;
}

// The decoder's output: 32-bit pixels where the reader converts, else the
// first planar or packed layout the decoder offers; its size, aperture,
// pixel shape, colour matrix, range and rate.
bool MEDIA_MOVIE::ReadFormat() {
    const auto createType = SystemFunction<CreateMediaTypeFunction>(platformName, "MFCreateMediaType");
    for (const Offered& offer : offered) {
        Reference<IMFMediaType> wanted;
        if (!createType || FAILED(createType(wanted.Out())))
            break;
        wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video);
        wanted->SetGUID(MF_MT_SUBTYPE, *offer.subtype);
        if (SUCCEEDED(reader->SetCurrentMediaType(videoStream, nullptr, wanted.p)))
            break;
    }
    Reference<IMFMediaType> type;
    GUID subtype = {};
    if (FAILED(reader->GetCurrentMediaType(videoStream, type.Out())) || FAILED(type->GetGUID(MF_MT_SUBTYPE, &subtype)))
        return false;
    Format f = {};
    const Offered* match = nullptr;
    for (const Offered& offer : offered)
        if (IsEqualGUID(subtype, *offer.subtype))
            match = &offer;
    UINT64 pair = 0;
    if (!match || FAILED(type->GetUINT64(MF_MT_FRAME_SIZE, &pair)))
        return false;
    f.frame.layout = match->layout;
    uint32_t width = 0, height = 0;
    SplitPair(pair, &width, &height);
    if (width == 0 || height == 0 || width > uint32_t(largestSide) || height > uint32_t(largestSide))
        return false;
    f.width = int32_t(width);
    f.height = int32_t(height);
    f.frame.width = f.width;
    f.frame.height = f.height;
    // The picture inside the decoder's padding: the display aperture, else
    // the geometric one.
    MFVideoArea area = {};
    UINT32 areaSize = 0;
    if (SUCCEEDED(
            type->GetBlob(MF_MT_MINIMUM_DISPLAY_APERTURE, reinterpret_cast<UINT8*>(&area), sizeof area, &areaSize)) ||
        SUCCEEDED(type->GetBlob(MF_MT_GEOMETRIC_APERTURE, reinterpret_cast<UINT8*>(&area), sizeof area, &areaSize))) {
        if (areaSize == sizeof area && area.OffsetX.value >= 0 && area.OffsetY.value >= 0 && area.Area.cx > 0 &&
            area.Area.cy > 0 && area.OffsetX.value + area.Area.cx <= f.width &&
            area.OffsetY.value + area.Area.cy <= f.height) {
            f.frame.left = area.OffsetX.value;
            f.frame.top = area.OffsetY.value;
            f.frame.width = area.Area.cx;
            f.frame.height = area.Area.cy;
        }
    }
    UINT32 value = 0;
    f.defaultStride = SUCCEEDED(type->GetUINT32(MF_MT_DEFAULT_STRIDE, &value)) ? int32_t(value) : 0;
    // Standard definition uses BT.601 and HD BT.709 when the stream does not say.
    if (SUCCEEDED(type->GetUINT32(MF_MT_YUV_MATRIX, &value)) && value != MFVideoTransferMatrix_Unknown)
        f.frame.matrix = value == MFVideoTransferMatrix_BT709 ? YuvMatrix::bt709 : YuvMatrix::bt601;
    else
        f.frame.matrix = f.frame.height >= 720 ? YuvMatrix::bt709 : YuvMatrix::bt601;
    f.frame.range = SUCCEEDED(type->GetUINT32(MF_MT_VIDEO_NOMINAL_RANGE, &value)) && value == MFNominalRange_0_255
                        ? YuvRange::full
                        : YuvRange::studio;
    f.aspectNumerator = f.aspectDenominator = 1;
    if (SUCCEEDED(type->GetUINT64(MF_MT_PIXEL_ASPECT_RATIO, &pair))) {
        SplitPair(pair, &f.aspectNumerator, &f.aspectDenominator);
        if (f.aspectNumerator == 0 || f.aspectDenominator == 0)
            f.aspectNumerator = f.aspectDenominator = 1;
    }
    // The converted type may leave the rate out; the stream's own has it.
    uint32_t numerator = 0, denominator = 0;
    Reference<IMFMediaType> native;
    if (SUCCEEDED(type->GetUINT64(MF_MT_FRAME_RATE, &pair)) ||
        (SUCCEEDED(reader->GetNativeMediaType(videoStream, 0, native.Out())) &&
         SUCCEEDED(native->GetUINT64(MF_MT_FRAME_RATE, &pair))))
        SplitPair(pair, &numerator, &denominator);
    rate = MovieFrameRate(numerator, denominator);
    format = f;
    return rate > 0;
}

int32_t MEDIA_MOVIE::FrameOfTime(int64_t time) const {
    const double frame = double(time - firstTime) * rate / timeUnits + 0.5;
    return frame < 0 ? 0 : frame > double(INT32_MAX) ? INT32_MAX : int32_t(frame);
}

// Seeks to a position no later than the frame's. Wine, which leaves an MP4's
// edit list aside, counts positions from its first sample: a seek to 0
// gives the first sample, stamped 80 ms in, and a seek to that stamp gives a
// sample 80 ms later again. Windows counts them from the start of the
// edited stream, where the first sample lies at 0. Seeking to the frame's
// time from the first sample's is right for both, or early, and the frames
// before the one wanted are read through.
bool MEDIA_MOVIE::Seek(int32_t frameNumber) {
    PROPVARIANT position;
    PropVariantInit(&position);
    position.vt = VT_I8;
    position.hVal.QuadPart = int64_t(double(frameNumber) * timeUnits / rate);
    readFrame = -1;
    return SUCCEEDED(reader->SetCurrentPosition(GUID_NULL, position));
}

bool MEDIA_MOVIE::ReadUntil(int32_t target) {
    for (int reads = 0; reads < maximumReads; ++reads) {
        DWORD flags = 0;
        LONGLONG time = 0;
        Reference<IMFSample> sample;
        if (FAILED(reader->ReadSample(videoStream, 0, nullptr, &flags, &time, sample.Out())) ||
            (flags & (MF_SOURCE_READERF_ENDOFSTREAM | MF_SOURCE_READERF_ERROR)))
            return false;
        if ((flags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED) && !ReadFormat())
            return false;
        if (!sample.p)
            continue;  // a gap in the stream
        if (!currentFrame && readFrame < 0 && target == 0)
            firstTime = time;  // the first sample after opening numbers the frames
        readFrame = FrameOfTime(time);
        if (readFrame >= target)
            return Decode(sample.p);
    }
    return false;
}

namespace {

// A sample's buffer locked for reading: through IMF2DBuffer where the buffer
// offers it, which gives the decoder's own pitch (negative for bottom-up
// rows), else as one run of bytes.
struct LockedSample {
    Reference<IMFMediaBuffer> buffer;
    Reference<IMF2DBuffer> planes;
    BYTE* data = nullptr;
    LONG pitch = 0;  // 0 when the buffer gave none
    DWORD length = 0;
    bool locked = false;

    explicit LockedSample(IMFSample* sample) {
        if (FAILED(sample->ConvertToContiguousBuffer(buffer.Out())))
            return;
        buffer->GetCurrentLength(&length);
        if (SUCCEEDED(buffer->QueryInterface(IID_IMF2DBuffer, reinterpret_cast<void**>(planes.Out()))) &&
            SUCCEEDED(planes->Lock2D(&data, &pitch))) {
            locked = true;
            return;
        }
        DWORD capacity = 0;
        pitch = 0;
        locked = SUCCEEDED(buffer->Lock(&data, &capacity, &length));
    }
    LockedSample(const LockedSample&) = delete;
    LockedSample& operator=(const LockedSample&) = delete;
    ~LockedSample() {
        if (locked && pitch != 0)
            planes->Unlock2D();
        else if (locked)
            buffer->Unlock();
    }
};

}  // namespace

bool MEDIA_MOVIE::Decode(IMFSample* sample) {
    LockedSample locked(sample);
    if (!locked.locked)
        return false;
    VideoFrame frame = format.frame;
    const LONG pitch = locked.pitch ? locked.pitch : format.defaultStride;
    // Bottom-up rows are read from their last row in memory, which is the
    // bottom row shown.
    const bool bottomUp = pitch < 0;
    if (!PlaceVideoRows(frame.layout, pitch < 0 ? -pitch : pitch, format.width, format.height, locked.length, &frame))
        return false;
    BYTE* data = locked.data;
    if (bottomUp) {
        data -= ptrdiff_t(frame.stride) * (frame.planeRows - 1);
        frame.top = frame.planeRows - frame.top - frame.height;
    }
    frame.rows = data;
    const uint64_t reached = VideoFrameBytes(frame);
    // A pitch from Lock2D may reach past the length the buffer reports for
    // its contiguous form: those rows are the decoder's own.
    if (reached == 0 || (reached > locked.length && locked.pitch == 0))
        return false;

    const uint64_t dibRow = (uint64_t(frame.width) * 3 + 3) & ~uint64_t(3);
    const uint64_t size = sizeof(BITMAPINFOHEADER) + dibRow * uint64_t(frame.height);
    if (size > largestBlock)
        return false;
    if (size != blockSize) {
        // The frame held stays whole until a new block is there.
        std::unique_ptr<uint8_t[]> fresh(new (std::nothrow) uint8_t[size]);
        if (!fresh)
            return false;
        block = std::move(fresh);
        blockSize = size;
    }
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block.get());
    std::memset(header, 0, sizeof *header);
    header->biSize = sizeof *header;
    header->biWidth = frame.width;
    header->biHeight = frame.height;  // bottom-up
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biSizeImage = DWORD(dibRow * frame.height);
    uint8_t* rows = block.get() + sizeof *header;
    if (bottomUp)
        ConvertVideoFrame(frame, rows, ptrdiff_t(dibRow));
    else
        ConvertVideoFrame(frame, rows + ptrdiff_t(dibRow) * (frame.height - 1), -ptrdiff_t(dibRow));
    currentFrame = header;
    return true;
}

BITMAPINFOHEADER* MEDIA_MOVIE::GetFrame(int32_t frameNumber, bool relative) {
    const int64_t target = int64_t(frameNumber) + (relative ? currentFrameNumber : 0);
    if (!reader || target < 0 || target >= int64_t(frameCount))
        return nullptr;
    if (target == currentFrameNumber && currentFrame)
        return currentFrame;
    // The next frame is read on; any other (the first after the last, a
    // resumed position) is sought first.
    if ((readFrame < 0 || target <= readFrame || target > readFrame + 1) && !Seek(int32_t(target)))
        return nullptr;
    if (!ReadUntil(int32_t(target))) {
        // Nothing more to read: the frame held stays current, and the next
        // fetch seeks.
        readFrame = -1;
        return nullptr;
    }
    currentFrameNumber = int32_t(target);
    return currentFrame;
}

SIZE MEDIA_MOVIE::GetFrameSize() {
    if (!reader || !currentFrame)
        return SIZE{0, 0};
    const double width = double(format.frame.width) * format.aspectNumerator / format.aspectDenominator + 0.5;
    return SIZE{width >= 1 && width <= largestSide ? LONG(width) : format.frame.width, format.frame.height};
}

double MEDIA_MOVIE::GetFrameRate() const { return reader ? rate : 0.0; }

uint32_t MEDIA_MOVIE::FrameCount() const { return reader ? frameCount : 0; }
