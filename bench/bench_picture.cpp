#include "bench/bench_picture.h"

#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>

namespace bench {

namespace {

Picture Load(const char* path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) {
        std::fprintf(stderr, "cannot read %s: %s\n", path, image.message);
        std::exit(1);
    }
    image.format = PNG_FORMAT_BGR;
    Picture picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.stride = (picture.width * 3 + 3) & ~3;
    picture.pixels.resize(static_cast<std::size_t>(picture.stride) * picture.height);
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), picture.stride, nullptr)) {
        std::fprintf(stderr, "cannot decode %s: %s\n", path, image.message);
        std::exit(1);
    }
    return picture;
}

}  // namespace

const Picture& Screenshot() {
    static const Picture picture = Load(GLIMRA_BENCH_PICTURE);
    return picture;
}

void CompareWithMemcpy(benchmark::State& state, std::size_t bytes) {
    state.counters["memcpy_bytes"] = static_cast<double>(bytes);
}

}  // namespace bench
