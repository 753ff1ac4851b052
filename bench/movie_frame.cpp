// The portable part of one faded movie frame: the decoder's frame copied
// into a fresh bitmap (LoadPackedDib) and its edges faded (a quarter of the
// shorter side), against the same copy alone. 640 x 480 and 320 x 240,
// 24 bits, as uncompressed and Cinepak movies decode.
#include <benchmark/benchmark.h>

#include "../tests/native/BitmapTestUtil.h"
#include "imaging/KBitmap.h"

namespace {

const KBitmap& Frame(int width, int height) {
    static KBitmap frames[2];
    KBitmap& frame = frames[width == 640 ? 0 : 1];
    if (frame.IsEmpty()) {
        KBitmap made(width, height, 24);
        testutil::FillPattern(made, 7);
        frame.TakeFrom(made);
    }
    return frame;
}

void CopyOnly(benchmark::State& state) {
    const KBitmap& frame = Frame(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        KBitmap copy;
        benchmark::DoNotOptimize(copy.LoadPackedDib(frame.Header()));
    }
}

void CopyAndFade(benchmark::State& state) {
    const KBitmap& frame = Frame(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        KBitmap copy;
        copy.LoadPackedDib(frame.Header());
        benchmark::DoNotOptimize(copy.FadeEdges(0x000000, 0.25));
    }
}

}  // namespace

BENCHMARK(CopyOnly)->Args({640, 480})->Args({320, 240})->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyAndFade)->Args({640, 480})->Args({320, 240})->Unit(benchmark::kMicrosecond);
