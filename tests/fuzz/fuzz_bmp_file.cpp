// BMP file bytes through KBitmap::LoadFile, then every pixel operation.
#include <cstdio>
#include <string>

#include <unistd.h>

#include "FuzzOps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Memory-backed when the system has it: the file is rewritten every run.
    static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    "/fuzz_bmp_file_" + std::to_string(getpid()) + ".bmp";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    if (size)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
    KBitmap b;
    if (b.LoadFile(path.c_str()))
        fuzzops::Exercise(b, size > 20 ? data[size - 1] : 0);
    std::remove(path.c_str());
    return 0;
}
