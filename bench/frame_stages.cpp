// Where a frame's time goes, stage by stage, for every moving content on a
// 1920 x 1080 screen, with the blocks kept from frame to frame as the saver
// keeps them. The pixel work only: GDI's copy to the screen and the clock's
// text drawing run under Wine (scripts/measure-cpu.sh measures them whole).
//
//   turning 2D      424 x 424 canvas, 1440 x 1440 window (1080 rows visible)
//   turning 2D+3D   310 x 310 canvas, same window
//   bouncing        310 x 310 canvas, 640 x 640 window
//   movie           640 x 480 frame, faded, 1440 x 1080 window
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../tests/native/BitmapTestUtil.h"
#include "effects/Enlarge.h"
#include "imaging/KBitmap.h"

namespace {

// A 4:3 picture of noise on a black square canvas, as turning prepares it.
KBitmap Canvas(int side, int pictureWidth, int pictureHeight) {
    const int left = (side - pictureWidth) / 2, top = (side - pictureHeight) / 2;
    return testutil::OnBlack(side, side, RECT{left, top, left + pictureWidth, top + pictureHeight}, 42);
}

// The turned frame of a mid-turn moment.
void Turn(KBitmap& frame, bool turn3D) {
    frame.RotateInPlane(-30.0);
    if (turn3D) {
        frame.RotateAboutVerticalAxis(35.0);
        frame.RotateAboutHorizontalAxis(-25.0);
    }
}

RECT Lit(const KBitmap& frame) {
    return NonBlackArea(frame.Row(0, frame.Height(), frame.Stride()), -frame.Stride(), frame.Width(), frame.Height());
}

// The enlargement of the frame's lit area into a window of side `window`
// of which the middle 1080 rows show.
void Enlarge(const KBitmap& frame, int window, std::vector<uint32_t>& surface) {
    const SIZE size{frame.Width(), frame.Height()}, extent{window + 1, window + 1};
    const int hidden = window > 1080 ? (window - 1080) / 2 : 0;
    RECT area = EnlargedArea(Lit(frame), size, extent);
    area.top = std::max<LONG>(area.top, hidden);
    area.bottom = std::min<LONG>(area.bottom, window - hidden);
    area.right = std::min<LONG>(area.right, window);
    EnlargeNearest(*frame.Header(), frame.Bits(), extent.cx, extent.cy, surface.data(), window, window, area);
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), run)->Unit(benchmark::kMicrosecond);
}

void RegisterTurning(const std::string& content, int side, int pictureWidth, int pictureHeight, bool turn3D,
                     int window) {
    auto canvas = std::make_shared<KBitmap>(Canvas(side, pictureWidth, pictureHeight));
    auto turned = std::make_shared<KBitmap>(*canvas, nullptr, true);
    Turn(*turned, turn3D);
    Register(content + "/copy", [canvas](benchmark::State& state) {
        KBitmap frame;
        for (auto _ : state)
            frame.CopyFrom(*canvas, nullptr, true);
    });
    Register(content + "/turn", [canvas, turn3D](benchmark::State& state) {
        KBitmap frame;
        for (auto _ : state) {
            state.PauseTiming();
            frame.CopyFrom(*canvas, nullptr, true);
            state.ResumeTiming();
            Turn(frame, turn3D);
        }
    });
    Register(content + "/lit area", [turned](benchmark::State& state) {
        for (auto _ : state)
            benchmark::DoNotOptimize(Lit(*turned));
    });
    Register(content + "/enlarge", [turned, window](benchmark::State& state) {
        std::vector<uint32_t> surface(size_t(window) * window);
        for (auto _ : state)
            Enlarge(*turned, window, surface);
    });
}

void RegisterMovie() {
    auto decoded = std::make_shared<KBitmap>(testutil::Pattern(640, 480, 24, 7));
    Register("movie/copy and fade", [decoded](benchmark::State& state) {
        KBitmap faded;
        for (auto _ : state) {
            faded.CopyFrom(*decoded, nullptr, true);
            faded.FadeEdges(0x000000, 0.25);
        }
    });
    Register("movie/enlarge", [decoded](benchmark::State& state) {
        std::vector<uint32_t> surface(size_t(1440) * 1080);
        for (auto _ : state)
            EnlargeNearest(*decoded->Header(), decoded->Bits(), 1440, 1080, surface.data(), 1440, 1080,
                           RECT{0, 0, 1440, 1080});
    });
}

[[maybe_unused]] const bool kRegistered = [] {
    RegisterTurning("turning 2D", 424, 339, 256, false, 1440);
    RegisterTurning("turning 2D+3D", 310, 248, 186, true, 1440);
    RegisterTurning("bouncing 2D+3D", 310, 248, 186, true, 640);
    RegisterMovie();
    return true;
}();

}  // namespace
