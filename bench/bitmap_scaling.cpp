// The optimised bitmap loops against the per-pixel reference loops over the
// checked GetPixel / SetPixel, on a 4000 x 3000 picture.
#include <benchmark/benchmark.h>

#include "../tests/native/BitmapTestUtil.h"
#include "ReferenceLoops.h"
#include "imaging/KBitmap.h"

namespace {

constexpr int kWidth = 4000, kHeight = 3000;

const KBitmap& Picture(int depth) {
    static KBitmap pictures[33];
    KBitmap& b = pictures[depth];
    if (b.IsEmpty()) {
        KBitmap made(kWidth, kHeight, depth);
        testutil::FillPattern(made, 42);
        b = std::move(made);
    }
    return b;
}

void ConvertFast(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        KBitmap b(Picture(32), nullptr, true);
        state.ResumeTiming();
        b.ConvertDepth(24);
        benchmark::DoNotOptimize(b.Bits());
    }
}

// The reference works on a copy made outside the timing too, and hands its
// result over the same way, so both sides pay the same allocation costs.
void ConvertReference(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        KBitmap b(Picture(32), nullptr, true);
        state.ResumeTiming();
        KBitmap out;
        reference::ConvertDepth(b, 24, out);
        b.TakeFrom(out);
        benchmark::DoNotOptimize(b.Bits());
    }
}

// state.range: depth, new width, new height, smooth.
void ResizeFast(benchmark::State& state) {
    const int depth = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        KBitmap b(Picture(depth), nullptr, true);
        state.ResumeTiming();
        b.Resize(int(state.range(1)), int(state.range(2)), state.range(3) != 0);
        benchmark::DoNotOptimize(b.Bits());
    }
}

void ResizeReference(benchmark::State& state) {
    const int depth = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        KBitmap b(Picture(depth), nullptr, true);
        state.ResumeTiming();
        KBitmap out;
        reference::Resize(b, int(state.range(1)), int(state.range(2)), state.range(3) != 0, out);
        b.TakeFrom(out);
        benchmark::DoNotOptimize(b.Bits());
    }
}

void AverageFast(benchmark::State& state) {
    const KBitmap& b = Picture(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(b.AverageColour(nullptr));
}

void AverageReference(benchmark::State& state) {
    const KBitmap& b = Picture(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(reference::AverageColour(b, 0, 0, kWidth - 1, kHeight - 1));
}

}  // namespace

#define TIMED(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)

// 32 to 24 bits.
TIMED(ConvertFast);
TIMED(ConvertReference);
// Shrink to 1920 x 1080: nearest pixel, then area average (smoothing).
TIMED(ResizeFast)->Args({24, 1920, 1080, 0})->Args({24, 1920, 1080, 1})->Args({32, 1920, 1080, 1});
TIMED(ResizeReference)->Args({24, 1920, 1080, 0})->Args({24, 1920, 1080, 1})->Args({32, 1920, 1080, 1});
// Bilinear (less than half size): 4000 x 3000 to 2800 x 2100.
TIMED(ResizeFast)->Args({24, 2800, 2100, 1});
TIMED(ResizeReference)->Args({24, 2800, 2100, 1});
TIMED(AverageFast)->Arg(24)->Arg(32);
TIMED(AverageReference)->Arg(24)->Arg(32);
