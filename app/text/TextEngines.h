// Which recogniser reads: "Automatic" (Windows' own where it has the language,
// else the built-in one), "Windows" or "Built-in", kept in the registry as
// "TextRecognition". The built-in engine (a DLL beside the program, with its
// models) stays loaded between readings and is let go 30 seconds after the
// last one, which gives its memory back; Windows' engine is made for each
// reading on the thread that reads.
#pragma once

#include <memory>
#include <string>

#include "ocr/engine.h"
#include "ui/TTimer.h"

enum class TextEngineChoice { Automatic, Windows, BuiltIn };

TextEngineChoice StoredTextEngine();
void StoreTextEngine(TextEngineChoice choice);

class TextEngines {
  public:
    TextEngines();
    ~TextEngines();

    // The engine for a reading in `language` (the name of Glimra's language,
    // "Deutsch" or another), made or kept on the calling thread; null with the
    // reason in `why`. `windows` holds Windows' engine when that is the one:
    // the caller lets it go on the same thread.
    glimra::ocr::Engine* Open(TextEngineChoice choice, const std::string& language,
                              std::unique_ptr<glimra::ocr::Engine>& windows, std::string& why);
    // A reading starts: the built-in engine stays until it has ended.
    void Hold();
    // A reading has ended: the built-in engine goes 30 seconds from now unless
    // another reading comes first.
    void Used();
    // The built-in engine is loaded.
    bool Loaded() const { return builtIn_ != nullptr; }

  private:
    glimra::ocr::Engine* BuiltIn(const std::string& model, std::string& why);

    std::unique_ptr<glimra::ocr::Engine> builtIn_;
    std::string builtInModel_;
    ui::TTimer release_{nullptr};
};
