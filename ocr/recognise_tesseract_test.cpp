// The pipeline with the built-in recogniser (Debian's Tesseract on the host) on
// pictures of the image set that GDI drew: small text, light on dark, subpixel
// fringes, line numbers beside code, two columns.
#include <png.h>

#include <gtest/gtest.h>

#include <atomic>
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ocr/recognise.h"
#include "ocr/tesseract/tesseract_reader.h"
#include "ocr/text_errors.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(RecogniseWithTesseract, ReadsScreenTextOfTheImageSet) {
    const std::string model = ReadFile("/usr/share/tesseract-ocr/5/tessdata/eng.traineddata");
    if (model.empty()) GTEST_SKIP() << "no English model";
    std::string error;
    const auto reader = glimra::ocr::TesseractReader::Open(model, "eng", error);
    ASSERT_TRUE(reader) << error;
    // The error rates allowed are a little above what the benchmark measures.
    const std::pair<const char*, double> pictures[] = {
        {"tahoma-08pt-cleartype-dark-prose", 0.02},
        {"dejavusans-11pt-antialiased-dark-prose", 0.01},
        {"nimbussans-12pt-cleartype-dark-prose", 0.01},
        {"dejavusansmono-10pt-cleartype-dark-code", 0.03},
        {"dejavusans-10pt-cleartype-dark-columns", 0.01},
        {"tahoma-08pt-antialiased-light-dialog", 0.02},
    };
    for (const auto& [name, allowed] : pictures) {
        SCOPED_TRACE(name);
        const std::string base = std::string(GLIMRA_OCR_IMAGES) + "/" + name;
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, (base + ".png").c_str()));
        image.format = PNG_FORMAT_BGR;
        std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
        const glimra::PixelView view{pixels.data(), int(image.width), int(image.height),
                                     std::ptrdiff_t(image.width) * 3, 3};
        std::atomic<bool> cancel{false};
        const glimra::ocr::Reading reading = glimra::ocr::Recognise(view, *reader, cancel);
        std::string text;
        for (const std::string& line : reading.lines)
            text += line + "\n";
        const std::string truth = ReadFile(base + ".txt");
        // One line read for each true line: none split, none joined.
        EXPECT_EQ(reading.lines.size(), std::size_t(std::count(truth.begin(), truth.end(), '\n')));
        EXPECT_LE(glimra::ocr::CountErrors(truth, text).Rate(), allowed) << text;
    }
}

}  // namespace
