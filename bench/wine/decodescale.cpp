// The reference for the saver's picture loading, under Wine: what the Windows
// Imaging Component's own decode and scale need.
//   decodescale PICTURE WIDTH HEIGHT -> "MS ms": the time to open PICTURE (its
//       first frame), scale it to WIDTH x HEIGHT (Fant), convert it to 32-bit
//       BGR and copy the result out a row at a time. The process then sleeps a
//       second, so that its peak memory can be read from outside before it ends.
#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

template <typename T>
void Release(T* object) {
    if (object)
        object->Release();
}

}  // namespace

int main(int argc, char** argv) {
    const int width = argc == 4 ? atoi(argv[2]) : 0, height = argc == 4 ? atoi(argv[3]) : 0;
    wchar_t path[MAX_PATH];
    if (width <= 0 || height <= 0 || width > 32768 || height > 32768 ||
        !MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH)) {
        fprintf(stderr, "usage: decodescale PICTURE WIDTH HEIGHT\n");
        return 2;
    }
    const UINT stride = 4 * UINT(width);
    std::vector<BYTE> pixels(size_t(stride) * UINT(height));
    CoInitialize(nullptr);

    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    IWICBitmapScaler* scaler = nullptr;
    const DWORD start = GetTickCount();  // figures of seconds: its 16 ms steps do
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(result))
        result =
            factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder);
    if (SUCCEEDED(result))
        result = decoder->GetFrame(0, &frame);
    // Scaled first, then converted: the converter then sees only the rows
    // the scaler picks.
    if (SUCCEEDED(result))
        result = factory->CreateBitmapScaler(&scaler);
    if (SUCCEEDED(result))
        result = scaler->Initialize(frame, UINT(width), UINT(height), WICBitmapInterpolationModeFant);
    if (SUCCEEDED(result))
        result = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(result))
        result = converter->Initialize(scaler, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                       WICBitmapPaletteTypeCustom);
    // A row at a time: Wine's scaler fetches every source row one request
    // spans at once.
    for (int y = 0; SUCCEEDED(result) && y < height; ++y) {
        const WICRect row = {0, y, width, 1};
        result = converter->CopyPixels(&row, stride, stride, &pixels[size_t(stride) * y]);
    }
    const DWORD elapsed = GetTickCount() - start;

    Release(scaler);
    Release(converter);
    Release(frame);
    Release(decoder);
    Release(factory);
    CoUninitialize();
    if (FAILED(result)) {
        fprintf(stderr, "decodescale: failed, HRESULT 0x%08lx\n", static_cast<unsigned long>(result));
        return 1;
    }
    printf("%lu ms\n", static_cast<unsigned long>(elapsed));
    fflush(stdout);
    Sleep(1000);
    return 0;
}
