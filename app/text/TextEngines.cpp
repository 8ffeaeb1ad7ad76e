#include "app/text/TextEngines.h"

#include <windows.h>

#include "app/Settings.h"
#include "ocr/windows/tesseract_dll.h"
#include "ocr/windows/windows_ocr.h"

namespace {

constexpr const char* kSetting = "TextRecognition";
constexpr unsigned kReleaseAfter = 30000;  // milliseconds after the last reading

struct Language {
    const char* windowsTag;  // BCP-47, for Windows' engine
    const char* model;       // the built-in engine's model
};

// Glimra's language picks the recognisers' language; English where it has no
// model of its own.
Language LanguageOf(const std::string& name) {
    if (name == "Deutsch") return {"de-DE", "deu"};
    return {"en-US", "eng"};
}

std::string ProgramFolder() {
    char path[MAX_PATH * 2] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/"));
}

}  // namespace

TextEngineChoice StoredTextEngine() {
    const std::string stored = ReadSetting(kSetting);
    if (stored == "Windows") return TextEngineChoice::Windows;
    if (stored == "Built-in") return TextEngineChoice::BuiltIn;
    return TextEngineChoice::Automatic;
}

void StoreTextEngine(TextEngineChoice choice) {
    WriteSetting(kSetting, choice == TextEngineChoice::Windows   ? "Windows"
                           : choice == TextEngineChoice::BuiltIn ? "Built-in"
                                                                 : "Automatic");
}

TextEngines::TextEngines() {
    release_.SetEnabled(false);
    release_.SetInterval(kReleaseAfter);
    release_.OnTimer = [this](ui::TObject*) {
        release_.SetEnabled(false);
        builtIn_.reset();
    };
}

TextEngines::~TextEngines() = default;

void TextEngines::Hold() {
    release_.SetEnabled(false);
}

void TextEngines::Used() {
    release_.SetEnabled(false);
    release_.SetEnabled(builtIn_ != nullptr);
}

glimra::ocr::Engine* TextEngines::Open(TextEngineChoice choice, const std::string& language,
                                       std::unique_ptr<glimra::ocr::Engine>& windows,
                                       std::string& why) {
    const Language lang = LanguageOf(language);
    if (choice != TextEngineChoice::BuiltIn) {
        std::string windowsWhy;
        windows = glimra::ocr::WindowsOcr::Create(lang.windowsTag, windowsWhy);
        if (windows) return windows.get();
        if (choice == TextEngineChoice::Windows) {
            why = windowsWhy +
                  "\n\nChoose \"Built-in\" under \"Text Recognition\" in the "
                  "\"Config\" menu to read with Glimra's own recogniser.";
            return nullptr;
        }
    }
    return BuiltIn(lang.model, why);
}

glimra::ocr::Engine* TextEngines::BuiltIn(const std::string& model, std::string& why) {
    if (builtIn_ && builtInModel_ == model) return builtIn_.get();
    builtIn_.reset();
    glimra::ocr::LoadError error;
    builtIn_ = glimra::ocr::TesseractDll::Load(ProgramFolder(), model, error);
    if (!builtIn_) {
        why = error.text;
        return nullptr;
    }
    builtInModel_ = model;
    return builtIn_.get();
}
