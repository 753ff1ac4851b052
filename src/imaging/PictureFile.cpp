#include "imaging/PictureFile.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imaging/ExifOrientation.h"
#include "imaging/GlobalBlock.h"
#include "imaging/KBitmap.h"
#include "imaging/OrientPicture.h"

namespace {

constexpr size_t kFileHeaderBytes = sizeof(BITMAPFILEHEADER);                  // 14
constexpr size_t kHeadersBytes = kFileHeaderBytes + sizeof(BITMAPINFOHEADER);  // 54
constexpr WORD kBmpSignature = 0x4D42;                                         // "BM"

uint32_t ReadLe32(const BYTE* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Bytes in an open file, or -1.
int64_t FileLength(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return -1;
    return length;
}

// True when the loaded header and its rows fit the block: a non-negative
// width, a height other than INT_MIN, pixel sizes within 32 bits and, for
// uncompressed rows, all rows inside the block. A compressed picture whose
// biSizeImage claims more than the block holds has it lowered to what is there.
bool FitBmpBlock(BITMAPINFOHEADER& header, size_t blockSize, size_t bitsOffset) {
    if (header.biWidth < 0 || header.biHeight == INT_MIN)
        return false;
    const int64_t stride = RowStride64(header.biWidth, EffectiveDepth(header));
    const uint64_t height = static_cast<uint64_t>(AbsoluteHeight(header));
    // stride < 2^48 and height < 2^31: the product fits 64 bits.
    const uint64_t rowBytes = static_cast<uint64_t>(stride) * height;
    if (rowBytes > UINT32_MAX || uint64_t(uint32_t(header.biWidth)) * height > UINT32_MAX)
        return false;
    const size_t present = blockSize - bitsOffset;
    if (IsUncompressed(header))
        return rowBytes <= present;
    if (header.biSizeImage > present)
        header.biSizeImage = static_cast<DWORD>(present);
    return true;
}

// The BMP path of LoadFile: the block holds bfSize - 14 bytes, rows at
// bfOffBits. Returns the block size, 0 when the file is not such a BMP.
uint32_t LoadBmp(KBitmap& bitmap, const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    BYTE fileHeader[kFileHeaderBytes] = {};
    int64_t length = -1;
    if (file) {
        length = FileLength(file);
        if (std::fread(fileHeader, 1, sizeof fileHeader, file) != sizeof fileHeader)
            std::memset(fileHeader, 0, sizeof fileHeader);
    }
    const WORD type = static_cast<WORD>(fileHeader[0] | fileHeader[1] << 8);
    const uint32_t fileSize = ReadLe32(fileHeader + 2);
    const uint32_t offBits = ReadLe32(fileHeader + 10);
    uint32_t result = 0;
    // Declared sizes must agree with the file: room for both headers, rows
    // starting inside it, and no more bytes than the file really has.
    if (file && type == kBmpSignature && offBits >= kHeadersBytes && fileSize >= kHeadersBytes && offBits < fileSize &&
        length >= 0 && fileSize <= uint64_t(length) && fileSize - kFileHeaderBytes <= KBitmap::kMaxBlockBytes) {
        const size_t blockSize = fileSize - kFileHeaderBytes;
        const size_t bitsOffset = offBits - kFileHeaderBytes;
        BYTE* block = static_cast<BYTE*>(std::malloc(blockSize));
        if (block && std::fread(block, 1, blockSize, file) == blockSize &&
            FitBmpBlock(*reinterpret_cast<BITMAPINFOHEADER*>(block), blockSize, bitsOffset)) {
            bitmap.AdoptBlock(block, blockSize, bitsOffset);
            result = static_cast<uint32_t>(blockSize);
        } else {
            std::free(block);
        }
    }
    if (file)
        std::fclose(file);
    return result;
}

}  // namespace

uint32_t KBitmap::LoadFile(const char* path) { return LoadPicture(*this, path, {}, nullptr); }

uint32_t LoadPicture(KBitmap& bitmap, const char* path, const DecodeSizeRule& decodeSize, SIZE* uprightSize) {
    if (!path)
        return 0;
    bitmap.Free();
    if (const uint32_t size = LoadBmp(bitmap, path)) {
        if (uprightSize)
            *uprightSize = SIZE{bitmap.Width(), bitmap.Height()};
        return size;
    }

    // Not a BMP this code reads: the platform decoder gets a second chance.
    // Cameras store the picture as the sensor saw it and say how to turn it:
    // the size rule and the layouts see it upright.
    const int orientation = ExifOrientationOfFile(path);
    const bool swaps = OrientationSwapsSides(orientation);
    const auto turned = [swaps](SIZE size) { return swaps ? SIZE{size.cy, size.cx} : size; };
    DecodeSizeRule storedRule;
    if (decodeSize)
        storedRule = [&](SIZE stored) { return turned(decodeSize(turned(stored))); };
    SIZE stored = {};
    BYTE* block = DecodePicture(path, storedRule, &stored);
    if (!block)
        return 0;
    const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(block);
    const uint64_t tableBytes = 4 * uint64_t(header->biClrUsed);
    const uint64_t size =
        sizeof(BITMAPINFOHEADER) + tableBytes +
        uint64_t(RowStride64(header->biWidth, header->biBitCount)) * uint64_t(AbsoluteHeight(*header));
    bitmap.AdoptBlock(block, static_cast<size_t>(size), static_cast<size_t>(sizeof(BITMAPINFOHEADER) + tableBytes));
    // Without the memory to turn it, the picture shows as stored.
    const bool upright = OrientPicture(bitmap, orientation);
    if (uprightSize)
        *uprightSize = upright ? turned(stored) : stored;
    return static_cast<uint32_t>(bitmap.BlockSize());
}

void Decompress(KBitmap& bitmap) {
    const BITMAPINFOHEADER* header = bitmap.Header();
    if (!header || IsUncompressed(*header))
        return;
    void* block =
        header->biBitCount == 4 && header->biCompression == BI_RLE4 ? bitmap.ExpandRle4() : DecompressWithCodec(bitmap);
    if (!block)
        return;
    bitmap.LoadPackedDib(static_cast<const BITMAPINFOHEADER*>(block));
    FreeGlobalBlock(block);
}
