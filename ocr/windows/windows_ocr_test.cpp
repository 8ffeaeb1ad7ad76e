// Windows' own text recogniser. Wine has no Windows.Media.Ocr, so what runs here
// is everything short of recognition: the declared interfaces' vtable slots, the
// answer where the recogniser is missing and the apartment it leaves behind, and
// how a line too wide for it is cut into pieces. Recognition itself needs Windows
// 10 or later.
#include "ocr/windows/windows_ocr.h"

#include "ocr/windows/winrt_ocr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <thread>

namespace {

using glimra::ocr::GrayImage;
using glimra::ocr::LinePieces;
using glimra::ocr::WindowsOcr;
using glimra::ocr::WindowsOcrAvailable;
namespace rt = glimra::ocr::winrt;

// The vtable slot of a virtual method, as the compiler lays it out (Itanium C++
// ABI, which MinGW-w64 follows: a pointer to a virtual member is one more than the
// method's byte offset in the vtable).
template <class Method>
int Slot(Method method) {
    struct Representation {
        std::uintptr_t pointer;
        std::ptrdiff_t adjustment;
    };
    static_assert(sizeof(Method) == sizeof(Representation));
    Representation bits;
    std::memcpy(&bits, &method, sizeof bits);
    return bits.pointer & 1 ? int((bits.pointer - 1) / sizeof(void*)) : -1;
}

// Slots as the Windows metadata orders the methods: IUnknown 0-2, IInspectable
// 3-5, then the interface's own from 6 (from 3 for a delegate or a COM interface).
TEST(WinRtInterfaces, EachMethodStandsInItsMetadataSlot) {
    EXPECT_EQ(Slot(&rt::IOcrEngineStatics::get_MaxImageDimension), 6);
    EXPECT_EQ(Slot(&rt::IOcrEngineStatics::IsLanguageSupported), 8);
    EXPECT_EQ(Slot(&rt::IOcrEngineStatics::TryCreateFromLanguage), 9);
    EXPECT_EQ(Slot(&rt::IOcrEngineStatics::TryCreateFromUserProfileLanguages), 10);
    EXPECT_EQ(Slot(&rt::IOcrEngine::RecognizeAsync), 6);
    EXPECT_EQ(Slot(&rt::IOcrEngine::get_RecognizerLanguage), 7);
    EXPECT_EQ(Slot(&rt::IOcrResult::get_Lines), 6);
    EXPECT_EQ(Slot(&rt::IOcrLine::get_Words), 6);
    EXPECT_EQ(Slot(&rt::IOcrWord::get_BoundingRect), 6);
    EXPECT_EQ(Slot(&rt::IOcrWord::get_Text), 7);
    EXPECT_EQ(Slot(&rt::IOcrLineVectorView::GetAt), 6);
    EXPECT_EQ(Slot(&rt::IOcrLineVectorView::get_Size), 7);
    EXPECT_EQ(Slot(&rt::IOcrWordVectorView::GetAt), 6);
    EXPECT_EQ(Slot(&rt::IOcrWordVectorView::get_Size), 7);
    EXPECT_EQ(Slot(&rt::IOcrResultOperation::put_Completed), 6);
    EXPECT_EQ(Slot(&rt::IOcrResultOperation::GetResults), 8);
    EXPECT_EQ(Slot(&rt::IOcrResultCompletedHandler::Invoke), 3);
    EXPECT_EQ(Slot(&rt::ISoftwareBitmapStatics::CreateCopyFromBuffer), 9);
    EXPECT_EQ(Slot(&rt::ILanguageFactory::CreateLanguage), 6);
    EXPECT_EQ(Slot(&rt::ILanguage::get_LanguageTag), 6);
    EXPECT_EQ(Slot(&rt::ILanguage::get_DisplayName), 7);
    EXPECT_EQ(Slot(&rt::IBufferByteAccess::Buffer), 3);
    EXPECT_EQ(Slot(&rt::IBufferFactory::Create), 6);
    EXPECT_EQ(Slot(&rt::IBuffer::put_Length), 8);
    EXPECT_EQ(Slot(&IAsyncInfo::get_Status), 7);
    EXPECT_EQ(Slot(&IAsyncInfo::get_ErrorCode), 8);
    EXPECT_EQ(Slot(&IAsyncInfo::Close), 10);
}

TEST(WindowsOcrUnderWine, EachLanguageAnswersNullAndSaysTheRecogniserIsUnavailable) {
    for (const char* tag : {"", "en-US", "de-DE"}) {
        SCOPED_TRACE(tag);
        std::string why = "left from before";
        EXPECT_EQ(WindowsOcr::Create(tag, why), nullptr);
        EXPECT_NE(why.find("unavailable"), std::string::npos) << why;
        std::string again;
        EXPECT_FALSE(WindowsOcrAvailable(tag, again));
        EXPECT_EQ(again, why);
    }
}

// Create joins the multithreaded apartment only for its own call: a thread that
// had none can still become single-threaded afterwards, and one that was
// single-threaded stays so.
TEST(WindowsOcrUnderWine, CreateLeavesTheThreadsApartmentAsItWas) {
    HRESULT afterNone = E_FAIL, whileSingle = E_FAIL, afterSingle = E_FAIL;
    std::string whyFromSingle;
    std::thread([&] {
        std::string why;
        WindowsOcr::Create("en-US", why);
        afterNone = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        whileSingle = WindowsOcr::Create("", whyFromSingle) ? S_OK : S_FALSE;
        afterSingle = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(afterSingle)) ::CoUninitialize();
        if (SUCCEEDED(afterNone)) ::CoUninitialize();
    }).join();
    EXPECT_EQ(afterNone, S_OK);
    EXPECT_EQ(whileSingle, S_FALSE);
    EXPECT_NE(whyFromSingle.find("unavailable"), std::string::npos) << whyFromSingle;
    EXPECT_EQ(afterSingle, S_FALSE);
}

// A line of paper with ink in the given column ranges.
GrayImage Line(int width, const std::vector<std::pair<int, int>>& inked) {
    GrayImage line;
    line.width = width;
    line.height = 12;
    line.pixels.assign(std::size_t(width) * line.height, 255);
    for (const auto& [first, last] : inked)
        for (int y = 3; y < 9; ++y)
            for (int x = first; x < last; ++x)
                line.pixels[std::size_t(y) * width + x] = 20;
    return line;
}

void ExpectPiecesCoverTheLine(const std::vector<std::pair<int, int>>& pieces, int width,
                              int maxWidth) {
    ASSERT_FALSE(pieces.empty());
    EXPECT_EQ(pieces.front().first, 0);
    EXPECT_EQ(pieces.back().second, width);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_GT(pieces[i].second, pieces[i].first);
        EXPECT_LE(pieces[i].second - pieces[i].first, maxWidth);
        if (i > 0) {
            EXPECT_EQ(pieces[i].first, pieces[i - 1].second);
        }
    }
}

TEST(LinePieces, WordsAreNeverCutAndEachPieceFitsTheLimit) {
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::pair<int, int>> words;
        int x = int(random() % 20);
        while (true) {
            const int length = 5 + int(random() % 60);
            if (x + length > 3000) break;
            words.emplace_back(x, x + length);
            x += length + 2 + int(random() % 25);
        }
        const int width = x + int(random() % 10);
        // Wide enough for a margin, the longest word and a gap.
        const int maxWidth = 100 + int(random() % 400);
        const auto pieces = LinePieces(Line(width, words), maxWidth);
        ExpectPiecesCoverTheLine(pieces, width, maxWidth);
        for (const auto& [first, last] : words) {
            int holders = 0;
            for (const auto& piece : pieces)
                holders += piece.first <= first && last <= piece.second;
            EXPECT_EQ(holders, 1) << "word " << first << "-" << last;
        }
        // The pieces are as few as a cut at every word gap allows: no two
        // neighbours would fit the limit together with a gap cut between them.
        for (std::size_t i = 1; i < pieces.size(); ++i)
            EXPECT_GT(pieces[i].second - pieces[i - 1].first, maxWidth);
    }
}

TEST(LinePieces, ALineThatFitsIsOnePiece_AndInkWithoutGapsIsCutAtTheLimit) {
    const auto whole = LinePieces(Line(500, {{10, 490}}), 500);
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0], std::make_pair(0, 500));

    const auto solid = LinePieces(Line(1000, {{0, 1000}}), 300);
    ExpectPiecesCoverTheLine(solid, 1000, 300);
    ASSERT_EQ(solid.size(), 4u);
    for (std::size_t i = 0; i + 1 < solid.size(); ++i)
        EXPECT_EQ(solid[i].second - solid[i].first, 300);
}

}  // namespace
