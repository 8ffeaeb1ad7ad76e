// The screen recorder's GIF on a recorded sequence: every PNG of a folder, in
// the order of their names, is frame i at i * 1000 / RATE ms. Prints the file's
// size, the quality of its frames read back against the PNG frames ("exact"
// where every pixel is, else the PSNR in dB over all frames) and the time the
// encoder took a frame.
//
//   recording_gif FOLDER RATE [--out FILE]   encodes the frames (FILE keeps the GIF)
//   recording_gif FOLDER RATE --check FILE   judges another encoder's GIF of them
//
// The last line reads: bytes=N quality=exact|PSNR ms_per_frame=M (no ms_per_frame
// with --check).
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "output/byte_sink.h"
#include "output/save_error.h"
#include "recording/gif_animation.h"
#include "testing/recording/decoded_animation.h"

namespace {

struct Frame {
    std::vector<std::uint8_t> bgr;  // rows from the top, 3 bytes a pixel
    int width = 0, height = 0;
};

[[noreturn]] void Quit(const std::string& text) {
    std::fprintf(stderr, "recording_gif: %s\n", text.c_str());
    std::exit(1);
}

Frame LoadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        Quit("cannot read " + path + ": " + image.message);
    image.format = PNG_FORMAT_BGR;
    Frame frame;
    frame.width = static_cast<int>(image.width);
    frame.height = static_cast<int>(image.height);
    frame.bgr.resize(std::size_t{3} * image.width * image.height);
    if (!png_image_finish_read(&image, nullptr, frame.bgr.data(), 0, nullptr))
        Quit("cannot decode " + path + ": " + image.message);
    return frame;
}

std::vector<Frame> LoadFolder(const std::string& folder) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".png") paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    if (paths.empty()) Quit("no PNG file in " + folder);
    std::vector<Frame> frames;
    for (const std::string& path : paths) {
        frames.push_back(LoadPng(path));
        if (frames.back().width != frames.front().width ||
            frames.back().height != frames.front().height)
            Quit(path + " is not the size of the first frame");
    }
    return frames;
}

std::vector<std::uint8_t> ReadWhole(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) Quit("cannot open " + path);
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + count);
    std::fclose(file);
    return bytes;
}

// The frame a viewer shows at `milliseconds` from the start; the last one past the end.
const glimra::test::DecodedFrame& ShownAt(const glimra::test::DecodedAnimation& animation,
                                          double milliseconds) {
    double end = 0;
    for (const auto& frame : animation.frames) {
        end += 10.0 * frame.delay;
        if (milliseconds < end) return frame;
    }
    return animation.frames.back();
}

// "exact", or the PSNR over every channel of every frame, each input frame
// compared with what the GIF shows in the middle of its time.
std::string Quality(const std::vector<Frame>& frames, const glimra::test::DecodedAnimation& gif,
                    double rate) {
    if (gif.frames.empty()) Quit("the GIF holds no frame");
    if (gif.width != frames.front().width || gif.height != frames.front().height)
        Quit("the GIF is not the frames' size");
    double squares = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto& shown = ShownAt(gif, (static_cast<double>(i) + 0.5) * 1000.0 / rate);
        const std::uint8_t* bgr = frames[i].bgr.data();
        for (const std::uint32_t pixel : shown.pixels) {
            for (int channel = 0; channel < 3; ++channel) {
                const double difference =
                    static_cast<double>(pixel >> (8 * channel) & 0xFF) - bgr[channel];
                squares += difference * difference;
            }
            bgr += 3;
        }
    }
    if (squares == 0) return "exact";
    const double samples = 3.0 * static_cast<double>(frames.size()) *
                           static_cast<double>(frames.front().width) * frames.front().height;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 10 * std::log10(255.0 * 255.0 * samples / squares));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr, "usage: recording_gif FOLDER RATE [--out FILE | --check FILE]\n");
        return 2;
    }
    const double rate = std::atof(argv[2]);
    if (rate <= 0) Quit("the rate must be frames a second, more than 0");
    std::string out, check;
    if (argc == 5) {
        if (std::strcmp(argv[3], "--out") == 0)
            out = argv[4];
        else if (std::strcmp(argv[3], "--check") == 0)
            check = argv[4];
        else
            Quit(std::string("unknown option ") + argv[3]);
    }
    const std::vector<Frame> frames = LoadFolder(argv[1]);
    const int width = frames.front().width, height = frames.front().height;

    if (!check.empty()) {
        const std::vector<std::uint8_t> file = ReadWhole(check);
        std::printf("%zu frames of %d x %d, %s\n", frames.size(), width, height, check.c_str());
        std::printf("bytes=%zu quality=%s\n", file.size(),
                    Quality(frames, glimra::test::DecodeAnimation(file), rate).c_str());
        return 0;
    }

    glimra::VectorSink sink;
    const auto time = [&](std::size_t i) {
        return static_cast<std::int64_t>(std::llround(static_cast<double>(i) * 1000.0 / rate));
    };
    const auto start = std::chrono::steady_clock::now();
    try {
        glimra::GifAnimation animation(sink, width, height);
        for (std::size_t i = 0; i < frames.size(); ++i) {
            glimra::PixelView view{const_cast<std::uint8_t*>(frames[i].bgr.data()), width, height,
                                   3 * static_cast<std::ptrdiff_t>(width), 3};
            animation.Add(view, time(i));
        }
        animation.Finish(time(frames.size()));
    } catch (const glimra::SaveError& error) {
        Quit(error.what());
    }
    const double elapsed =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    if (!out.empty()) {
        std::FILE* file = std::fopen(out.c_str(), "wb");
        if (!file ||
            std::fwrite(sink.Bytes().data(), 1, sink.Bytes().size(), file) != sink.Bytes().size() ||
            std::fclose(file) != 0)
            Quit("cannot write " + out);
    }
    const auto gif = glimra::test::DecodeAnimation(sink.Bytes());
    std::printf("%zu frames of %d x %d, %zu images\n", frames.size(), width, height,
                gif.frames.size());
    std::printf("bytes=%zu quality=%s ms_per_frame=%.2f\n", sink.Bytes().size(),
                Quality(frames, gif, rate).c_str(), elapsed / static_cast<double>(frames.size()));
    return 0;
}
