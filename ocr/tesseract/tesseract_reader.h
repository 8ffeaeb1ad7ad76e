// The built-in recogniser: Tesseract's LSTM engine reading one line at a time.
// The same class serves the host (Debian's libtesseract, for the tests and the
// benchmarks) and the DLL the Windows program loads (glimra_ocr.dll), so that
// both read with the same settings. Tesseract's headers stay in the .cpp file.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ocr/engine.h"

namespace tesseract {
class TessBaseAPI;
}

namespace glimra::ocr {

class TesseractReader : public Engine {
  public:
    // Opens a reader of `language` (its name, "eng", "deu") from the bytes of its
    // .traineddata file, held in memory, so that no path is ever handed to
    // Tesseract. The bytes are needed only during the call. Returns null, with
    // `error` saying why, when Tesseract does not take the model.
    static std::unique_ptr<TesseractReader> Open(std::string_view model,
                                                 const std::string& language, std::string& error);
    ~TesseractReader() override;

    TesseractReader(const TesseractReader&) = delete;
    TesseractReader& operator=(const TesseractReader&) = delete;

    // Reads one line of dark text on white as a single line (no layout
    // analysis). One reader reads on one thread at a time.
    std::vector<Word> ReadLine(const GrayImage& line) override;

  private:
    explicit TesseractReader(std::unique_ptr<tesseract::TessBaseAPI> api);

    std::unique_ptr<tesseract::TessBaseAPI> api_;
};

}  // namespace glimra::ocr
