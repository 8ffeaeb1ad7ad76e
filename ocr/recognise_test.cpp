#include "ocr/recognise.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using glimra::PixelView;
using glimra::ocr::Engine;
using glimra::ocr::GrayImage;
using glimra::ocr::Reading;
using glimra::ocr::Recognise;
using glimra::ocr::Word;
using testing::ElementsAreArray;
using testing::UnorderedElementsAreArray;

struct Rgb {
    std::uint8_t r, g, b;
};

// Synthetic screen text: a digit d is d + 1 bars of one unit's width a unit
// apart, digits of a number three units apart, words eight units apart. Every
// other bar reaches two rows higher, as ascenders do, so that lines that touch
// have their least ink where they meet.
class Picture {
  public:
    Picture(int width, int height, int bytesPerPixel, Rgb paper)
        : width_(width),
          height_(height),
          bpp_(bytesPerPixel),
          bytes_(std::size_t(width) * std::size_t(height) * std::size_t(bytesPerPixel)) {
        Fill(0, 0, width, height, paper);
    }
    PixelView View() {
        return {bytes_.data(), width_, height_, std::ptrdiff_t(width_) * bpp_, bpp_};
    }

    // Draws the words of `text` (digits and spaces) from (x, top), `height` rows
    // high; returns where the text ends.
    int Text(int x, int top, int height, const std::string& text, Rgb ink, int unit = 2) {
        int bar = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == ' ') {
                x += 5 * unit;
                continue;
            }
            for (int k = 0; k <= text[i] - '0'; ++k, ++bar, x += 2 * unit)
                Fill(x, top + (bar % 2 ? 0 : 2), x + unit, top + height, ink);
            x += unit;
        }
        return x;
    }
    void Fill(int left, int top, int right, int bottom, Rgb c) {
        for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
            for (int x = std::max(left, 0); x < std::min(right, width_); ++x) {
                std::uint8_t* p = &bytes_[(std::size_t(y) * width_ + x) * bpp_];
                p[0] = c.b, p[1] = c.g, p[2] = c.r;
            }
    }

  private:
    int width_, height_, bpp_;
    std::vector<std::uint8_t> bytes_;
};

// Reads the synthetic text back from a line as the pipeline hands it over: it
// must be dark on white with a margin of paper, and hold one line (a neighbour's
// stray rows are ignored, as a recogniser ignores them).
class BarReader : public Engine {
  public:
    std::vector<Word> ReadLine(const GrayImage& line) override {
        ++lines;
        for (int x = 0; x < line.width; ++x)
            if (line.at(x, 0) < 250 || line.at(x, line.height - 1) < 250) return {{"no-margin"}};
        std::vector<int> columns(std::size_t(line.width));
        for (int y = 0; y < line.height; ++y)
            for (int x = 0; x < line.width; ++x)
                columns[std::size_t(x)] += line.at(x, y) < 128;
        const int most = *std::max_element(columns.begin(), columns.end());
        struct Run {
            int begin, end;
        };
        std::vector<Run> bars;
        for (int x = 0; x < line.width;) {
            if (2 * columns[std::size_t(x)] <= most || most == 0) {
                ++x;
                continue;
            }
            int end = x;
            while (end < line.width && 2 * columns[std::size_t(end)] > most)
                ++end;
            bars.push_back({x, end});
            x = end;
        }
        if (bars.empty()) return {};
        int unit = line.width;
        for (const Run& b : bars)
            unit = std::min(unit, b.end - b.begin);
        std::vector<Word> words(1);
        int count = 1;
        for (std::size_t i = 1; i <= bars.size(); ++i) {
            const int gap = i < bars.size() ? bars[i].begin - bars[i - 1].end : 1 << 20;
            if (gap < 2 * unit) {
                ++count;
                continue;
            }
            words.back().text += char('0' + count - 1);
            count = 1;
            if (gap >= 4 * unit && i < bars.size()) words.emplace_back();
        }
        return words;
    }
    int lines = 0;
};

constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kDarkGray{45, 45, 45},
    kLightGray{220, 220, 220}, kYellow{255, 250, 200}, kBlue{20, 40, 200};

std::vector<std::string> Read(Picture& picture, int band = 2048) {
    BarReader reader;
    std::atomic<bool> cancel{false};
    glimra::ocr::Preparation preparation;
    preparation.band = band;
    const Reading reading = Recognise(picture.View(), reader, cancel, preparation);
    EXPECT_FALSE(reading.cancelled);
    return reading.lines;
}

TEST(Recognise, ReadsLinesTopToBottom_DarkOnLightLightOnDarkAndColoured_3And4BytesAPixel) {
    const std::vector<std::string> text{"12 345", "6 78", "9012 3 4", "5"};
    struct Case {
        const char* name;
        Rgb paper, ink;
    } cases[] = {{"black on white", kWhite, kBlack},
                 {"white on dark gray", kDarkGray, kWhite},
                 {"light gray on black", kBlack, kLightGray},
                 {"blue on yellow", kYellow, kBlue}};
    for (const Case& c : cases)
        for (int bpp : {3, 4}) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(bpp) + " bytes");
            Picture picture(300, 120, bpp, c.paper);
            for (std::size_t i = 0; i < text.size(); ++i)
                picture.Text(20 + 7 * int(i), 10 + 26 * int(i), 12, text[i], c.ink);
            EXPECT_THAT(Read(picture), ElementsAreArray(text));
        }
}

TEST(Recognise, KeepsLineNumbersInTheirLines_ReadsRealColumnsOneAfterTheOther) {
    {
        SCOPED_TRACE("line numbers beside indented code");
        Picture picture(400, 200, 3, kWhite);
        std::vector<std::string> expected;
        for (int i = 0; i < 12; ++i) {
            const std::string number = std::to_string(8 + i);
            const int right = picture.Text(10, 5 + 15 * i, 11, number, kBlack);
            // Code indented by two levels from line 2 on, as a function's body is.
            const std::string code = i == 0 ? "1 23" : "45 6 7";
            picture.Text(std::max(right, 30) + (i == 0 ? 12 : 60), 5 + 15 * i, 11, code, kBlack);
            expected.push_back(number + " " + code);
        }
        EXPECT_THAT(Read(picture), ElementsAreArray(expected));
    }
    {
        SCOPED_TRACE("two columns with a heading across both, their lines not level");
        Picture picture(700, 260, 3, kWhite);
        picture.Text(150, 5, 12, "99 88 77", kBlack);
        std::vector<std::string> expected{"99 88 77"};
        for (int column = 0; column < 2; ++column)
            for (int i = 0; i < 8; ++i) {
                const std::string words = std::to_string(column * 8 + i + 10) + " 7 5 3 1 2 4";
                picture.Text(10 + 350 * column, 40 + 26 * i + 9 * column, 12, words, kBlack);
                expected.push_back(words);
            }
        EXPECT_THAT(Read(picture), ElementsAreArray(expected));
    }
}

TEST(Recognise, ReadsEveryPanelOfAScreenOnItsOwnBackground_NotTheirFrames) {
    // A desktop of one colour with a window (a grey frame, a title bar, white
    // client text), a dark panel beside it and a task bar along the bottom.
    Picture screen(900, 520, 4, {58, 110, 165});
    std::vector<std::string> expected;
    screen.Fill(40, 30, 480, 440, {192, 192, 192});
    screen.Fill(44, 34, 476, 56, {0, 0, 128});
    screen.Text(50, 38, 12, "7 21", kWhite);
    expected.push_back("7 21");
    screen.Fill(44, 60, 476, 436, kWhite);
    for (int i = 0; i < 8; ++i) {
        const std::string words = std::to_string(i + 30) + " 4 " + std::to_string(900 - i);
        screen.Text(52, 70 + 24 * i, 12, words, kBlack);
        expected.push_back(words);
    }
    screen.Fill(560, 90, 860, 300, kDarkGray);
    for (int i = 0; i < 4; ++i) {
        const std::string words = "5 " + std::to_string(i + 60) + " 8";
        screen.Text(575, 100 + 40 * i, 14, words, kLightGray);
        expected.push_back(words);
    }
    screen.Fill(0, 490, 900, 520, kLightGray);
    screen.Text(10, 498, 12, "1 23", kBlack);
    expected.push_back("1 23");
    EXPECT_THAT(Read(screen), UnorderedElementsAreArray(expected));
}

TEST(Recognise, CutsLinesThatTouch) {
    Picture picture(300, 200, 3, kWhite);
    std::vector<std::string> expected;
    int top = 5;
    for (int i = 0; i < 9; ++i) {
        const std::string words = std::to_string(i + 1) + "0 " + std::to_string(9 - i);
        picture.Text(20 + 9 * (i % 3), top, 13, words, kBlack);
        expected.push_back(words);
        // Lines 3 to 6 follow each other without a blank row.
        top += i >= 2 && i < 6 ? 13 : 17;
    }
    EXPECT_THAT(Read(picture), ElementsAreArray(expected));
}

TEST(Recognise, ReadsATallPictureInBands_EveryLineOnceInOrder) {
    // A scrolling capture of 400 numbered lines, 8000 rows: bands of several
    // heights cut lines at different places.
    Picture picture(260, 400 * 20 + 7, 4, kWhite);
    std::vector<std::string> expected;
    for (int i = 0; i < 400; ++i) {
        const std::string words = std::to_string(i + 1) + " 5 0" + std::to_string(i % 7);
        picture.Text(8, 4 + 20 * i, 13, words, kDarkGray);
        expected.push_back(words);
    }
    for (int band : {2048, 997, 301}) {
        SCOPED_TRACE("bands of " + std::to_string(band) + " rows");
        EXPECT_THAT(Read(picture, band), ElementsAreArray(expected));
    }
}

TEST(Recognise, StopsBetweenLinesWhenCancelled_AndReadsNothingFromBlankOrEmptyPictures) {
    Picture picture(200, 200, 3, kWhite);
    for (int i = 0; i < 8; ++i)
        picture.Text(10, 5 + 22 * i, 12, std::to_string(i + 1), kBlack);
    class Cancelling : public BarReader {
      public:
        explicit Cancelling(std::atomic<bool>& cancel) : cancel_(cancel) {}
        std::vector<Word> ReadLine(const GrayImage& line) override {
            if (lines == 2) cancel_ = true;
            return BarReader::ReadLine(line);
        }
        std::atomic<bool>& cancel_;
    };
    std::atomic<bool> cancel{false};
    Cancelling reader(cancel);
    const Reading reading = Recognise(picture.View(), reader, cancel);
    EXPECT_TRUE(reading.cancelled);
    EXPECT_THAT(reading.lines, ElementsAreArray({"1", "2", "3"}));

    Picture blank(120, 80, 3, kYellow);
    BarReader reader2;
    std::atomic<bool> never{false};
    EXPECT_TRUE(Recognise(blank.View(), reader2, never).lines.empty());
    EXPECT_EQ(reader2.lines, 0);
    EXPECT_TRUE(Recognise(PixelView{}, reader2, never).lines.empty());
}

TEST(JoinWords, OneSpaceBetweenWords_NoneWhereTheyNearlyTouch_StraightQuotes) {
    // Boxes of a monospace line, 10 pixels a character.
    const std::vector<Word> words{{"def", 0, 0, 30, 10},
                                  {"parse", 40, 0, 90, 10},
                                  {"_config(\xE2\x80\x9Cr\xE2\x80\x9D,", 91, 0, 191, 10},
                                  {" \xE2\x80\x98x\xE2\x80\x99) ", 220, 0, 260, 10}};
    EXPECT_EQ(glimra::ocr::JoinWords(words), "def parse_config(\"r\", 'x')");
    EXPECT_EQ(glimra::ocr::JoinWords({}), "");
}

}  // namespace
