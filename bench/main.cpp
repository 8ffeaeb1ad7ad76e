// Benchmark main: runs memcpy of the screenshot's bytes first, then every other
// benchmark, and prints after each one marked with CompareWithMemcpy its time as
// a ratio to memcpy of the same number of bytes in this run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_picture.h"

namespace {

void BM_memcpy(benchmark::State& state) {
    const auto& picture = bench::Screenshot();
    std::vector<std::uint8_t> target(picture.Bytes());
    for (auto _ : state) {
        std::memcpy(target.data(), picture.pixels.data(), picture.Bytes());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    bench::CompareWithMemcpy(state, picture.Bytes());
}
BENCHMARK(BM_memcpy)->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            auto it = run.counters.find("memcpy_bytes");
            if (it == run.counters.end() || run.iterations == 0 || run.aggregate_name != "")
                continue;
            const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
            measured_.push_back({run.benchmark_name(), seconds / it->second.value});
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        double memcpyPerByte = 0;
        for (const auto& m : measured_)
            if (m.name == "BM_memcpy") memcpyPerByte = m.secondsPerByte;
        if (memcpyPerByte <= 0) return;
        std::printf("\nTime as a ratio to memcpy of the same bytes, this run:\n");
        for (const auto& m : measured_)
            if (m.name != "BM_memcpy")
                std::printf("  %-48s %6.2f\n", m.name.c_str(), m.secondsPerByte / memcpyPerByte);
    }

  private:
    struct Measured {
        std::string name;
        double secondsPerByte;
    };
    std::vector<Measured> measured_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
