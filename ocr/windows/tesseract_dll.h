// The built-in recogniser as the program sees it: glimra_ocr.dll (Tesseract, see
// ocr/tesseract/glimra_ocr.h) loaded from the program's own folder when text is
// first read, with a model from tessdata/ beside it, behind the engine
// interface. Destroying the object closes the reader and frees the DLL, and
// with it all of Tesseract's memory.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ocr/engine.h"
#include "ocr/tesseract/glimra_ocr.h"

namespace glimra::ocr {

// Why the built-in recogniser could not be loaded: the kind, for the program to
// act on, and a sentence for the user (UTF-8).
struct LoadError {
    enum class Kind {
        None,
        NotInstalled,  // glimra_ocr.dll is not beside the program
        ModelMissing,  // the language's model is not installed
        ModelDamaged,  // the model's bytes are not those installed, or the engine refused them
        Failed,        // the DLL did not load, is of another version, or memory ran out
    };
    Kind kind = Kind::None;
    std::string text;
};

class TesseractDll : public Engine {
  public:
    // Loads glimra_ocr.dll from `programDir` (ANSI, as GetModuleFileNameA gives
    // it; empty: the running program's own folder) by its full path, never by the
    // search path, and opens the model tessdata\<language>.traineddata
    // ("eng", "deu") there. The model's size and SHA-256 are checked against
    // tessdata\models.txt, written when the program was built, before the engine
    // sees its bytes: Tesseract reads a damaged model's sizes on trust. Where
    // `programDir` is the program's own folder, its name is taken in wide
    // characters from the system, so that a folder the ANSI code page cannot
    // spell still loads. Null, with `error` saying which case, where it fails.
    static std::unique_ptr<TesseractDll> Load(const std::string& programDir,
                                              const std::string& language, LoadError& error);
    ~TesseractDll() override;

    TesseractDll(const TesseractDll&) = delete;
    TesseractDll& operator=(const TesseractDll&) = delete;

    // Reads one line (Engine); throws std::runtime_error where the engine fails.
    std::vector<Word> ReadLine(const GrayImage& line) override;

  private:
    struct Functions {
        glimra_ocr_read_line_fn readLine = nullptr;
        glimra_ocr_close_fn close = nullptr;
    };
    TesseractDll(HMODULE module, Functions functions, glimra_ocr_reader* reader);

    HMODULE module_;
    Functions functions_;
    glimra_ocr_reader* reader_;
};

}  // namespace glimra::ocr
