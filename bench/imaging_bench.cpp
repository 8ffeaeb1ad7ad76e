// The picture commands on the 3840 x 2160 screenshot, each whole, conversions included,
// starting from the picture as captured: 32 bits per pixel (blue, green, red, fourth
// byte), as the display gives it. Each is reported as a ratio to memcpy of the
// captured picture's bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "bench/bench_picture.h"
#include "imaging/flip.h"
#include "imaging/layout.h"
#include "imaging/pixel_ops.h"
#include "imaging/rotation.h"

namespace {

// A picture of our own with DIB-style rows (padded to four bytes).
struct Buffer {
    std::vector<std::uint8_t> bytes;
    glimra::PixelView view;
    Buffer(int width, int height, int bytesPerPixel) {
        const int stride = (width * bytesPerPixel + 3) & ~3;
        bytes.resize(static_cast<std::size_t>(stride) * height);
        view = {bytes.data(), width, height, stride, bytesPerPixel};
    }
};

// The screenshot as captured, converted once.
const Buffer& Captured() {
    static const Buffer captured = [] {
        const bench::Picture& shot = bench::Screenshot();
        Buffer buffer(shot.width, shot.height, 4);
        bench::Picture copy = shot;
        glimra::ConvertLayout(copy.View(), buffer.view);
        return buffer;
    }();
    return captured;
}

void Report(benchmark::State& state) {
    bench::CompareWithMemcpy(state, Captured().bytes.size());
}

// Grayscale works in place on the 32-bit picture; each round starts again from the
// captured pixels (copied outside the timing), since gray pixels have no exact halves.
void BM_Grayscale(benchmark::State& state) {
    const Buffer& captured = Captured();
    Buffer picture(captured.view.width, captured.view.height, 4);
    for (auto _ : state) {
        state.PauseTiming();
        picture.bytes = captured.bytes;
        state.ResumeTiming();
        glimra::Grayscale(picture.view);
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_Grayscale)->Unit(benchmark::kMillisecond);

// Brighten and Darken: a 24-bit working copy of the picture, then the step on it.
void BrightnessCommand(benchmark::State& state, int step) {
    const Buffer& captured = Captured();
    Buffer copy(captured.view.width, captured.view.height, 3);
    for (auto _ : state) {
        glimra::ConvertLayout(captured.view, copy.view);
        glimra::StepBrightness(copy.view, step);
        benchmark::ClobberMemory();
    }
    Report(state);
}
void BM_Brighten(benchmark::State& state) {
    BrightnessCommand(state, glimra::kBrightenStep);
}
void BM_Darken(benchmark::State& state) {
    BrightnessCommand(state, glimra::kDarkenStep);
}
BENCHMARK(BM_Brighten)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Darken)->Unit(benchmark::kMillisecond);

// Invert: the picture brought to 24 bits, then inverted band by band with the repaint
// pacing of a display frame (the repaint itself is the window's and not measured).
void BM_Invert(benchmark::State& state) {
    const Buffer& captured = Captured();
    Buffer picture(captured.view.width, captured.view.height, 3);
    int repaints = 0;
    for (auto _ : state) {
        glimra::ConvertLayout(captured.view, picture.view);
        glimra::Invert(picture.view, [&](int, int) { ++repaints; });
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(repaints);
    Report(state);
}
BENCHMARK(BM_Invert)->Unit(benchmark::kMillisecond);

// The flips: the picture brought to 24 bits, then flipped into a new 24-bit target.
void FlipCommand(benchmark::State& state, bool mirrorRows, bool mirrorPixels) {
    const Buffer& captured = Captured();
    Buffer working(captured.view.width, captured.view.height, 3);
    Buffer target(captured.view.width, captured.view.height, 3);
    for (auto _ : state) {
        glimra::ConvertLayout(captured.view, working.view);
        glimra::Flip(mirrorRows, mirrorPixels, working.view, target.view);
        benchmark::ClobberMemory();
    }
    Report(state);
}
void BM_FlipVertical(benchmark::State& state) {
    FlipCommand(state, true, false);
}
void BM_FlipHorizontal(benchmark::State& state) {
    FlipCommand(state, false, true);
}
BENCHMARK(BM_FlipVertical)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FlipHorizontal)->Unit(benchmark::kMillisecond);

// The rotations: from the 32-bit picture into a new 32-bit target, as the commands call
// the routine (centre = size div 2, white background).
void RotateCommand(benchmark::State& state, long double angle) {
    const Buffer& captured = Captured();
    const glimra::Point centre{captured.view.width / 2, captured.view.height / 2};
    const glimra::Size size =
        glimra::RotatedSize(captured.view.width, captured.view.height, centre, angle);
    Buffer target(size.width, size.height, 4);
    for (auto _ : state) {
        glimra::Rotate(captured.view, centre, {255, 255, 255}, angle, target.view);
        benchmark::ClobberMemory();
    }
    Report(state);
}
constexpr long double kPi = 3.14159265358979323846264338327950288L;
void BM_Rotate90(benchmark::State& state) {
    RotateCommand(state, kPi / 2);
}
void BM_Rotate180(benchmark::State& state) {
    RotateCommand(state, kPi);
}
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate180)->Unit(benchmark::kMillisecond);

}  // namespace
namespace {
void BM_Pack(benchmark::State& state) {
    const Buffer& captured = Captured();
    Buffer picture(captured.view.width, captured.view.height, 3);
    for (auto _ : state) {
        glimra::ConvertLayout(captured.view, picture.view);
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_Pack)->Unit(benchmark::kMillisecond);
void BM_Copy32(benchmark::State& state) {
    const Buffer& captured = Captured();
    Buffer picture(captured.view.width, captured.view.height, 4);
    for (auto _ : state) {
        glimra::ConvertLayout(captured.view, picture.view);
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_Copy32)->Unit(benchmark::kMillisecond);
}  // namespace
namespace {
glimra::PixelView RowsOf(const glimra::PixelView& v, int a, int b) {
    return {v.Row(a), v.width, b - a, v.stride, v.bytesPerPixel};
}
template <int kBand>
void BM_BandBrighten(benchmark::State& state) {
    const Buffer& captured = Captured();
    Buffer copy(captured.view.width, captured.view.height, 3);
    const int h = captured.view.height;
    for (auto _ : state) {
        for (int y = 0; y < h; y += kBand) {
            int e = std::min(h, y + kBand);
            glimra::ConvertLayout(RowsOf(captured.view, y, e), RowsOf(copy.view, y, e));
            glimra::StepBrightness(RowsOf(copy.view, y, e), -10);
        }
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_BandBrighten<8>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BandBrighten<32>)->Unit(benchmark::kMillisecond);
template <int kBand, bool kScratch>
void BM_BandFlipH(benchmark::State& state) {
    const Buffer& captured = Captured();
    Buffer working(captured.view.width, kScratch ? kBand : captured.view.height, 3);
    Buffer target(captured.view.width, captured.view.height, 3);
    const int h = captured.view.height;
    for (auto _ : state) {
        for (int y = 0; y < h; y += kBand) {
            int e = std::min(h, y + kBand);
            auto w = kScratch ? RowsOf(working.view, 0, e - y) : RowsOf(working.view, y, e);
            glimra::ConvertLayout(RowsOf(captured.view, y, e), w);
            glimra::Flip(false, true, w, RowsOf(target.view, y, e));
        }
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_BandFlipH<8, false>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BandFlipH<8, true>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BandFlipH<32, true>)->Unit(benchmark::kMillisecond);
void BM_FlipOnly(benchmark::State& state) {
    const Buffer& captured = Captured();
    Buffer working(captured.view.width, captured.view.height, 3);
    Buffer target(captured.view.width, captured.view.height, 3);
    glimra::ConvertLayout(captured.view, working.view);
    for (auto _ : state) {
        glimra::Flip(false, true, working.view, target.view);
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_FlipOnly)->Unit(benchmark::kMillisecond);
}  // namespace
