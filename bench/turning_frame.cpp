// The transform part of one turning-picture frame: copy the prepared canvas,
// turn it in the plane, then (with the 3D turn on) about the vertical and the
// horizontal axis. The fast operations against the per-pixel reference loops
// over the checked accessors, on the same canvas and angles.
//
// Canvases as the preparation makes them from a 640 x 480 picture: shrunk to
// 248 x 186 (3D on, 51200 pixels at most) or 339 x 256 (2D only, 102400),
// 24 bits, black background, padded to the square of the diagonal: 310 x 310
// and 424 x 424. The largest 4:3 pictures under the limits (260 x 195 and
// 368 x 276) give 325 x 325 and 460 x 460. The fast operations once more
// without their ...Sse2 kernels: the loops of a processor without SSE2,
// though here with this build's arithmetic, not the 32-bit saver's x87 code.
#include <benchmark/benchmark.h>

#include <cmath>

#include "../tests/native/BitmapTestUtil.h"
#include "../tests/native/PlaneReference.h"
#include "TurnReference.h"
#include "platform/Processor.h"
#include "imaging/KBitmap.h"

namespace {

// Angles of a frame in the middle of a turn, in degrees.
constexpr double kPlane = 30.0, kVertical = 35.0, kHorizontal = -25.0;

// A picture of noise (every bilinear sample blends) on a black square canvas.
const KBitmap& Canvas(int pictureWidth, int pictureHeight) {
    static KBitmap canvases[4];
    static int widths[4];
    for (int i = 0; i < 4; ++i) {
        if (widths[i] == pictureWidth)
            return canvases[i];
        if (widths[i] != 0)
            continue;
        KBitmap b(pictureWidth, pictureHeight, 24);
        testutil::FillPattern(b, 42);
        b.backgroundColour = 0;
        const int d =
            static_cast<int>(std::sqrt(double(pictureHeight) * pictureHeight + double(pictureWidth) * pictureWidth));
        const RECT area{-((d - pictureWidth) / 2), -((d - pictureHeight) / 2),
                        pictureWidth - 1 + (d - pictureWidth) / 2, pictureHeight - 1 + (d - pictureHeight) / 2};
        b.Crop(&area);
        widths[i] = pictureWidth;
        canvases[i] = std::move(b);
        return canvases[i];
    }
    return canvases[0];
}

// state.range: picture width, height, 3D on, SSE2 kernels on.
void FrameFast(benchmark::State& state) {
    const KBitmap& canvas = Canvas(int(state.range(0)), int(state.range(1)));
    const bool turn3D = state.range(2) != 0;
    SetSse2Allowed(state.range(3) != 0);
    KBitmap frame;  // kept from frame to frame, as the saver keeps it
    for (auto _ : state) {
        frame.CopyFrom(canvas, nullptr, true);
        frame.RotateInPlane(-kPlane);
        if (turn3D) {
            frame.RotateAboutVerticalAxis(kVertical);
            frame.RotateAboutHorizontalAxis(kHorizontal);
        }
        benchmark::DoNotOptimize(frame.Bits());
    }
    SetSse2Allowed(true);
    state.SetLabel(std::to_string(canvas.Width()) + " x " + std::to_string(canvas.Height()) +
                   (state.range(3) != 0 ? "" : ", no SSE2"));
}

void FrameReference(benchmark::State& state) {
    const KBitmap& canvas = Canvas(int(state.range(0)), int(state.range(1)));
    const bool turn3D = state.range(2) != 0;
    for (auto _ : state) {
        KBitmap frame(canvas, nullptr, true);
        reference::RotateInPlane(frame, -kPlane);
        if (turn3D) {
            reference::Rotate3D(frame, kVertical, reference::kVertical);
            reference::Rotate3D(frame, kHorizontal, reference::kHorizontal);
        }
        benchmark::DoNotOptimize(frame.Bits());
    }
    state.SetLabel(std::to_string(canvas.Width()) + " x " + std::to_string(canvas.Height()));
}

}  // namespace

BENCHMARK(FrameFast)
    ->ArgsProduct({{248}, {186}, {1}, {1, 0}})
    ->ArgsProduct({{339}, {256}, {0}, {1, 0}})
    ->ArgsProduct({{260}, {195}, {1}, {1, 0}})
    ->ArgsProduct({{368}, {276}, {0}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(FrameReference)
    ->Args({248, 186, 1})
    ->Args({339, 256, 0})
    ->Args({260, 195, 1})
    ->Args({368, 276, 0})
    ->Unit(benchmark::kMicrosecond);
