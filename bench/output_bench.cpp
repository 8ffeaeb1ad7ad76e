// Saving the 3840 x 2160 screenshot to a file in each format, compared in the
// same run with the command-line tools of the same libraries and ImageMagick on
// the same picture (their whole run, process start to exit, from a PPM file),
// and the BMP with one fwrite of the same bytes. Each comparison takes the
// least time of several runs on both sides and prints its ratio and limit.
#include <benchmark/benchmark.h>

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

constexpr int kToolRuns = 5;
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

// The least wall time of a few whole runs of a command.
double TimeCommand(const std::string& command) {
    double best = 1e30;
    for (int run = 0; run < kToolRuns; ++run) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
            std::abort();
        }
        best = std::min(best, SecondsSince(start));
    }
    return best;
}

// Runs the benchmark's iterations, each one opening a file, writing it with
// `write` and closing it; answers the least time of an iteration.
template <typename Write>
double TimeSaves(benchmark::State& state, const std::string& path, Write write) {
    double best = 1e30;
    for (auto _ : state) {
        const auto start = Clock::now();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) std::abort();
        write(file);
        std::fclose(file);
        best = std::min(best, SecondsSince(start));
    }
    return best;
}

// The screenshot as the program holds it: a picture of its own.
glimra::PixelView Shot() {
    static bench::Picture copy = bench::Screenshot();
    return copy.View();
}

void SaveWith(void (*writer)(const glimra::PixelView&, glimra::ByteSink&), std::FILE* file) {
    glimra::FileSink sink(file);
    writer(Shot(), sink);
}

std::uintmax_t FileSize(const std::string& path) {
    return fs::file_size(path);
}

void Report(benchmark::State& state, const char* ours, double oursSeconds, const char* theirs,
            double theirsSeconds, double limit) {
    const double ratio = oursSeconds / theirsSeconds;
    state.counters["ratio"] = ratio;
    bench::CompareWithMemcpy(state, bench::Screenshot().Bytes());
    std::printf("  %-10s %8.1f ms  vs %-52s %8.1f ms  ratio %.2f (limit %.2f)%s\n", ours,
                oursSeconds * 1e3, theirs, theirsSeconds * 1e3, ratio, limit,
                ratio <= limit ? "" : "  OVER THE LIMIT");
}

void BM_SaveBmp(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    glimra::VectorSink bytes;
    glimra::WriteBmp(Shot(), bytes);
    const std::string plain = scratch.Path("fwrite.bmp");
    double fwriteSeconds = 1e30;
    for (int run = 0; run < kToolRuns; ++run) {
        const auto start = Clock::now();
        std::FILE* file = std::fopen(plain.c_str(), "wb");
        if (!file) std::abort();
        std::fwrite(bytes.Bytes().data(), 1, bytes.Bytes().size(), file);
        std::fclose(file);
        fwriteSeconds = std::min(fwriteSeconds, SecondsSince(start));
    }
    const double ours = TimeSaves(state, scratch.Path("ours.bmp"),
                                  [](std::FILE* file) { SaveWith(glimra::WriteBmp, file); });
    Report(state, "BMP save", ours, "one fwrite of the same bytes", fwriteSeconds, 1.5);
}
BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_SaveJpeg(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    const double cjpeg =
        TimeCommand(std::string(kCjpeg) + " -quality 90 -outfile '" + scratch.Path("cjpeg.jpg") +
                    "' '" + scratch.Path("screenshot.ppm") + "'");
    const double ours = TimeSaves(state, scratch.Path("ours.jpg"),
                                  [](std::FILE* file) { SaveWith(glimra::WriteJpeg, file); });
    Report(state, "JPEG save", ours, "cjpeg -quality 90, whole run", cjpeg, 1.0);
}
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond)->Iterations(8);

void BM_SaveGif(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    const double convert =
        TimeCommand(std::string(kConvert) + " '" + scratch.Path("screenshot.ppm") +
                    "' -dither FloydSteinberg -colors 256 '" + scratch.Path("convert.gif") + "'");
    const double ours = TimeSaves(state, scratch.Path("ours.gif"),
                                  [](std::FILE* file) { SaveWith(glimra::WriteGif, file); });
    Report(state, "GIF save", ours, "convert -dither FloydSteinberg -colors 256, whole run",
           convert, 0.25);
}
BENCHMARK(BM_SaveGif)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SavePng(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    const std::string theirs = scratch.Path("convert.png");
    const double convert = TimeCommand(std::string(kConvert) + " '" +
                                       scratch.Path("screenshot.ppm") + "' '" + theirs + "'");
    const std::string path = scratch.Path("ours.png");
    const double ours =
        TimeSaves(state, path, [](std::FILE* file) { SaveWith(glimra::WritePng, file); });
    Report(state, "PNG save", ours, "convert to PNG, whole run", convert, 0.5);
    const double sizeRatio = static_cast<double>(FileSize(path)) / FileSize(theirs);
    state.counters["size_ratio"] = sizeRatio;
    std::printf("  %-10s %8ju bytes vs convert's %ju bytes: ratio %.3f (limit 1.10)%s\n",
                "PNG file", FileSize(path), FileSize(theirs), sizeRatio,
                sizeRatio <= 1.1 ? "" : "  OVER THE LIMIT");
}
BENCHMARK(BM_SavePng)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
