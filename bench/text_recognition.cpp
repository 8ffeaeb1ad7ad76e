// Text recognition measured on a folder of pictures of screen text with their
// true texts (NAME.png beside NAME.txt, as testing/ocr_images holds them): each
// picture is read through Glimra's pipeline (ocr/recognise.h) with the built-in
// recogniser, and its character error rate (ocr/text_errors.h) and time are
// printed, then the totals by size, smoothing and polarity.
//   text_recognition [--out DIR] [--engine tesseract|none] [--model FILE]
//                    [--x-height N] [--gamma G] [--gamma-dark G] [--margin M] [--filter
//                    bilinear|bicubic|lanczos]
//                    [--compare-cli] FOLDER
// --out writes each picture's text as read to DIR/NAME.txt; --engine none times
// the pipeline alone. --model names the English .traineddata (host: Debian's by
// default; the Windows build loads glimra_ocr.dll and tessdata\ beside itself,
// as the program does). --x-height, --gamma, --gamma-dark, --margin and --filter try other
// preparations than the pipeline's own. --compare-cli also runs Debian's `tesseract IMAGE -` with
// its defaults on each picture (host only) and prints its error rate beside ours.
#include <png.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ocr/recognise.h"
#include "ocr/text_errors.h"
#ifdef _WIN32
#include "ocr/windows/tesseract_dll.h"
#else
#include "ocr/tesseract/tesseract_reader.h"
#endif

namespace {

namespace fs = std::filesystem;
using glimra::ocr::TextErrors;
using Clock = std::chrono::steady_clock;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Picture {
    std::vector<std::uint8_t> pixels;
    glimra::PixelView view;
};

bool Load(const fs::path& path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.string().c_str())) return false;
    image.format = PNG_FORMAT_BGR;
    picture.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) return false;
    picture.view = {picture.pixels.data(), int(image.width), int(image.height),
                    std::ptrdiff_t(image.width) * 3, 3};
    return true;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

#ifndef _WIN32
// Debian's tesseract command with its defaults on the picture file.
std::string ReadWithCli(const fs::path& png) {
    const std::string command = "tesseract '" + png.string() + "' - 2>/dev/null";
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}
#endif

// The groups a picture counts in: its size class, and its smoothing and polarity.
std::vector<std::string> Groups(const std::string& name) {
    std::vector<std::string> groups{"all"};
    const std::size_t pt = name.find("pt-");
    if (pt == std::string::npos || pt < 2) return groups;
    const int points = std::atoi(name.substr(pt - 2, 2).c_str());
    const std::string size = points <= 8 ? "8pt" : points <= 12 ? "9-12pt" : "14pt";
    groups.push_back(size);
    const bool mono = name.find("mono") != std::string::npos;
    groups.push_back(size + (mono ? " monospace" : " proportional"));
    const std::string smoothing =
        name.find("cleartype") != std::string::npos ? "subpixel" : "greyscale";
    const std::string polarity = name.find("-dark-") != std::string::npos ? "dark" : "light";
    groups.push_back(size + " " + smoothing + " " + polarity);
    return groups;
}

struct Tally {
    TextErrors ours, cli;
    double ms = 0, cliMs = 0;
    int pictures = 0;
};

// Reads nothing: the pipeline's own time, without a recogniser's.
class NoEngine : public glimra::ocr::Engine {
  public:
    std::vector<glimra::ocr::Word> ReadLine(const glimra::ocr::GrayImage&) override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
    // Debian's Tesseract runs OpenMP threads, which spin on a busy machine and
    // measure more than one core; the program's own build has none. The limit is
    // read when the runtime loads, so the benchmark starts itself again with it.
    if (!std::getenv("OMP_THREAD_LIMIT")) {
        setenv("OMP_THREAD_LIMIT", "1", 1);
        execv("/proc/self/exe", argv);
    }
#endif
    std::string folder, out, engineName = "tesseract",
                             model = "/usr/share/tesseract-ocr/5/tessdata/eng.traineddata";
    bool compareCli = false;
    glimra::ocr::Preparation preparation;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool value = i + 1 < argc;
        if (a == "--out" && value) {
            out = argv[++i];
        } else if (a == "--engine" && value) {
            engineName = argv[++i];
            if (engineName != "tesseract" && engineName != "none") {
                std::fprintf(stderr, "engines: tesseract, none (the pipeline alone)\n");
                return 2;
            }
        } else if (a == "--model" && value) {
            model = argv[++i];
        } else if (a == "--x-height" && value) {
            preparation.xHeight = std::atof(argv[++i]);
        } else if (a == "--margin" && value) {
            preparation.margin = std::atoi(argv[++i]);
        } else if (a == "--gamma" && value) {
            preparation.inkGamma = std::atof(argv[++i]);
        } else if (a == "--gamma-dark" && value) {
            preparation.inkGammaDark = std::atof(argv[++i]);
        } else if (a == "--filter" && value) {
            const std::string f = argv[++i];
            preparation.filter = f == "bilinear"  ? glimra::ocr::Filter::Bilinear
                                 : f == "lanczos" ? glimra::ocr::Filter::Lanczos
                                                  : glimra::ocr::Filter::Bicubic;
        } else if (a == "--compare-cli") {
            compareCli = true;
        } else if (folder.empty() && a[0] != '-') {
            folder = a;
        } else {
            folder.clear();
            break;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr,
                     "usage: text_recognition [--out DIR] [--engine tesseract|none] [--model FILE] "
                     "[--x-height N] [--gamma G] [--gamma-dark G] [--margin M] [--filter "
                     "bilinear|bicubic|lanczos] "
                     "[--compare-cli] "
                     "FOLDER\n");
        return 2;
    }
    std::string error;
    std::unique_ptr<glimra::ocr::Engine> engine;
    if (engineName == "none") {
        engine = std::make_unique<NoEngine>();
    } else {
#ifdef _WIN32
        // As the program loads it: glimra_ocr.dll and tessdata\ beside this program.
        glimra::ocr::LoadError loadError;
        engine = glimra::ocr::TesseractDll::Load("", "eng", loadError);
        error = loadError.text;
        model = "glimra_ocr.dll";
#else
        engine = glimra::ocr::TesseractReader::Open(ReadFile(model), "eng", error);
#endif
    }
    if (!engine) {
        std::fprintf(stderr, "%s (%s)\n", error.c_str(), model.c_str());
        return 1;
    }
    if (!out.empty()) fs::create_directories(out);

    std::vector<fs::path> pictures;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".png" &&
            fs::exists(fs::path(entry.path()).replace_extension(".txt")))
            pictures.push_back(entry.path());
    std::sort(pictures.begin(), pictures.end());

    std::printf("%-46s %6s %6s %7s %8s", "picture", "chars", "edits", "errors", "ms");
    if (compareCli) std::printf(" %6s %7s %8s", "cli", "errors", "cli ms");
    std::printf("\n");
    std::map<std::string, Tally> tallies;
    std::atomic<bool> cancel{false};
    for (const fs::path& png : pictures) {
        Picture picture;
        if (!Load(png, picture)) {
            std::fprintf(stderr, "cannot read %s\n", png.string().c_str());
            return 1;
        }
        const std::string truth = ReadFile(fs::path(png).replace_extension(".txt"));
        const auto start = Clock::now();
        const glimra::ocr::Reading reading =
            glimra::ocr::Recognise(picture.view, *engine, cancel, preparation);
        const double ms = MillisecondsSince(start);
        std::string text;
        for (const std::string& line : reading.lines)
            text += line + "\n";
        const TextErrors errors = glimra::ocr::CountErrors(truth, text);
        const std::string name = png.stem().string();
        if (!out.empty()) std::ofstream(fs::path(out) / (name + ".txt"), std::ios::binary) << text;
        std::printf("%-46s %6zu %6zu %6.2f%% %8.1f", name.c_str(), errors.length, errors.edits,
                    100 * errors.Rate(), ms);
        TextErrors cli;
        double cliMs = 0;
#ifndef _WIN32
        if (compareCli) {
            const auto cliStart = Clock::now();
            cli = glimra::ocr::CountErrors(truth, ReadWithCli(png));
            cliMs = MillisecondsSince(cliStart);
            std::printf(" %6zu %6.2f%% %8.1f", cli.edits, 100 * cli.Rate(), cliMs);
        }
#endif
        std::printf("\n");
        for (const std::string& g : Groups(name)) {
            Tally& t = tallies[g];
            t.ours += errors;
            t.cli += cli;
            t.ms += ms;
            t.cliMs += cliMs;
            ++t.pictures;
        }
    }
    std::printf("\n%-32s %8s %6s %6s %7s %9s", "group", "pictures", "chars", "edits", "errors",
                "ms");
    if (compareCli) std::printf(" %6s %7s", "cli", "errors");
    std::printf("\n");
    for (const auto& [group, t] : tallies) {
        std::printf("%-32s %8d %6zu %6zu %6.2f%% %9.1f", group.c_str(), t.pictures, t.ours.length,
                    t.ours.edits, 100 * t.ours.Rate(), t.ms);
        if (compareCli) std::printf(" %6zu %6.2f%%", t.cli.edits, 100 * t.cli.Rate());
        std::printf("\n");
    }
    return 0;
}
