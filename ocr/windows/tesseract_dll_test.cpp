// The built-in recogniser as the program loads it: the real glimra_ocr.dll and
// models of the build tree (its folder is the first argument), a line drawn by
// GDI read back, and an installation with a part missing or damaged, laid out
// in a folder of the tests' output, which must give its own error and leave the
// process running.
#include "ocr/windows/tesseract_dll.h"

#include "ocr/windows/gdi_text_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using glimra::ocr::GdiTextLine;
using glimra::ocr::GrayImage;
using glimra::ocr::LoadError;
using glimra::ocr::TesseractDll;
using Kind = LoadError::Kind;

std::string WindowsPath(std::string path) {
    if (path.empty() || path[0] != '/') return path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

std::string BuildFolder() {
    const auto args = ::testing::internal::GetArgvs();
    return args.size() > 1 ? WindowsPath(args[1]) : ".";
}

TEST(TesseractDll, ReadsALineDrawnByGdiAndFreesTheDll) {
    // 12-point Tahoma (16 pixels at 96 dpi) scaled three times, as the pipeline
    // hands a line of small screen text over.
    const GrayImage line = GdiTextLine("Hello World 123", 16, 8, 3);
    {
        LoadError error;
        auto engine = TesseractDll::Load(BuildFolder(), "eng", error);
        ASSERT_TRUE(engine) << error.text;
        EXPECT_EQ(error.kind, Kind::None);
        EXPECT_TRUE(::GetModuleHandleW(L"glimra_ocr.dll"));

        const auto words = engine->ReadLine(line);
        std::string text;
        int right = 0;
        for (const auto& word : words) {
            text += (text.empty() ? "" : " ") + word.text;
            // Left to right, each inside the picture and after the one before.
            EXPECT_GE(word.left, right) << word.text;
            EXPECT_LT(word.left, word.right) << word.text;
            EXPECT_LE(word.right, line.width) << word.text;
            EXPECT_GE(word.top, 0) << word.text;
            EXPECT_LE(word.bottom, line.height) << word.text;
            right = word.right;
        }
        EXPECT_EQ(text, "Hello World 123");

        // An empty line has no words; a second reading reads the same.
        GrayImage blank = line;
        std::fill(blank.pixels.begin(), blank.pixels.end(), std::uint8_t(255));
        EXPECT_TRUE(engine->ReadLine(blank).empty());
        EXPECT_EQ(engine->ReadLine(line).size(), words.size());
    }
    // The reader closed and the DLL freed with the object.
    EXPECT_FALSE(::GetModuleHandleW(L"glimra_ocr.dll"));

    LoadError error;
    EXPECT_TRUE(TesseractDll::Load(BuildFolder(), "deu", error)) << error.text;
}

// A folder laid out as the program's: the DLL beside it, the English model and
// models.txt in tessdata\. Each case breaks one part of a fresh copy.
class Installation : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* output = std::getenv("GLIMRA_TEST_OUTPUT");
        folder_ = fs::path(WindowsPath(output ? output : ".")) / "tesseract-installation";
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "tessdata");
        const fs::path build = BuildFolder();
        fs::copy_file(build / "glimra_ocr.dll", folder_ / "glimra_ocr.dll");
        for (const char* file : {"eng.traineddata", "models.txt"})
            fs::copy_file(build / "tessdata" / file, folder_ / "tessdata" / file);
        model_ = folder_ / "tessdata" / "eng.traineddata";
    }

    Kind LoadKind(const char* language = "eng") {
        LoadError error;
        auto engine = TesseractDll::Load(folder_.string(), language, error);
        EXPECT_EQ(engine != nullptr, error.kind == Kind::None) << error.text;
        EXPECT_EQ(error.text.empty(), error.kind == Kind::None);
        return error.kind;
    }

    std::string ModelBytes() {
        std::ifstream in(model_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void WriteModel(const std::string& bytes) {
        std::ofstream(model_, std::ios::binary | std::ios::trunc) << bytes;
    }

    fs::path folder_;
    fs::path model_;
};

TEST_F(Installation, LoadsFromAFolderOfItsOwn) {
    EXPECT_EQ(LoadKind(), Kind::None);
}

TEST_F(Installation, WithoutTheDllIsNotInstalled) {
    fs::rename(folder_ / "glimra_ocr.dll", folder_ / "glimra_ocr.dll.away");
    EXPECT_EQ(LoadKind(), Kind::NotInstalled);
}

TEST_F(Installation, AModelOrItsListingGoneIsMissing) {
    EXPECT_EQ(LoadKind("deu"), Kind::ModelMissing);  // not copied here
    EXPECT_EQ(LoadKind("fra"), Kind::ModelMissing);  // not shipped at all
    fs::remove(folder_ / "tessdata" / "models.txt");
    EXPECT_EQ(LoadKind(), Kind::ModelMissing);
}

TEST_F(Installation, ADamagedModelIsToldAndTheProcessGoesOn) {
    const std::string good = ModelBytes();
    ASSERT_GT(good.size(), 1000000u);
    WriteModel(good.substr(0, good.size() / 3));
    EXPECT_EQ(LoadKind(), Kind::ModelDamaged);
    WriteModel("");
    EXPECT_EQ(LoadKind(), Kind::ModelDamaged);
    // Its size kept: only the checksum tells.
    std::string changed = good;
    for (std::size_t i = 4096; i < changed.size(); i += 65536)
        changed[i] = char(~changed[i]);
    WriteModel(changed);
    EXPECT_EQ(LoadKind(), Kind::ModelDamaged);
    // Put back, it loads again in the same process.
    WriteModel(good);
    EXPECT_EQ(LoadKind(), Kind::None);
}

}  // namespace
