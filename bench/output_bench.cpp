// Saving the 3840 x 2160 screenshot to a file in each format, compared in the
// same run with the command-line tools of the same libraries and ImageMagick on
// the same picture (their whole run, process start to exit, from a PPM file),
// and the BMP with one fwrite of the same bytes. Each comparison takes the
// least time of several runs on both sides and prints its ratio and limit.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_picture.h"
#include "output/bmp_writer.h"
#include "output/byte_sink.h"
#include "output/gif_writer.h"
#include "output/jpeg_writer.h"
#include "output/png_writer.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kConvert = "/usr/bin/convert";  // the real ImageMagick
constexpr const char* kCjpeg = "/usr/bin/cjpeg";

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A folder of this run's files: the screenshot as PPM for the tools, and the
// files written. Removed at exit.
class Scratch {
  public:
    static Scratch& Get() {
        static Scratch scratch;
        return scratch;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string Path(const char* name) const { return (dir_ / name).string(); }

  private:
    Scratch()
        : dir_(fs::temp_directory_path() /
               ("glimra-output-bench-" + std::to_string(Clock::now().time_since_epoch().count()))) {
        fs::create_directories(dir_);
        const bench::Picture& shot = bench::Screenshot();
        std::FILE* file = std::fopen(Path("screenshot.ppm").c_str(), "wb");
        if (!file) std::abort();
        std::fprintf(file, "P6\n%d %d\n255\n", shot.width, shot.height);
        std::vector<std::uint8_t> row(std::size_t{3} * shot.width);
        for (int y = 0; y < shot.height; ++y) {
            const std::uint8_t* bgr = shot.pixels.data() + std::size_t{1} * shot.stride * y;
            for (int x = 0; x < shot.width; ++x) {
                row[3 * x] = bgr[3 * x + 2];
                row[3 * x + 1] = bgr[3 * x + 1];
                row[3 * x + 2] = bgr[3 * x];
            }
            std::fwrite(row.data(), 1, row.size(), file);
        }
        std::fclose(file);
    }

    fs::path dir_;
};

// Runs a shell command to its end; answers its wall time.
double RunCommand(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "failed: %s\n", command.c_str());
        std::abort();
    }
    return SecondsSince(start);
}

// The screenshot as the program holds it: a picture of its own.
glimra::PixelView Shot() {
    static bench::Picture copy = bench::Screenshot();
    return copy.View();
}

// Opens `path`, saves the screenshot there with `writer`, closes it; answers
// the wall time of all three.
double Save(void (*writer)(const glimra::PixelView&, glimra::ByteSink&), const std::string& path) {
    const auto start = Clock::now();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    glimra::FileSink sink(file);
    writer(Shot(), sink);
    std::fclose(file);
    return SecondsSince(start);
}

// Each iteration runs our save and then the other side once; the two are
// compared by their least times, so that both see the same moments of a busy
// machine. Prints the ratio and its limit.
template <typename Ours, typename Theirs>
void Compare(benchmark::State& state, const char* what, Ours ours, const char* other, Theirs theirs,
             double limit) {
    double oursBest = 1e30, theirsBest = 1e30;
    for (auto _ : state) {
        oursBest = std::min(oursBest, ours());
        state.PauseTiming();
        theirsBest = std::min(theirsBest, theirs());
        state.ResumeTiming();
    }
    const double ratio = oursBest / theirsBest;
    state.counters["ratio"] = ratio;
    bench::CompareWithMemcpy(state, bench::Screenshot().Bytes());
    std::printf("  %-9s %8.1f ms  vs %-54s %8.1f ms  ratio %.3f (limit %.2f)%s\n", what,
                oursBest * 1e3, other, theirsBest * 1e3, ratio, limit,
                ratio <= limit ? "" : "  OVER THE LIMIT");
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

void BM_SaveBmp(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    glimra::VectorSink bytes;
    glimra::WriteBmp(Shot(), bytes);
    const std::string plain = scratch.Path("fwrite.bmp");
    Compare(
        state, "BMP save", [&] { return Save(glimra::WriteBmp, scratch.Path("ours.bmp")); },
        "one fwrite of the same bytes",
        [&] {
            const auto start = Clock::now();
            std::FILE* file = std::fopen(plain.c_str(), "wb");
            if (!file) std::abort();
            std::fwrite(bytes.Bytes().data(), 1, bytes.Bytes().size(), file);
            std::fclose(file);
            return SecondsSince(start);
        },
        1.5);
}
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SaveJpeg(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    const std::string cjpeg = std::string(kCjpeg) + " -quality 90 -outfile " +
                              Quoted(scratch.Path("cjpeg.jpg")) + " " +
                              Quoted(scratch.Path("screenshot.ppm"));
    Compare(
        state, "JPEG save", [&] { return Save(glimra::WriteJpeg, scratch.Path("ours.jpg")); },
        "cjpeg -quality 90, whole run", [&] { return RunCommand(cjpeg); }, 1.0);
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SaveGif(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    const std::string convert =
        std::string(kConvert) + " " + Quoted(scratch.Path("screenshot.ppm")) +
        " -dither FloydSteinberg -colors 256 " + Quoted(scratch.Path("convert.gif"));
    Compare(
        state, "GIF save", [&] { return Save(glimra::WriteGif, scratch.Path("ours.gif")); },
        "convert -dither FloydSteinberg -colors 256, whole run",
        [&] { return RunCommand(convert); }, 0.25);
}
BENCHMARK(BM_SaveGif)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SavePng(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    const std::string ours = scratch.Path("ours.png"), theirs = scratch.Path("convert.png");
    const std::string convert =
        std::string(kConvert) + " " + Quoted(scratch.Path("screenshot.ppm")) + " " + Quoted(theirs);
    Compare(
        state, "PNG save", [&] { return Save(glimra::WritePng, ours); },
        "convert to PNG, whole run", [&] { return RunCommand(convert); }, 0.5);
    const auto oursSize = fs::file_size(ours), theirsSize = fs::file_size(theirs);
    const double sizeRatio = static_cast<double>(oursSize) / static_cast<double>(theirsSize);
    state.counters["size_ratio"] = sizeRatio;
    std::printf("  %-9s %8ju bytes vs convert's %ju bytes: ratio %.3f (limit 1.10)%s\n", "PNG file",
                static_cast<std::uintmax_t>(oursSize), static_cast<std::uintmax_t>(theirsSize),
                sizeRatio, sizeRatio <= 1.1 ? "" : "  OVER THE LIMIT");
}
BENCHMARK(BM_SavePng)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
