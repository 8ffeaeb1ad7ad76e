// Windows' own text recogniser (Windows.Media.Ocr, Windows 10 and later) behind
// the engine interface. Everything it needs of the Windows Runtime is found when
// it is first created, so that the program still starts on Windows 7, where none
// of it exists; there, and wherever the recogniser or the language is missing,
// Create says why in a sentence for the user.
#pragma once

#include "ocr/engine.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace glimra::ocr {

class WindowsOcr : public Engine {
  public:
    // The recogniser for `languageTag` (BCP-47: "en-US", "de-DE"), or for the first
    // of the user's profile languages that has one where the tag is empty. Null
    // where there is none, with the reason in `why` (UTF-8, plain English).
    // Any thread will do; its apartment is left as it was.
    static std::unique_ptr<WindowsOcr> Create(const std::string& languageTag, std::string& why);
    ~WindowsOcr() override;

    // Reads one line (Engine). Meant for a worker thread, one call at a time: it
    // joins the multithreaded apartment for the call (a thread that already has a
    // single-threaded one keeps it). A line larger than MaxImageDimension is read
    // in pieces cut at blank columns, and scaled down where it is too tall. Throws
    // std::runtime_error, with the step and the system's reason, where Windows
    // fails.
    std::vector<Word> ReadLine(const GrayImage& line) override;

    // The language the recogniser reads (BCP-47), as Windows names it.
    const std::string& LanguageTag() const;
    // The largest width or height Windows reads in one piece.
    int MaxImageDimension() const;

    struct Runtime;
    struct State;

  private:
    explicit WindowsOcr(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Whether Windows can read `languageTag` (empty: the user's languages); the reason
// in `why` where it cannot.
bool WindowsOcrAvailable(const std::string& languageTag, std::string& why);

// The column ranges [first, last) a line is read in, each at most `maxWidth`
// wide, left to right and together covering the whole width. Each piece ends in
// the middle of the last run of blank columns (no ink: every pixel at least
// `paper`) within its reach that follows some ink, so that no word is cut; a
// stretch with no such gap is cut at the limit.
std::vector<std::pair<int, int>> LinePieces(const GrayImage& line, int maxWidth,
                                            std::uint8_t paper = 128);

}  // namespace glimra::ocr
