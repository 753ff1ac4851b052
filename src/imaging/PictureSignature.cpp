#include "imaging/PictureSignature.h"

#include "platform/CharStep.h"

#include <cstring>

bool PictureSignature(const uint8_t* head, size_t size) {
    struct Signature {
        const char* bytes;
        size_t size;
    };
    static const Signature signatures[] = {
        {"BM", 2},                 // BMP
        {"\xFF\xD8\xFF", 3},       // JPEG
        {"\x89PNG\r\n\x1A\n", 8},  // PNG
        {"GIF8", 4},               // GIF87a, GIF89a
        {"II*\0", 4},              // TIFF, little-endian
        {"MM\0*", 4},              // TIFF, big-endian
    };
    for (const Signature& s : signatures)
        if (size >= s.size && std::memcmp(head, s.bytes, s.size) == 0)
            return true;
    return false;
}

bool PictureExtension(const char* path) {
    static const char* const extensions[] = {"bmp", "dib", "rle", "jpg",  "jpeg", "jpe", "jfif",
                                             "png", "gif", "tif", "tiff", "ico",  "dds"};
    const char* dot = std::strrchr(path, '.');
    if (!dot || std::strchr(dot, '\\') || std::strchr(dot, '/'))
        return false;
    for (const char* extension : extensions) {
        size_t i = 0;
        while (extension[i] && LowerAscii(dot[1 + i]) == extension[i])
            ++i;
        if (!extension[i] && !dot[1 + i])
            return true;
    }
    return false;
}
