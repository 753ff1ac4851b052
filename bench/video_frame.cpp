// One 1080p NV12 frame, as a video decoder hands it out (rows padded to 1088),
// turned into 24-bit B, G, R rows, against a plain copy of those rows.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "imaging/VideoFrame.h"

namespace {

constexpr int32_t width = 1920, height = 1080, planeRows = 1088;

void Nv12ToBgr(benchmark::State& state) {
    std::vector<uint8_t> nv12(width * planeRows * 3 / 2);
    for (size_t i = 0; i < nv12.size(); ++i)
        nv12[i] = uint8_t(i * 7 + (i >> 11));
    std::vector<uint8_t> bgr(width * height * 3);
    const VideoFrame frame = {
        VideoLayout::nv12, YuvMatrix::bt709, YuvRange::studio, nv12.data(), width, planeRows, 0, 0, width, height};
    for (auto _ : state) {
        ConvertVideoFrame(frame, bgr.data() + ptrdiff_t(width) * 3 * (height - 1), -width * 3);
        benchmark::ClobberMemory();
    }
}

void CopyBgr(benchmark::State& state) {
    std::vector<uint8_t> from(width * height * 3, 1), to(width * height * 3);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(Nv12ToBgr)->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyBgr)->Unit(benchmark::kMicrosecond);
