// The platform's picture decoders: the Windows Imaging Component for every
// picture format, and the installed video codecs for compressed DIBs.
#include "imaging/GlobalBlock.h"
#include "imaging/KBitmap.h"
#include "imaging/PictureFile.h"
#include "imaging/PictureSize.h"
#include "platform/ScopeOwners.h"

#include <objbase.h>
#include <vfw.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

struct FormatDepth {
    const GUID* format;
    int depth;
};

// The formats whose rows are a DIB's rows as they come. Red-first formats
// (24bppRGB, 32bppRGBA) would show red and blue swapped, and GDI draws
// nothing from a 2-bit DIB: those go through the converter with the rest.
const FormatDepth formatDepths[] = {
    {&GUID_WICPixelFormat1bppIndexed, 1}, {&GUID_WICPixelFormat4bppIndexed, 4}, {&GUID_WICPixelFormat8bppIndexed, 8},
    {&GUID_WICPixelFormat24bppBGR, 24},   {&GUID_WICPixelFormat32bppBGR, 32},   {&GUID_WICPixelFormat32bppBGRA, 32},
};

// The depth of a format stored in its own layout; 0 for every other format,
// which is converted.
int TableDepth(const GUID& format) {
    for (const FormatDepth& entry : formatDepths)
        if (IsEqualGUID(format, *entry.format))
            return entry.depth;
    return 0;
}

// The decoder's own scaled decoding (Windows' JPEG decoder decodes at 1/2,
// 1/4 or 1/8 of the size without holding the whole picture). Not in every
// SDK's headers.
struct IWICBitmapSourceTransform : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* area, UINT width, UINT height,
                                                 WICPixelFormatGUID* format, WICBitmapTransformOptions transform,
                                                 UINT stride, UINT bufferSize, BYTE* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};
const IID iidSourceTransform = {0x3b16811b, 0x6a43, 0x4ec9, {0xb7, 0x13, 0x3d, 0x5a, 0x0c, 0x13, 0xb9, 0x40}};
// Windows 10's best scaler; older systems and Wine fall back to Fant.
const WICBitmapInterpolationMode highQualityCubic = static_cast<WICBitmapInterpolationMode>(4);

struct Header {
    UINT width, height;
    int depth;
    UINT colours;
};

// A block with its header filled in and zeroed rows; null when the sizes are
// absurd or the memory is not there.
BYTE* StartBlock(const Header& h) {
    if (h.width == 0 || h.height == 0 || h.width > 0x7FFFFFFF || h.height > 0x7FFFFFFF)
        return nullptr;
    int64_t stride = RowStride64(h.width, h.depth);
    uint64_t size = sizeof(BITMAPINFOHEADER) + 4ull * h.colours + uint64_t(stride) * h.height;
    if (stride <= 0 || size > KBitmap::kMaxBlockBytes)
        return nullptr;
    // Zeroed, so that rows a decoder does not fill look the same on every run.
    BYTE* block = static_cast<BYTE*>(std::calloc(1, size));
    if (!block)
        return nullptr;
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(block);
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = static_cast<LONG>(h.width);
    header->biHeight = static_cast<LONG>(h.height);  // rows bottom first
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(h.depth);
    header->biCompression = BI_RGB;
    header->biClrUsed = h.colours;
    return block;
}

// Lays a colour with straight alpha over black.
void OverBlack(BYTE* bgra) {
    const unsigned alpha = bgra[3];
    for (int c = 0; c < 3; ++c)
        bgra[c] = static_cast<BYTE>((bgra[c] * alpha + 127) / 255);
}

// The frame copied in its own pixel layout: depth from the table above, the
// palette as delivered, rows bottom first through the vertical flip. Colours
// with alpha (in the palette, or 32-bit pixels with it) are laid over black.
BYTE* CopyFrame(IWICBitmapSource* frame, IWICBitmapSource* flipped, IWICPalette* palette,
                const WICPixelFormatGUID& format, int depth) {
    Header h = {0, 0, depth, 0};
    frame->GetSize(&h.width, &h.height);
    palette->GetColorCount(&h.colours);
    if (h.colours > 256 || depth > 8)
        h.colours = 0;
    BYTE* block = StartBlock(h);
    if (!block)
        return nullptr;
    // WICColor is 0xAARRGGBB, little-endian in memory: blue, green, red, alpha,
    // which is the RGBQUAD order with alpha in the reserved byte.
    BYTE* table = block + sizeof(BITMAPINFOHEADER);
    UINT delivered = 0;
    if (h.colours)
        palette->GetColors(h.colours, reinterpret_cast<WICColor*>(table), &delivered);
    for (UINT i = 0; i < h.colours; ++i)
        OverBlack(table + 4 * i);
    BYTE* rows = table + 4ull * h.colours;
    const UINT stride = static_cast<UINT>(RowStride64(h.width, depth));
    WICRect whole = {0, 0, static_cast<INT>(h.width), static_cast<INT>(h.height)};
    flipped->CopyPixels(&whole, stride, stride * h.height, rows);
    if (IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA))
        for (UINT64 at = 0; at + 4 <= UINT64(stride) * h.height; at += 4)
            OverBlack(rows + at);
    return block;
}

// Copies a 32-bit BGR source (alpha already laid over black, or none) into a
// new 24-bit block, one row at a time from the top: decoders work from the
// top, and Wine's scaler fetches every source row a request spans at once.
BYTE* CopyAs24(IWICBitmapSource* source) {
    Header h = {0, 0, 24, 0};
    source->GetSize(&h.width, &h.height);
    BYTE* block = StartBlock(h);
    if (!block)
        return nullptr;
    const int64_t stride = RowStride64(h.width, 24);
    BYTE* pixels = static_cast<BYTE*>(std::malloc(4ull * h.width));
    for (UINT y = 0; pixels && y < h.height; ++y) {
        WICRect row = {0, static_cast<INT>(y), static_cast<INT>(h.width), 1};
        if (FAILED(source->CopyPixels(&row, 4 * h.width, 4 * h.width, pixels)))
            break;  // what is missing stays black
        BYTE* to = block + sizeof(BITMAPINFOHEADER) + (h.height - 1 - y) * stride;
        for (UINT x = 0; x < h.width; ++x)
            std::memcpy(to + 3 * x, pixels + 4 * x, 3);
    }
    std::free(pixels);
    return block;
}

// The decoder's own scaled decoding to the smallest size it offers that is at
// least `width` x `height`, held in a WIC bitmap of that size; false when the
// decoder offers none smaller than the picture.
bool DecodeScaled(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT width, UINT height,
                  ComOwner<IWICBitmap>& result) {
    ComOwner<IWICBitmapSourceTransform> transform;
    UINT fullWidth = 0, fullHeight = 0;
    frame->GetSize(&fullWidth, &fullHeight);
    if (FAILED(frame->QueryInterface(iidSourceTransform, transform.OutVoid())))
        return false;
    // Decoders may answer a size below the one asked for: ask for more until
    // the answer is large enough, or the picture's own size is asked for.
    UINT w = 0, h = 0;
    for (uint64_t askW = width, askH = height;; askW *= 2, askH *= 2) {
        w = static_cast<UINT>(std::min<uint64_t>(askW, fullWidth));
        h = static_cast<UINT>(std::min<uint64_t>(askH, fullHeight));
        const bool whole = w == fullWidth && h == fullHeight;
        if (whole || FAILED(transform->GetClosestSize(&w, &h)))
            return false;
        if (w >= width && h >= height)
            break;
    }
    if (w >= fullWidth && h >= fullHeight)
        return false;
    WICPixelFormatGUID format = {};
    frame->GetPixelFormat(&format);
    transform->GetClosestPixelFormat(&format);
    ComOwner<IWICBitmapLock> lock;
    UINT stride = 0, size = 0;
    BYTE* pixels = nullptr;
    WICRect whole = {0, 0, static_cast<INT>(w), static_cast<INT>(h)};
    return SUCCEEDED(factory->CreateBitmap(w, h, format, WICBitmapCacheOnLoad, result.Out())) &&
           SUCCEEDED(result->Lock(&whole, WICBitmapLockWrite, lock.Out())) && SUCCEEDED(lock->GetStride(&stride)) &&
           SUCCEEDED(lock->GetDataPointer(&size, &pixels)) &&
           SUCCEEDED(transform->CopyPixels(nullptr, w, h, &format, WICBitmapTransformRotate0, stride, size, pixels));
}

// Through WIC's converter to 32-bit BGR laid over black (premultiplied alpha
// over black is the colour itself; Wine's converter refuses 24-bit targets
// from some formats, 32-bit works everywhere).
bool ConvertToBgr(IWICImagingFactory* factory, IWICBitmapSource* source, ComOwner<IWICFormatConverter>& converter) {
    return SUCCEEDED(factory->CreateFormatConverter(converter.Out())) &&
           SUCCEEDED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                           WICBitmapPaletteTypeCustom));
}

// A picture outside the table, or one to be made smaller: decoded through
// the converter and WIC's scaler, stored as 24 bits.
BYTE* ConvertFrame(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame, UINT width, UINT height) {
    UINT fullWidth = 0, fullHeight = 0;
    frame->GetSize(&fullWidth, &fullHeight);
    const bool smaller = width < fullWidth || height < fullHeight;
    IWICBitmapSource* source = frame;
    ComOwner<IWICBitmap> scaledDecode;
    if (smaller && DecodeScaled(factory, frame, width, height, scaledDecode))
        source = scaledDecode.Get();

    // Opaque BGR pixels are scaled as they come and only the small result is
    // converted; others are converted first, so that alpha is laid over black
    // before neighbours are blended.
    WICPixelFormatGUID format = {};
    source->GetPixelFormat(&format);
    const bool scaleFirst =
        IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) || IsEqualGUID(format, GUID_WICPixelFormat32bppBGR);
    ComOwner<IWICFormatConverter> converter;
    if (!scaleFirst) {
        if (!ConvertToBgr(factory, source, converter))
            return nullptr;
        source = converter.Get();
    }
    ComOwner<IWICBitmapScaler> scaler;
    if (smaller) {
        if (FAILED(factory->CreateBitmapScaler(scaler.Out())) ||
            (FAILED(scaler->Initialize(source, width, height, highQualityCubic)) &&
             FAILED(scaler->Initialize(source, width, height, WICBitmapInterpolationModeFant))))
            return nullptr;
        source = scaler.Get();
    }
    if (scaleFirst) {
        if (!ConvertToBgr(factory, source, converter))
            return nullptr;
        source = converter.Get();
    }
    return CopyAs24(source);
}

// Some decoders decode the whole picture as soon as the file is opened; a
// picture too large to hold is refused from its header before that, so the
// saver falls back to the banner at once instead of after many seconds.
bool DeclaresTooLargeAPicture(const char* path) {
    const KernelHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    static BYTE head[256 * 1024];  // enough for the metadata that may precede a frame header
    DWORD read = 0;
    ReadFile(file.Get(), head, sizeof head, &read, nullptr);
    PictureSize size;
    return ReadPictureSize(head, read, &size) && PictureTooLarge(size);
}

}  // namespace

BYTE* DecodePicture(const char* path, const DecodeSizeRule& decodeSize, SIZE* fullSize) {
    if (!path || DeclaresTooLargeAPicture(path))
        return nullptr;
    wchar_t widePath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH))
        return nullptr;

    ComScope com;
    ComOwner<IWICImagingFactory> factory;
    ComOwner<IWICBitmapDecoder> decoder;
    ComOwner<IWICPalette> palette;
    ComOwner<IWICBitmapFrameDecode> frame;
    ComOwner<IWICBitmapFlipRotator> flipper;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.OutVoid())) ||
        FAILED(factory->CreateDecoderFromFilename(widePath, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.Out())) ||
        FAILED(factory->CreatePalette(palette.Out())) ||
        FAILED(decoder->GetFrame(0, frame.Out())))  // only the first frame of a multi-frame file
        return nullptr;

    WICPixelFormatGUID format = {};
    UINT width = 0, height = 0;
    frame->GetPixelFormat(&format);
    frame->GetSize(&width, &height);
    // A decoder takes a frame's size from the file as it stands (a BMP's
    // negative width comes out as some four billion pixels) and reads rows
    // with it: Wine's BMP decoder reads past its buffer on a BMP the saver's
    // own reader refused as absurd, or works on it for minutes. Such a frame
    // is refused before any row is asked for.
    if (PictureTooLarge(PictureSize{width, height}))
        return nullptr;
    if (fullSize)
        *fullSize = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
    UINT decodeWidth = width, decodeHeight = height;
    if (decodeSize && width && height) {
        const SIZE wanted = decodeSize(SIZE{static_cast<LONG>(width), static_cast<LONG>(height)});
        decodeWidth = std::clamp<UINT>(static_cast<UINT>(std::max<LONG>(wanted.cx, 1)), 1, width);
        decodeHeight = std::clamp<UINT>(static_cast<UINT>(std::max<LONG>(wanted.cy, 1)), 1, height);
    }

    frame->CopyPalette(palette.Get());
    const int depth = TableDepth(format);
    if (depth == 0 || decodeWidth < width || decodeHeight < height)
        return ConvertFrame(factory.Get(), frame.Get(), decodeWidth, decodeHeight);
    if (FAILED(factory->CreateBitmapFlipRotator(flipper.Out())))
        return nullptr;
    flipper->Initialize(frame.Get(), WICBitmapTransformFlipVertical);
    return CopyFrame(frame.Get(), flipper.Get(), palette.Get(), format, depth);
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
    HIC codec = ICLocate(ICTYPE_VIDEO, input.header.biCompression, &input.header, nullptr, ICMODE_DECOMPRESS);
    if (!codec)
        return nullptr;
    const GlobalMemory expanded(
        ICImageDecompress(codec, 0, reinterpret_cast<BITMAPINFO*>(&input), const_cast<BYTE*>(bitmap.Bits()), nullptr));
    ICClose(codec);
    if (!expanded)
        return nullptr;
    // The loader expects a fixed block whose handle is its address.
    const LockedGlobal locked(expanded.Get());
    SIZE_T size = GlobalSize(expanded.Get());
    void* copy = size ? AllocGlobalBlock(size) : nullptr;
    if (copy && locked.Get())
        std::memcpy(copy, locked.Get(), size);
    return copy;
}
