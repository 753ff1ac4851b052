// The platform's picture decoders: the Windows Imaging Component for every
// picture format, and the installed video codecs for compressed DIBs.
#include "imaging/GlobalBlock.h"
#include "imaging/KBitmap.h"
#include "imaging/PictureFile.h"
#include "imaging/PictureSize.h"

#include <objbase.h>
#include <vfw.h>
#include <wincodec.h>

#include <cstdlib>
#include <cstring>

namespace {

struct FormatDepth {
    const GUID* format;
    int depth;
};

// Compared in this order; the first match decides.
const FormatDepth formatDepths[] = {
    {&GUID_WICPixelFormat1bppIndexed, 1}, {&GUID_WICPixelFormat2bppIndexed, 2},
    {&GUID_WICPixelFormat4bppIndexed, 4}, {&GUID_WICPixelFormat8bppIndexed, 8},
    {&GUID_WICPixelFormat24bppBGR, 24},   {&GUID_WICPixelFormat24bppRGB, 24},
    {&GUID_WICPixelFormat32bppBGR, 32},   {&GUID_WICPixelFormat32bppBGRA, 32},
    {&GUID_WICPixelFormat32bppRGBA, 32},
};

int DepthFor(const GUID& format, UINT paletteColours) {
    for (const FormatDepth& entry : formatDepths)
        if (IsEqualGUID(format, *entry.format))
            return entry.depth;
    switch (paletteColours) {
    case 2:
        return 1;
    case 16:
        return 4;
    case 256:
        return 8;
    default:
        return 24;
    }
}

template <typename T>
void Release(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

// Builds the block from a decoded frame; null when the sizes are absurd or
// the memory is not there.
BYTE* CopyFrame(IWICBitmapSource* frame, IWICBitmapSource* flipped, IWICPalette* palette) {
    WICPixelFormatGUID format = {};
    UINT width = 0, height = 0, colours = 0;
    frame->GetPixelFormat(&format);
    frame->GetSize(&width, &height);
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        return nullptr;
    palette->GetColorCount(&colours);
    if (colours > 256)
        colours = 256;

    int depth = DepthFor(format, colours);
    int64_t stride = RowStride64(width, depth);
    uint64_t pixelBytes = static_cast<uint64_t>(stride) * height;
    uint64_t size = sizeof(BITMAPINFOHEADER) + 4ull * colours + pixelBytes;
    if (stride <= 0 || size > KBitmap::kMaxBlockBytes)
        return nullptr;
    // Zeroed: some decoders fill only part of each row (grey, 48- and 64-bit,
    // CMYK), and the rest must look the same on every run.
    BYTE* block = static_cast<BYTE*>(std::calloc(1, size));
    if (!block)
        return nullptr;
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block);
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = static_cast<LONG>(width);
    header->biHeight = static_cast<LONG>(height);  // rows bottom first, as the flip delivers them
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(depth);
    header->biCompression = BI_RGB;
    header->biClrUsed = colours;

    BYTE* table = block + sizeof(BITMAPINFOHEADER);
    UINT delivered = 0;
    if (colours)
        palette->GetColors(colours, reinterpret_cast<WICColor*>(table), &delivered);
    // WICColor is 0xAARRGGBB, little-endian in memory: blue, green, red, alpha,
    // which is the RGBQUAD order with alpha in the reserved byte.
    BYTE* rows = table + 4ull * colours;
    WICRect whole = {0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    flipped->CopyPixels(&whole, static_cast<UINT>(stride), static_cast<UINT>(pixelBytes), rows);
    return block;
}

// Some decoders decode the whole picture as soon as the file is opened; a
// picture too large to hold is refused from its header before that, so the
// saver falls back to the banner at once instead of after many seconds.
bool DeclaresTooLargeAPicture(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    static BYTE head[256 * 1024];  // enough for the metadata that may precede a frame header
    DWORD read = 0;
    ReadFile(file, head, sizeof head, &read, nullptr);
    CloseHandle(file);
    PictureSize size;
    return ReadPictureSize(head, read, &size) && PictureTooLarge(size);
}

}  // namespace

BYTE* DecodePicture(const char* path) {
    if (!path || DeclaresTooLargeAPicture(path))
        return nullptr;
    wchar_t widePath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH))
        return nullptr;

    HRESULT initialised = CoInitialize(nullptr);
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICPalette* palette = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICBitmapFlipRotator* flipper = nullptr;
    BYTE* block = nullptr;

    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(widePath, nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(factory->CreatePalette(&palette)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&  // only the first frame of a multi-frame file
        SUCCEEDED(factory->CreateBitmapFlipRotator(&flipper))) {
        flipper->Initialize(frame, WICBitmapTransformFlipVertical);
        frame->CopyPalette(palette);
        block = CopyFrame(frame, flipper, palette);
    }

    Release(frame);
    Release(palette);
    Release(flipper);
    Release(decoder);
    Release(factory);
    if (SUCCEEDED(initialised))
        CoUninitialize();
    return block;
}

void* DecompressWithCodec(const KBitmap& bitmap) {
    const BITMAPINFOHEADER* header = bitmap.Header();
    if (!header || !bitmap.Bits())
        return nullptr;
    // The codec reads the colour table after the header it is given: it gets
    // the header with the bitmap's own table behind it. A table the file cut
    // short is completed with black, so the codec never reads past the block.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } input = {};
    input.header = *header;
    const size_t entries = bitmap.PaletteEntries() < 256 ? bitmap.PaletteEntries() : 256;
    std::memcpy(input.colours, header + 1, entries * sizeof(RGBQUAD));
    // The header tells the codec where the table ends and how long it is: it
    // must describe this structure, not the file's (a larger biSize or
    // biClrUsed would send the codec past its end).
    input.header.biSize = sizeof input.header;
    input.header.biClrUsed = static_cast<DWORD>(entries);
    HIC codec = ICLocate(ICTYPE_VIDEO, input.header.biCompression, &input.header, nullptr,
                         ICMODE_DECOMPRESS);
    if (!codec)
        return nullptr;
    HANDLE expanded = ICImageDecompress(codec, 0, reinterpret_cast<BITMAPINFO*>(&input),
                                        const_cast<BYTE*>(bitmap.Bits()), nullptr);
    ICClose(codec);
    if (!expanded)
        return nullptr;
    // The loader expects a fixed block whose handle is its address.
    void* locked = GlobalLock(expanded);
    SIZE_T size = GlobalSize(expanded);
    void* copy = size ? AllocGlobalBlock(size) : nullptr;
    if (copy && locked)
        std::memcpy(copy, locked, size);
    if (locked)
        GlobalUnlock(expanded);
    GlobalFree(expanded);
    return copy;
}
