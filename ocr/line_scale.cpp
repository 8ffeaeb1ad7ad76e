#include "ocr/line_scale.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace glimra::ocr {

namespace {

double Support(Filter f) {
    return f == Filter::Bilinear ? 1 : f == Filter::Bicubic ? 2 : 3;
}

double Weight(Filter f, double x) {
    x = std::abs(x);
    switch (f) {
        case Filter::Bilinear:
            return std::max(0.0, 1 - x);
        case Filter::Bicubic:  // Catmull-Rom: sharp, and exact at the samples
            if (x < 1) return 1.5 * x * x * x - 2.5 * x * x + 1;
            if (x < 2) return -0.5 * x * x * x + 2.5 * x * x - 4 * x + 2;
            return 0;
        case Filter::Lanczos: {
            if (x < 1e-9) return 1;
            if (x >= 3) return 0;
            const double px = std::numbers::pi * x;
            return 3 * std::sin(px) * std::sin(px / 3) / (px * px);
        }
    }
    return 0;
}

// For each of `count` output samples, the first input sample it reads and the
// weights of the inputs from there, normalised to 1. Inputs outside the line
// read as paper.
struct Taps {
    std::vector<int> first;
    std::vector<float> weights;
    int perSample = 0;
};

Taps MakeTaps(int count, double factor, int margin, Filter filter) {
    Taps taps;
    const double support = Support(filter);
    taps.perSample = int(2 * support) + 1;
    taps.first.resize(std::size_t(count));
    taps.weights.resize(std::size_t(count) * std::size_t(taps.perSample));
    for (int i = 0; i < count; ++i) {
        const double centre = (i - margin + 0.5) / factor - 0.5;
        const int first = int(std::floor(centre - support)) + 1;
        taps.first[std::size_t(i)] = first;
        float* w = &taps.weights[std::size_t(i) * std::size_t(taps.perSample)];
        double sum = 0;
        for (int k = 0; k < taps.perSample; ++k)
            sum += w[k] = float(Weight(filter, first + k - centre));
        for (int k = 0; k < taps.perSample; ++k)
            w[k] = float(w[k] / sum);
    }
    return taps;
}

}  // namespace

GrayImage ScaleLine(const GrayImage& line, double factor, int margin, Filter filter) {
    factor = std::max(1.0, factor);
    GrayImage out;
    const int innerWidth = int(std::lround(line.width * factor));
    const int innerHeight = int(std::lround(line.height * factor));
    out.width = innerWidth + 2 * margin;
    out.height = innerHeight + 2 * margin;
    out.pixels.assign(std::size_t(out.width) * std::size_t(out.height), 255);
    if (line.width == 0 || line.height == 0) return out;

    // Rows first, as ink (255 - gray) so that outside the line reads as 0. Only
    // the line's own place is computed: the margin stays paper, however far a
    // filter reaches at a large factor.
    const Taps across = MakeTaps(out.width, factor, margin, filter);
    std::vector<float> wide(std::size_t(out.width) * std::size_t(line.height));
    for (int y = 0; y < line.height; ++y) {
        const std::uint8_t* in = &line.pixels[std::size_t(y) * std::size_t(line.width)];
        float* o = &wide[std::size_t(y) * std::size_t(out.width)];
        for (int x = margin; x < margin + innerWidth; ++x) {
            const int first = across.first[std::size_t(x)];
            const float* w = &across.weights[std::size_t(x) * std::size_t(across.perSample)];
            float sum = 0;
            for (int k = 0; k < across.perSample; ++k) {
                const int from = first + k;
                if (from >= 0 && from < line.width) sum += w[k] * float(255 - in[from]);
            }
            o[x] = sum;
        }
    }
    const Taps down = MakeTaps(out.height, factor, margin, filter);
    std::vector<float> sums(std::size_t(out.width));
    for (int y = margin; y < margin + innerHeight; ++y) {
        const int first = down.first[std::size_t(y)];
        const float* w = &down.weights[std::size_t(y) * std::size_t(down.perSample)];
        std::uint8_t* o = &out.pixels[std::size_t(y) * std::size_t(out.width)];
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (int k = 0; k < down.perSample; ++k) {
            const int from = first + k;
            if (from < 0 || from >= line.height) continue;
            const float* in = &wide[std::size_t(from) * std::size_t(out.width)];
            for (int x = 0; x < out.width; ++x)
                sums[std::size_t(x)] += w[k] * in[x];
        }
        for (int x = margin; x < margin + innerWidth; ++x)
            o[x] = std::uint8_t(255 - std::clamp(int(std::lround(sums[std::size_t(x)])), 0, 255));
    }
    return out;
}

}  // namespace glimra::ocr
