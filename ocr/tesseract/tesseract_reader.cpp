#include "ocr/tesseract/tesseract_reader.h"

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace glimra::ocr {

namespace {

// The resolution Tesseract is told the line has. The pipeline scales each line
// to the height Tesseract reads best at, which is that of ordinary print
// scanned at this resolution; without a resolution Tesseract estimates one and
// says so on the error stream.
constexpr int kResolution = 300;

// Less contrast than this between the darkest and the lightest pixel is no
// text. Tesseract reads a line without ink as one made-up word over the whole
// picture (it takes the page for the line's only blob).
constexpr int kLeastContrast = 64;

// Parameters set once a model is loaded: the pipeline hands over dark text on
// white, so a second reading of a poor word as light text on dark is time
// spent for nothing.
constexpr std::pair<const char*, const char*> kSettings[] = {
    {"tessedit_do_invert", "0"},
};

// Tesseract's reader of files, given in place of its own: it reads none. Where
// the bytes in memory are not a model, Tesseract would look for one on disk
// (<language>/<language>.traineddata below the current folder); this way it
// only fails.
bool ReadNoFile(const char*, std::vector<char>*) {
    return false;
}

struct DeleteText {
    void operator()(char* text) const { delete[] text; }
};

}  // namespace

TesseractReader::TesseractReader(std::unique_ptr<tesseract::TessBaseAPI> api)
    : api_(std::move(api)) {}

TesseractReader::~TesseractReader() {
    if (api_) api_->End();
}

std::unique_ptr<TesseractReader> TesseractReader::Open(std::string_view model,
                                                       const std::string& language,
                                                       std::string& error) {
    if (model.empty() || model.size() > std::size_t(INT_MAX)) {
        error = "the model of \"" + language + "\" is empty or too large";
        return nullptr;
    }
    auto api = std::make_unique<tesseract::TessBaseAPI>();
    // The LSTM engine only: the build for Windows leaves the older engine out, and
    // the models shipped are the fast LSTM ones.
    if (api->Init(model.data(), int(model.size()), language.c_str(), tesseract::OEM_LSTM_ONLY,
                  nullptr, 0, nullptr, nullptr, false, ReadNoFile) != 0) {
        error = "Tesseract could not load the model of \"" + language + "\"";
        return nullptr;
    }
    for (const auto& [name, value] : kSettings) {
        if (!api->SetVariable(name, value)) {
            error = std::string("Tesseract does not know the setting ") + name;
            return nullptr;
        }
    }
    api->SetPageSegMode(tesseract::PSM_SINGLE_LINE);
    return std::unique_ptr<TesseractReader>(new TesseractReader(std::move(api)));
}

std::vector<Word> TesseractReader::ReadLine(const GrayImage& line) {
    std::vector<Word> words;
    if (line.width <= 0 || line.height <= 0 ||
        line.pixels.size() < std::size_t(line.width) * std::size_t(line.height)) {
        return words;
    }
    const auto [darkest, lightest] = std::minmax_element(line.pixels.begin(), line.pixels.end());
    if (*lightest - *darkest < kLeastContrast) return words;
    api_->SetImage(line.pixels.data(), line.width, line.height, 1, line.width);
    api_->SetSourceResolution(kResolution);
    if (api_->Recognize(nullptr) == 0) {
        std::unique_ptr<tesseract::ResultIterator> it(api_->GetIterator());
        if (it && !it->Empty(tesseract::RIL_WORD)) {
            do {
                std::unique_ptr<char, DeleteText> text(it->GetUTF8Text(tesseract::RIL_WORD));
                Word word;
                if (!text || !*text.get() ||
                    !it->BoundingBox(tesseract::RIL_WORD, &word.left, &word.top, &word.right,
                                     &word.bottom)) {
                    continue;
                }
                word.text = text.get();
                words.push_back(std::move(word));
            } while (it->Next(tesseract::RIL_WORD));
        }
    }
    // Drops the picture and the results, so that the reader holds no line's
    // memory between reads.
    api_->Clear();
    return words;
}

}  // namespace glimra::ocr
