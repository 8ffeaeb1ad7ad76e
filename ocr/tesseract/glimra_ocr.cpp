// glimra_ocr.dll: the C interface (glimra_ocr.h) over TesseractReader. Nothing
// the engine throws leaves the DLL: a failure becomes a null reader with its
// reason, or a failed read.
#include "ocr/tesseract/glimra_ocr.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "ocr/tesseract/tesseract_reader.h"

struct glimra_ocr_reader {
    std::unique_ptr<glimra::ocr::TesseractReader> reader;
};

namespace {

void CopyError(const std::string& text, char* error, size_t size) {
    if (!error || size == 0) return;
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(error, text.data(), n);
    error[n] = '\0';
}

}  // namespace

extern "C" {

int32_t __cdecl glimra_ocr_version(void) {
    return GLIMRA_OCR_VERSION;
}

glimra_ocr_reader* __cdecl glimra_ocr_open(const void* model, size_t model_size,
                                           const char* language, char* error, size_t error_size) {
    try {
        if (!model || !language || !*language) {
            CopyError("no model or no language given", error, error_size);
            return nullptr;
        }
        std::string why;
        auto reader = glimra::ocr::TesseractReader::Open(
            std::string_view(static_cast<const char*>(model), model_size), language, why);
        if (!reader) {
            CopyError(why, error, error_size);
            return nullptr;
        }
        return new glimra_ocr_reader{std::move(reader)};
    } catch (const std::bad_alloc&) {
        CopyError("not enough memory to load the model", error, error_size);
    } catch (const std::exception& e) {
        CopyError(std::string("the model could not be loaded: ") + e.what(), error, error_size);
    } catch (...) {
        CopyError("the model could not be loaded", error, error_size);
    }
    return nullptr;
}

int32_t __cdecl glimra_ocr_read_line(glimra_ocr_reader* reader, const uint8_t* pixels,
                                     int32_t width, int32_t height, int32_t stride,
                                     glimra_ocr_word_fn word, void* context) {
    if (!reader || !pixels || width <= 0 || height <= 0 || stride < width || !word) return 0;
    try {
        glimra::ocr::GrayImage line;
        line.width = width;
        line.height = height;
        line.pixels.resize(size_t(width) * size_t(height));
        for (int32_t y = 0; y < height; ++y) {
            std::memcpy(line.pixels.data() + size_t(y) * size_t(width),
                        pixels + size_t(y) * size_t(stride), size_t(width));
        }
        for (const auto& w : reader->reader->ReadLine(line)) {
            const glimra_ocr_word out{w.text.c_str(), w.left, w.top, w.right, w.bottom};
            word(context, &out);
        }
        return 1;
    } catch (...) {
        return 0;
    }
}

void __cdecl glimra_ocr_close(glimra_ocr_reader* reader) {
    delete reader;
}

}  // extern "C"
