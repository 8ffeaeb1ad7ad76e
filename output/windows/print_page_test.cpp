// The printed page on a memory drawing context of an A4 page at 300 dpi:
// where the heading, the picture and the footer land, measured in its pixels;
// odd pictures; the footer's pattern; a device that cannot print.
#include "output/windows/print_page.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "output/windows/print_job.h"
#include "win/handles.h"

namespace glimra {
namespace {

constexpr PageSize kA4At300Dpi{2480, 3508, 300};
constexpr COLORREF kPictureColour = RGB(10, 200, 30);

// A white page in memory with its pixels at hand.
class Page {
  public:
    explicit Page(const PageSize& size) : size_(size), dc_(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), size.width, -size.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        select_.emplace(dc_.Get(), bitmap_.Get());
        std::memset(bits_, 0xFF, static_cast<std::size_t>(size.width) * size.height * 4);
    }
    HDC Dc() const { return dc_.Get(); }
    // 0xRRGGBB of a pixel.
    std::uint32_t At(int x, int y) const {
        ::GdiFlush();
        return static_cast<const std::uint32_t*>(bits_)[std::size_t(y) * size_.width + x] &
               0xFFFFFF;
    }
    bool Ink(int x, int y) const { return At(x, y) != 0xFFFFFF; }
    // The smallest rectangle holding every non-white pixel of the rows [top, bottom).
    RECT InkBox(int top, int bottom) const {
        RECT box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < size_.width; ++x)
                if (Ink(x, y)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.top = std::min<LONG>(box.top, y);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }

  private:
    PageSize size_;
    win::MemoryDC dc_;
    win::Bitmap bitmap_;
    void* bits_ = nullptr;
    std::optional<win::Selection> select_;
};

// A one-colour 24-bit picture in DIB layout.
struct Picture {
    Picture(int width, int height)
        : stride((width * 3 + 3) & ~3), bytes(std::size_t(stride) * height) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = bytes.data() + std::size_t(y) * stride + x * 3;
                p[0] = GetBValue(kPictureColour);
                p[1] = GetGValue(kPictureColour);
                p[2] = GetRValue(kPictureColour);
            }
        view = {bytes.data(), width, height, stride, 3};
    }
    int stride;
    std::vector<std::uint8_t> bytes;
    PixelView view;
};

// The heading font's measures, taken here the way the page is meant to be laid out.
struct Measured {
    int t, headingWidth, footerT;
};
Measured Measure(HDC dc, int dpiY) {
    auto measure = [&](int points, const char* text) {
        win::Font font(::CreateFontA(::MulDiv(dpiY, points, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                     DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
        win::Selection select(dc, font.Get());
        SIZE size;
        ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
        return size;
    };
    return {measure(12, "X").cy, measure(12, "Norvanta Glimra").cx, measure(8, "X").cy};
}

TEST(PrintPage, A4At300DpiHeadingPictureAndFooterWhereTheyBelong) {
    Page page(kA4At300Dpi);
    Picture picture(200, 100);
    const PageLayout layout = DrawPage(page.Dc(), kA4At300Dpi, picture.view, "3/5/26  7:04");
    const Measured m = Measure(page.Dc(), 300);
    ASSERT_GT(m.t, 20);

    // Heading: centred by its measured width, its cell at 3 t.
    EXPECT_EQ(layout.headingX, (2480 - m.headingWidth) / 2);
    EXPECT_EQ(layout.headingY, 3 * m.t);
    const RECT heading = page.InkBox(0, 5 * m.t);
    EXPECT_GE(heading.top, 3 * m.t);
    EXPECT_LE(heading.bottom, 4 * m.t + m.t / 2);
    EXPECT_GE(heading.left, layout.headingX);
    EXPECT_LE(heading.right, layout.headingX + m.headingWidth);
    EXPECT_NEAR((heading.left + heading.right) / 2, 1240, m.t / 2) << "centred on the page";

    // Picture: at (L, 5 t), P wide (12 % and 76 % of the page, rounded), aspect kept.
    EXPECT_EQ(layout.left, 298);
    EXPECT_EQ(layout.pictureWidth, 1885);
    EXPECT_EQ(layout.pictureTop, 5 * m.t);
    EXPECT_EQ(layout.pictureHeight, 100 * 1885 / 200);
    const int top = 5 * m.t, bottom = top + 942;
    const RECT drawn = page.InkBox(top, 3508 - 2 * m.footerT);
    EXPECT_EQ(drawn.left, 298);
    EXPECT_EQ(drawn.right, 298 + 1885);
    EXPECT_EQ(drawn.top, top);
    EXPECT_EQ(drawn.bottom, bottom);
    EXPECT_EQ(page.At(298, top), 0x0AC81Eu);
    EXPECT_EQ(page.At(298 + 1884, bottom - 1), 0x0AC81Eu);

    // Footer: from L, on the bottom line (its cell is one footer "X" high).
    EXPECT_EQ(layout.footerX, 298);
    EXPECT_EQ(layout.footerY, 3508 - m.footerT);
    const RECT footer = page.InkBox(bottom, 3508);
    EXPECT_GE(footer.top, 3508 - m.footerT);
    EXPECT_GE(footer.left, 298);
    EXPECT_LT(footer.left, 298 + m.footerT);
    EXPECT_LT(footer.right, 1240) << "a short text";
}

TEST(PrintPage, ThePictureIsStretchedWithHalftoneFromTheBrushOriginZero) {
    Page page(kA4At300Dpi);
    ::SetStretchBltMode(page.Dc(), BLACKONWHITE);
    ::SetBrushOrgEx(page.Dc(), 5, 7, nullptr);
    Picture picture(200, 100);
    DrawPage(page.Dc(), kA4At300Dpi, picture.view, "3/5/26  7:04");
    EXPECT_EQ(::GetStretchBltMode(page.Dc()), HALFTONE);
    POINT origin{-1, -1};
    ::GetBrushOrgEx(page.Dc(), &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
}

TEST(PrintPage, ATallPictureRunsOffThePageUnderTheFooter) {
    Page page(kA4At300Dpi);
    // 2 x 1,000,000: 942 million device rows at the page's scale.
    Picture picture(2, 1'000'000);
    const PageLayout layout = DrawPage(page.Dc(), kA4At300Dpi, picture.view, "12/31/00  23:59");
    EXPECT_EQ(layout.pictureHeight, std::int64_t{1'000'000} * 1885 / 2);
    // Picture down to the page's last row, the footer drawn over it on white.
    EXPECT_EQ(page.At(298 + 1884, 3508 - 1), 0x0AC81Eu);
    EXPECT_EQ(page.At(298, layout.footerY - 1), 0x0AC81Eu);
    bool white = false, black = false;
    for (int x = 298; x < 298 + layout.footerY / 10; ++x)
        for (int y = layout.footerY; y < 3508; ++y) {
            white = white || page.At(x, y) == 0xFFFFFF;
            black = black || page.At(x, y) == 0;
        }
    EXPECT_TRUE(white && black) << "the footer's text on its white background";
    EXPECT_EQ(page.At(298, 3508 - 1), 0xFFFFFFu) << "its white cell starts at L";
    EXPECT_EQ(page.At(297, 3508 - 1), 0xFFFFFFu) << "the margin";
}

TEST(PrintPage, LayoutOfOddPicturesNeverOverflowsOrDividesByZero) {
    const PageLayout huge = LayOutPage(kA4At300Dpi, 50, 400, 33, 1, INT_MAX);
    EXPECT_EQ(huge.pictureHeight, std::int64_t{INT_MAX} * 1885);
    const PageLayout noWidth = LayOutPage(kA4At300Dpi, 50, 400, 33, 0, 100);
    EXPECT_EQ(noWidth.pictureHeight, 0);
    const PageLayout empty = LayOutPage({0, 0, 300}, 50, 400, 33, 0, 0);
    EXPECT_EQ(empty.pictureWidth, 0);

    // A picture of width 0 gives a page with heading and footer only.
    Page page(kA4At300Dpi);
    PixelView none{nullptr, 0, 100, 0, 3};
    const PageLayout layout = DrawPage(page.Dc(), kA4At300Dpi, none, "1/1/26  0:00");
    EXPECT_FALSE(page.Ink(layout.left + 10, layout.pictureTop + 10));
    const RECT footer = page.InkBox(layout.footerY, 3508);
    EXPECT_GE(footer.left, 298);
    EXPECT_LT(footer.left, 298 + 3508 - layout.footerY);
    // Printing it is refused with a clear text before anything is sent.
    try {
        PrintPicture(page.Dc(), none);
        ADD_FAILURE() << "printed an empty picture";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("empty"), std::string::npos) << error.what();
    }
}

TEST(PrintPage, FooterIsMonthDayTwoDigitYearTwoSpacesHourAndTwoDigitMinutes) {
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 3;
    time.wDay = 5;
    time.wHour = 7;
    time.wMinute = 4;
    EXPECT_EQ(FooterText(time, "/", ":"), "3/5/26  7:04");
    EXPECT_EQ(FooterText(time, ". ", "."), "3. 5. 26  7.04");
    time = {};
    time.wYear = 2000;
    time.wMonth = 12;
    time.wDay = 31;
    time.wHour = 23;
    time.wMinute = 59;
    EXPECT_EQ(FooterText(time, "-", ":"), "12-31-00  23:59");
    // Now, with the user's separators.
    char date[8], clock[8];
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, date, sizeof date);
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, clock, sizeof clock);
    const std::string now = CurrentFooterText();
    EXPECT_NE(now.find(date), std::string::npos) << now;
    EXPECT_NE(now.find(std::string("  ")), std::string::npos) << now;
    EXPECT_NE(now.find(clock, now.find("  ")), std::string::npos) << now;
}

TEST(PrintPage, ADeviceThatCannotStartADocumentIsAPrinterError) {
    Page page(kA4At300Dpi);
    Picture picture(10, 10);
    try {
        PrintPicture(page.Dc(), picture.view);
        ADD_FAILURE() << "a memory drawing context printed";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Printing failed (StartDoc)", 0), 0u)
            << error.what();
    }
    EXPECT_FALSE(page.Ink(1240, 100)) << "nothing drawn";
}

}  // namespace
}  // namespace glimra
