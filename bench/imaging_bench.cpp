// The picture commands on the 3840 x 2160 screenshot, each whole, conversions included,
// starting from the picture as captured: 32 bits per pixel (blue, green, red, fourth
// byte), as the display gives it. Each is reported as a ratio to memcpy of the
// captured picture's bytes.
#include <benchmark/benchmark.h>

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
        bench::Picture shot = bench::Screenshot();
        Buffer buffer(shot.width, shot.height, 4);
        glimra::ConvertLayout(shot.View(), buffer.view);
        return buffer;
    }();
    return captured;
}

void Report(benchmark::State& state) {
    bench::CompareWithMemcpy(state, Captured().bytes.size());
}

// Grayscale works in place on the 32-bit picture (which needs no conversion); each round
// starts again from the captured pixels, copied outside the timing, since gray pixels
// have no exact halves.
void BM_Grayscale(benchmark::State& state) {
    const Buffer& captured = Captured();
    Buffer picture(captured.view.width, captured.view.height, 4);
    const glimra::PixelView& view = picture.view;
    for (auto _ : state) {
        state.PauseTiming();
        picture.bytes = captured.bytes;
        state.ResumeTiming();
        glimra::ConvertLayoutInBands(view, view, [&](int first, int end) {
            return glimra::Grayscale(view.Rows(first, end));
        });
        benchmark::ClobberMemory();
    }
    Report(state);
}
BENCHMARK(BM_Grayscale)->Unit(benchmark::kMillisecond);

// Brighten and Darken: a 24-bit working copy of the picture, the step applied band by
// band as the copy is made.
void BrightnessCommand(benchmark::State& state, int step) {
    const Buffer& captured = Captured();
    Buffer copy(captured.view.width, captured.view.height, 3);
    const glimra::PixelView& view = copy.view;
    for (auto _ : state) {
        glimra::ConvertLayoutInBands(captured.view, view, [&](int first, int end) {
            return glimra::StepBrightness(view.Rows(first, end), step);
        });
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

// Invert: the picture brought to 24 bits and inverted, with the repaint pacing of a
// display frame (the repaint itself is the window's and not measured).
void BM_Invert(benchmark::State& state) {
    const Buffer& captured = Captured();
    Buffer picture(captured.view.width, captured.view.height, 3);
    int repaints = 0;
    for (auto _ : state) {
        glimra::Invert(captured.view, picture.view, [&](int, int) { ++repaints; });
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(repaints);
    Report(state);
}
BENCHMARK(BM_Invert)->Unit(benchmark::kMillisecond);

// The flips: the picture flipped into a new 24-bit target, conversion included.
void FlipCommand(benchmark::State& state, bool mirrorRows, bool mirrorPixels) {
    const Buffer& captured = Captured();
    Buffer target(captured.view.width, captured.view.height, 3);
    for (auto _ : state) {
        glimra::FlipPicture(mirrorRows, mirrorPixels, captured.view, target.view);
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
// the routine.
void RotateCommand(benchmark::State& state, int quarters) {
    const Buffer& captured = Captured();
    const glimra::Size size =
        glimra::RotatedSize(captured.view.width, captured.view.height, quarters);
    Buffer target(size.width, size.height, 4);
    for (auto _ : state) {
        glimra::Rotate(captured.view, quarters, target.view);
        benchmark::ClobberMemory();
    }
    Report(state);
}
void BM_Rotate90(benchmark::State& state) {
    RotateCommand(state, 1);
}
void BM_Rotate180(benchmark::State& state) {
    RotateCommand(state, 2);
}
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate180)->Unit(benchmark::kMillisecond);

}  // namespace
