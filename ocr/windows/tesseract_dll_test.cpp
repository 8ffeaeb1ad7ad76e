// The built-in recogniser as the program loads it: the real glimra_ocr.dll and
// models of the build tree (its folder is the first argument), a line drawn by
// GDI read back, and an installation with a part missing or damaged, laid out
// in a folder of the tests' output, which must give its own error and leave the
// process running.
#include "ocr/windows/tesseract_dll.h"

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

// `text` drawn by GDI in a 12-point Tahoma (16 pixels at 96 dpi) with the
// system's font smoothing, dark on white, then scaled three times by
// interpolation, as the pipeline hands a line of small screen text over.
GrayImage RenderedLine(const char* text) {
    constexpr int kScale = 3;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HFONT font = ::CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               DEFAULT_PITCH, "Tahoma");
    HGDIOBJ oldFont = ::SelectObject(dc, font);
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &extent);
    const int w = extent.cx + 16, h = extent.cy + 16;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    RECT all{0, 0, w, h};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::SetBkMode(dc, TRANSPARENT);
    ::TextOutA(dc, 8, 8, text, int(std::strlen(text)));
    ::GdiFlush();
    std::vector<double> small(std::size_t(w) * h);
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; i < small.size(); ++i)
        small[i] = (pixels[4 * i] + pixels[4 * i + 1] + pixels[4 * i + 2]) / 3.0;
    ::SelectObject(dc, oldBitmap);
    ::SelectObject(dc, oldFont);
    ::DeleteObject(bitmap);
    ::DeleteObject(font);
    ::DeleteDC(dc);

    GrayImage line;
    line.width = w * kScale;
    line.height = h * kScale;
    line.pixels.resize(std::size_t(line.width) * line.height);
    for (int y = 0; y < line.height; ++y) {
        const double sy = std::clamp((y + 0.5) / kScale - 0.5, 0.0, h - 1.0);
        const int y0 = int(sy), y1 = std::min(y0 + 1, h - 1);
        for (int x = 0; x < line.width; ++x) {
            const double sx = std::clamp((x + 0.5) / kScale - 0.5, 0.0, w - 1.0);
            const int x0 = int(sx), x1 = std::min(x0 + 1, w - 1);
            const double fx = sx - x0, fy = sy - y0;
            const double top = small[y0 * w + x0] * (1 - fx) + small[y0 * w + x1] * fx;
            const double bottom = small[y1 * w + x0] * (1 - fx) + small[y1 * w + x1] * fx;
            line.pixels[std::size_t(y) * line.width + x] =
                std::uint8_t(top * (1 - fy) + bottom * fy + 0.5);
        }
    }
    return line;
}

TEST(TesseractDll, ReadsALineDrawnByGdiAndFreesTheDll) {
    const GrayImage line = RenderedLine("Hello World 123");
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
