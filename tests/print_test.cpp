// Printing as a person does it, to the end: glimra.exe captures another
// program's window, "&Print..." in the File menu opens the real print dialog, OK
// there prints on the default printer, and "Bitmap printed" follows. The printer
// is the print spooler's PDF queue that the test run adds (its name in PRINTER,
// its folder in GLIMRA_PRINT_OUTPUT); the page it writes is measured with the
// PDF tools of the machine: its text and where the text stands, and the page
// rendered at the printer's own resolution, pixel by pixel. Without any printer,
// the command says so and the program goes on.
#include <windows.h>

#include <gtest/gtest.h>
#include <winspool.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "testing/desktop/Desktop.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"

namespace {

using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";

// ---- The machine's side: commands and files outside Wine.

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Runs a shell command line of the machine (Wine starts Linux programs as they
// are, but hands back no process to wait on): the command leaves its exit
// status in a file, which is waited for. Returns the status, or -1 when the
// command did not end in time.
int RunOnTheMachine(const std::string& command, const std::string& folder) {
    const std::string unixFolder = std::getenv("GLIMRA_PRINT_OUTPUT");
    const std::string status = folder + "\\status";
    ::DeleteFileA(status.c_str());
    std::string line = "/bin/sh -c \"cd '" + unixFolder + "' && (" + command +
                       ") >command.log 2>&1; echo $? >status.tmp; mv status.tmp status\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA("Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return -1;
    if (process.hProcess) ::CloseHandle(process.hProcess);
    if (process.hThread) ::CloseHandle(process.hThread);
    if (!WaitFor([&] { return ::GetFileAttributesA(status.c_str()) != INVALID_FILE_ATTRIBUTES; },
                 60000))
        return -1;
    return std::atoi(ReadAll(status).c_str());
}

// The PDF files in the folder.
std::vector<std::string> PdfFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((folder + "\\*.pdf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        names.push_back(found.cFileName);
    while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

// The one PDF that the spooler writes for a print, once its writer has ended it
// (the file ends with the end-of-file mark); empty when none came.
std::string WaitForPdf(const std::string& folder) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < 60000) {
        const std::vector<std::string> files = PdfFiles(folder);
        if (files.size() == 1) {
            const std::string bytes = ReadAll(folder + "\\" + files[0]);
            if (bytes.size() >= 8 && bytes.find("%%EOF", bytes.size() - 8) != std::string::npos)
                return files[0];
        }
        ::Sleep(100);
    }
    return {};
}

// A word of the PDF's text with its box, in points from the page's top left.
struct Word {
    std::string text;
    double left, top, right, bottom;
};

struct PdfText {
    double width = 0, height = 0;  // of the first page, in points
    std::vector<Word> words;
};

double Attribute(const std::string& element, const std::string& name) {
    const std::size_t at = element.find(name + "=\"");
    return at == std::string::npos ? -1 : std::atof(element.c_str() + at + name.size() + 2);
}

// What pdftotext -bbox writes: a page element with its size, a word element per word.
PdfText ParseBoxes(const std::string& html) {
    PdfText text;
    const std::size_t page = html.find("<page ");
    if (page == std::string::npos) return text;
    const std::string pageElement = html.substr(page, html.find('>', page) - page);
    text.width = Attribute(pageElement, "width");
    text.height = Attribute(pageElement, "height");
    for (std::size_t at = html.find("<word ", page); at != std::string::npos;
         at = html.find("<word ", at + 1)) {
        const std::size_t close = html.find('>', at), end = html.find("</word>", at);
        const std::string element = html.substr(at, close - at);
        text.words.push_back({html.substr(close + 1, end - close - 1), Attribute(element, "xMin"),
                              Attribute(element, "yMin"), Attribute(element, "xMax"),
                              Attribute(element, "yMax")});
    }
    return text;
}

// A page rendered by pdftoppm as a binary PPM: red, green, blue per pixel.
struct Page {
    int width = 0, height = 0;
    std::string rgb;
    COLORREF At(int x, int y) const {
        const std::size_t i = (std::size_t(y) * width + x) * 3;
        return RGB(std::uint8_t(rgb[i]), std::uint8_t(rgb[i + 1]), std::uint8_t(rgb[i + 2]));
    }
    bool White(int x, int y) const { return At(x, y) == RGB(255, 255, 255); }
};

Page ParsePpm(const std::string& bytes) {
    Page page;
    int maximum = 0, consumed = 0;
    if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &page.width, &page.height, &maximum,
                    &consumed) != 3)
        return {};
    page.rgb = bytes.substr(std::size_t(consumed) + 1);
    if (page.rgb.size() < std::size_t(page.width) * page.height * 3) return {};
    return page;
}

// ---- The printer, as the program sees it.

struct Printer {
    int width = 0, height = 0, dpiX = 0, dpiY = 0;  // the printable area, in device units
    int offsetX = 0, offsetY = 0;                   // of the printable area on the paper
    int headingX = 0, footerX = 0;                  // the height of "X" in 12 and 8 point Arial
};

// The height of "X" in Arial of that many points on the printer.
int HeightOfX(HDC dc, int dpiY, int points) {
    HFONT font = ::CreateFontA(::MulDiv(dpiY, points, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Arial");
    HGDIOBJ old = ::SelectObject(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, "X", 1, &size);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    return size.cy;
}

Printer Measure(const std::string& name) {
    Printer p;
    HDC dc = ::CreateDCA(nullptr, name.c_str(), nullptr, nullptr);
    if (!dc) return p;
    p.width = ::GetDeviceCaps(dc, HORZRES);
    p.height = ::GetDeviceCaps(dc, VERTRES);
    p.dpiX = ::GetDeviceCaps(dc, LOGPIXELSX);
    p.dpiY = ::GetDeviceCaps(dc, LOGPIXELSY);
    p.offsetX = ::GetDeviceCaps(dc, PHYSICALOFFSETX);
    p.offsetY = ::GetDeviceCaps(dc, PHYSICALOFFSETY);
    p.headingX = HeightOfX(dc, p.dpiY, 12);
    p.footerX = HeightOfX(dc, p.dpiY, 8);
    ::DeleteDC(dc);
    return p;
}

std::vector<std::string> PrinterNames() {
    std::vector<std::string> names;
    DWORD needed = 0, count = 0;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    ::EnumPrintersA(flags, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed + 1);
    if (!::EnumPrintersA(flags, nullptr, 4, buffer.data(), needed, &needed, &count)) return names;
    const auto* info = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        names.push_back(info[i].pPrinterName);
    return names;
}

std::string DefaultPrinter() {
    char name[256] = {};
    DWORD size = sizeof name;
    return ::GetDefaultPrinterA(name, &size) ? name : "";
}

// ---- The user's regional settings.

// Sets the date and time separators of the user's regional settings for the
// life of this object, and puts the old ones back.
class Separators {
  public:
    Separators(const char* date, const char* time)
        : date_(Get(LOCALE_SDATE)), time_(Get(LOCALE_STIME)) {
        ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, date);
        ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, time);
    }
    ~Separators() {
        ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, date_.c_str());
        ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, time_.c_str());
    }
    static std::string Get(LCTYPE type) {
        char text[16] = {};
        ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
        return text;
    }

  private:
    std::string date_, time_;
};

// The footer's two words for a moment: the date as month, day and two-digit
// year, the time as hour and two-digit minutes, with the separators given.
std::vector<std::string> FooterWords(const SYSTEMTIME& t, const std::string& date,
                                     const std::string& time) {
    char minutes[8], year[8];
    std::snprintf(minutes, sizeof minutes, "%02d", t.wMinute);
    std::snprintf(year, sizeof year, "%02d", t.wYear % 100);
    return {std::to_string(t.wMonth) + date + std::to_string(t.wDay) + date + year,
            std::to_string(t.wHour) + time + minutes};
}

// ---- The program's side.

// The message box of the program that shows `text`, or null.
HWND MessageBoxWith(const Program& program, const std::string& text) {
    HWND box = ShownWindowOfClass(program, "#32770");
    if (!box) return nullptr;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (TextOf(child) == text) return box;
    return nullptr;
}

// All texts of a dialog's controls, for messages.
std::string TextsOf(HWND dialog) {
    std::string texts = "\"" + TextOf(dialog) + "\":";
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (!TextOf(child).empty()) texts += " [" + TextOf(child) + "]";
    return texts;
}

// "&Print..." from the File menu; the dialog or message box it opens, or null.
HWND ChoosePrint(const Program& program, HWND main) {
    ::SetForegroundWindow(main);
    ::Sleep(200);
    AltAnd('F');
    if (!WaitForMenu(program)) return nullptr;
    Keys({'P'});
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = ShownWindowOfClass(program, "#32770")) != nullptr; }, 10000);
    ::Sleep(300);
    return dialog;
}

// F10 and a click on the window: the picture becomes exactly that window.
void PickWindow(const Program& program, HWND main, HWND window) {
    ::SetForegroundWindow(window);
    ::Sleep(200);
    RECT r;
    ::GetWindowRect(window, &r);
    PressKey(VK_F10);
    HWND overlay = WaitForOverlay("CaptureControl");
    ASSERT_NE(overlay, nullptr) << program.DescribeWindows();
    ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(overlay); }, 5000));
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
    ::Sleep(400);
}

class Printing : public ::testing::Test {
  protected:
    Printing() {
        // Presses of the capture keys that earlier tests left are not for this
        // one. Wine answers a key query from a cache for 50 ms.
        ::Sleep(60);
        for (int key : {VK_F7, VK_F8, VK_F9, VK_F10})
            ::GetAsyncKeyState(key);
    }

    OtherProgram other;
};

// What one printed page shows, measured from the PDF.
struct Printed {
    Printer printer;
    PdfText text;
    Page page;
    int pages = 0;
    SYSTEMTIME before{}, after{};  // the time around the print
};

// Prints the current picture through the dialog and the message, and measures
// the PDF that arrives.
void Print(const Program& program, HWND main, const std::string& folder, const std::string& shot,
           Printed& printed) {
    for (const std::string& name : PdfFiles(folder))
        ::DeleteFileA((folder + "\\" + name).c_str());
    ::GetLocalTime(&printed.before);
    HWND dialog = ChoosePrint(program, main);
    ASSERT_NE(dialog, nullptr) << "no print dialog\n" << program.DescribeWindows();
    ASSERT_NE(::GetDlgItem(dialog, IDOK), nullptr) << TextsOf(dialog);
    SaveScreenshot(dialog, shot);
    ClickWindow(::GetDlgItem(dialog, IDOK));
    HWND message = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (message = MessageBoxWith(program, "Bitmap printed")); }, 20000))
        << program.DescribeWindows();
    RECT ok;
    ::GetWindowRect(::GetDlgItem(message, IDOK), &ok);
    ASSERT_TRUE(ClickUntil({(ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2},
                           [&] { return !::IsWindow(message); }));
    const std::string pdf = WaitForPdf(folder);
    ::GetLocalTime(&printed.after);
    ASSERT_FALSE(pdf.empty()) << "no PDF arrived in " << folder;

    const Printer& printer = printed.printer = Measure(DefaultPrinter());
    // The page count, the words with their boxes, and the page at the printer's
    // resolution.
    std::ostringstream tools;
    tools << "/usr/bin/pdfinfo '" << pdf << "' >info.txt && /usr/bin/pdftotext -bbox '" << pdf
          << "' boxes.html && /usr/bin/pdftoppm -singlefile -rx " << printer.dpiX << " -ry "
          << printer.dpiY << " '" << pdf << "' page";
    ASSERT_EQ(RunOnTheMachine(tools.str(), folder), 0) << ReadAll(folder + "\\command.log");
    const std::string info = ReadAll(folder + "\\info.txt");
    const std::size_t pages = info.find("Pages:");
    ASSERT_NE(pages, std::string::npos) << info;
    printed.pages = std::atoi(info.c_str() + pages + 6);
    printed.text = ParseBoxes(ReadAll(folder + "\\boxes.html"));
    printed.page = ParsePpm(ReadAll(folder + "\\page.ppm"));
}

// The word of the page with that text, or null.
const Word* FindWord(const PdfText& text, const std::string& word) {
    for (const Word& w : text.words)
        if (w.text == word) return &w;
    return nullptr;
}

// Where the printed page's parts are, in pixels of the page rendered at the
// printer's resolution (one pixel per device unit, the printable area shifted by
// its offset on the paper), as the page layout places them.
struct Expected {
    int left, width, top, height;  // the picture: L, P, 5 t, picture height x P / width
    int pageBottom;                // the last row of the printable area, exclusive
};

Expected Layout(const Printer& p, int pictureWidth, int pictureHeight) {
    const int pictureOnPage = ::MulDiv(p.width, 76, 100);
    return {p.offsetX + ::MulDiv(p.width, 12, 100), pictureOnPage, p.offsetY + 5 * p.headingX,
            int(std::int64_t{pictureHeight} * pictureOnPage / pictureWidth), p.offsetY + p.height};
}

double Points(const Printer& p, int pixels) {
    return pixels * 72.0 / p.dpiX;
}

// The heading "Norvanta Glimra" centred on the printable area; the footer's date and time in the
// user's format, starting at the picture's left edge, on the last line of the printable area.
void CheckTexts(const Printed& printed, const Expected& e) {
    const Printer& p = printed.printer;
    const Word* norvanta = FindWord(printed.text, "Norvanta");
    const Word* glimra = FindWord(printed.text, "Glimra");
    ASSERT_TRUE(norvanta && glimra) << "no heading among " << printed.text.words.size() << " words";
    EXPECT_NEAR(norvanta->top, glimra->top, 0.1);
    const double centre = (norvanta->left + glimra->right) / 2;
    EXPECT_NEAR(centre, Points(p, p.offsetX) + Points(p, p.width) / 2, 1.0)
        << "the heading is not centred";

    const Word *date = nullptr, *time = nullptr;
    for (const SYSTEMTIME& t : {printed.before, printed.after}) {
        const std::vector<std::string> words = FooterWords(t, "-", ".");
        if (!date || !time) {
            date = FindWord(printed.text, words[0]);
            time = FindWord(printed.text, words[1]);
        }
    }
    ASSERT_TRUE(date && time) << "no footer like " << FooterWords(printed.before, "-", ".")[0]
                              << " " << FooterWords(printed.before, "-", ".")[1];
    EXPECT_NEAR(date->left, Points(p, e.left), 0.5) << "the footer starts elsewhere";
    EXPECT_NEAR(time->top, date->top, 0.1);
    EXPECT_GT(time->left, date->right) << "the date comes first";
    EXPECT_NEAR(date->bottom, Points(p, e.pageBottom), 1.0) << "the footer is not on the last line";
    std::printf(
        "page %.1f x %.1f pt, printable %d x %d at %d x %d dpi from (%d, %d); heading "
        "centre %.2f pt (page centre %.2f); footer \"%s  %s\" at %.2f pt, "
        "bottom %.2f pt\n",
        printed.text.width, printed.text.height, p.width, p.height, p.dpiX, p.dpiY, p.offsetX,
        p.offsetY, centre, Points(p, p.offsetX) + Points(p, p.width) / 2, date->text.c_str(),
        time->text.c_str(), date->left, date->bottom);
}

// The box of the pixels that are not white in the rows [top, bottom) of the page.
RECT InkBox(const Page& page, int top, int bottom) {
    RECT box{page.width, page.height, 0, 0};
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < page.width; ++x)
            if (!page.White(x, y)) {
                box.left = std::min<LONG>(box.left, x);
                box.right = std::max<LONG>(box.right, x + 1);
                box.top = std::min<LONG>(box.top, y);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
    return box;
}

// Above the picture only the heading has ink, and all of it lies in the
// heading's line: from 3 t to 4 t, t being the height of the heading font's "X".
void CheckHeadingLine(const Printed& printed, const Expected& e) {
    const Printer& p = printed.printer;
    const RECT heading = InkBox(printed.page, 0, e.top);
    ASSERT_LT(heading.top, heading.bottom) << "no heading";
    EXPECT_GE(heading.top, p.offsetY + 3 * p.headingX);
    EXPECT_LE(heading.bottom, p.offsetY + 4 * p.headingX);
    std::printf("heading's ink in rows %ld to %ld, its line from %d to %d\n", heading.top,
                heading.bottom, p.offsetY + 3 * p.headingX, p.offsetY + 4 * p.headingX);
}

int ChannelError(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

// A page pixel "inside" a picture pixel: its neighbours one device unit away
// on every side come from the same picture pixel, so that where the renderer
// rounds the picture pixels' edges does not matter. Such a pixel must show the
// picture pixel's colour within kClose levels per channel: the page goes from
// the printer's driver through the spooler's PDF writer (whose pictures are
// compressed without loss) to the renderer, all in 8-bit RGB.
constexpr int kClose = 1;

struct PixelCheck {
    long inside = 0, wrong = 0;
    int worst = 0;
    std::string first;
};

PixelCheck ComparePixels(const Page& page, const Expected& e, int pictureWidth, int pictureHeight,
                         int bottom) {
    PixelCheck check;
    auto source = [](int offset, int picture, int onPage) {
        return int(std::int64_t{offset} * picture / onPage);
    };
    for (int y = e.top + 1; y < std::min(bottom, e.top + e.height) - 1; ++y) {
        const int sy = source(y - e.top, pictureHeight, e.height);
        if (source(y - 1 - e.top, pictureHeight, e.height) != sy ||
            source(y + 1 - e.top, pictureHeight, e.height) != sy)
            continue;
        for (int x = e.left + 1; x < e.left + e.width - 1; ++x) {
            const int sx = source(x - e.left, pictureWidth, e.width);
            if (source(x - 1 - e.left, pictureWidth, e.width) != sx ||
                source(x + 1 - e.left, pictureWidth, e.width) != sx)
                continue;
            ++check.inside;
            const int error = ChannelError(page.At(x, y), Pattern(sx, sy));
            check.worst = std::max(check.worst, error);
            if (error > kClose && check.wrong++ == 0)
                check.first = std::to_string(x) + "," + std::to_string(y) + " shows " +
                              std::to_string(page.At(x, y)) + " for picture pixel " +
                              std::to_string(sx) + "," + std::to_string(sy) + ", " +
                              std::to_string(Pattern(sx, sy));
        }
    }
    return check;
}

TEST_F(Printing, ThePictureOnOnePageAsTheLayoutSays_AndATallOneRunsOffUnderTheFooter) {
    const char* queue = std::getenv("PRINTER");
    const char* output = std::getenv("GLIMRA_PRINT_OUTPUT");
    ASSERT_TRUE(queue && output) << "the test run gives no printer";
    const std::vector<std::string> printers = PrinterNames();
    ASSERT_NE(std::find(printers.begin(), printers.end(), queue), printers.end())
        << "Wine does not list the queue " << queue;
    ASSERT_EQ(DefaultPrinter(), queue);
    const std::string folder = WindowsPath(output);
    // Separators no default has: the footer must take the user's.
    Separators separators("-", ".");

    const RECT wideRect{300, 200, 500, 350}, tallRect{650, 120, 730, 520};
    HWND wide = other.PatternWindow(wideRect);
    HWND tall = other.PatternWindow(tallRect);
    const DWORD start = ::GetTickCount();
    Program program(ProgramPath(), TestFolder("print"));
    HWND main = program.WaitForWindow(kCaption);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    PassTheReminder(program, main, "print-01-reminder");

    // A picture wider than high: 76 % of the page's width, its proportions kept.
    const int w = wideRect.right - wideRect.left, h = wideRect.bottom - wideRect.top;
    PickWindow(program, main, wide);
    Printed printed;
    Print(program, main, folder, "print-02-print-dialog", printed);
    EXPECT_EQ(printed.pages, 1);
    const Printer& p = printed.printer;
    ASSERT_GT(p.width, 0);
    ASSERT_NEAR(printed.page.width, printed.text.width * p.dpiX / 72, 1) << "another page";
    Expected e = Layout(p, w, h);
    CheckTexts(printed, e);
    CheckHeadingLine(printed, e);
    // Between the heading's line and the footer's only the picture has ink.
    const RECT ink = InkBox(printed.page, p.offsetY + 4 * p.headingX, e.pageBottom - p.footerX);
    EXPECT_NEAR(ink.left, e.left, 1);
    EXPECT_NEAR(ink.right, e.left + e.width, 1);
    EXPECT_NEAR(ink.top, e.top, 1);
    EXPECT_NEAR(ink.bottom, e.top + e.height, 1);
    const PixelCheck pixels = ComparePixels(printed.page, e, w, h, e.pageBottom);
    EXPECT_EQ(pixels.wrong, 0) << pixels.first;
    EXPECT_GT(pixels.inside, long(e.width) * e.height / 2) << "too few pixels were compared";
    std::printf(
        "picture %d x %d: at (%d, %d) %d x %d on the page (ink from (%ld, %ld) to (%ld, "
        "%ld)); %ld pixels compared, worst %d levels\n",
        w, h, e.left, e.top, e.width, e.height, ink.left, ink.top, ink.right, ink.bottom,
        pixels.inside, pixels.worst);

    // A picture much taller than wide: it runs past the page's bottom edge, and
    // the footer stands on the last line over it, on white.
    const int tw = tallRect.right - tallRect.left, th = tallRect.bottom - tallRect.top;
    PickWindow(program, main, tall);
    Printed tallPrinted;
    Print(program, main, folder, "print-03-print-dialog-tall", tallPrinted);
    EXPECT_EQ(tallPrinted.pages, 1);
    e = Layout(tallPrinted.printer, tw, th);
    ASSERT_GT(e.top + e.height, e.pageBottom) << "the picture is not taller than the page";
    CheckTexts(tallPrinted, e);
    CheckHeadingLine(tallPrinted, e);
    const Page& page = tallPrinted.page;
    const RECT tallInk = InkBox(page, p.offsetY + 4 * p.headingX, e.pageBottom);
    EXPECT_NEAR(tallInk.left, e.left, 1);
    EXPECT_NEAR(tallInk.right, e.left + e.width, 1);
    EXPECT_NEAR(tallInk.top, e.top, 1);
    EXPECT_EQ(tallInk.bottom, e.pageBottom) << "the picture stops before the page's edge";
    const PixelCheck tallPixels =
        ComparePixels(page, e, tw, th, e.pageBottom - tallPrinted.printer.footerX);
    EXPECT_EQ(tallPixels.wrong, 0) << tallPixels.first;
    // The footer's cell: black text on white, grey at the letters' edges, and
    // none of the picture's colours.
    const Word* time = nullptr;
    for (const Word& word : tallPrinted.text.words)
        if (word.top > tallPrinted.text.height / 2) time = &word;
    ASSERT_NE(time, nullptr);
    const int footerRight = int(time->right * p.dpiX / 72);
    long coloured = 0;
    for (int y = e.pageBottom - tallPrinted.printer.footerX; y < e.pageBottom; ++y)
        for (int x = e.left; x < footerRight; ++x) {
            const COLORREF c = page.At(x, y);
            coloured += GetRValue(c) != GetGValue(c) || GetGValue(c) != GetBValue(c);
        }
    EXPECT_EQ(coloured, 0) << "the picture shows through the footer";
    std::printf(
        "tall picture %d x %d: %d rows of %d on the page, %ld pixels compared, worst "
        "%d levels\n",
        tw, th, e.pageBottom - e.top, e.height, tallPixels.inside, tallPixels.worst);

    ExitWithTheMenu(program, main, 'F', 'X');
    std::printf("the test took %lu ms\n", ::GetTickCount() - start);
}

TEST_F(Printing, WithoutAnyPrinterTheCommandSaysSo_NothingIsPrinted_AndTheProgramGoesOn) {
    std::string listed;
    for (const std::string& name : PrinterNames())
        listed += " " + name;
    ASSERT_EQ(listed, "") << "Wine lists printers";

    HWND window = other.PatternWindow({300, 200, 500, 350});
    Program program(ProgramPath(), TestFolder("print-without-printer"));
    HWND main = program.WaitForWindow(kCaption);
    ASSERT_NE(main, nullptr) << program.DescribeWindows();
    PassTheReminder(program, main, "print-without-printer-01-reminder");
    PickWindow(program, main, window);

    HWND message = ChoosePrint(program, main);
    ASSERT_NE(message, nullptr) << "no message\n" << program.DescribeWindows();
    SaveScreenshot(message, "print-without-printer-02-message");
    const std::string texts = TextsOf(message);
    std::printf("the message: %s\n", texts.c_str());
    EXPECT_EQ(MessageBoxWith(program, "Bitmap printed"), nullptr);
    EXPECT_NE(texts.find("printer"), std::string::npos) << texts;
    Keys({VK_RETURN});
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(message); }, 5000)) << TextsOf(message);
    // Nothing more comes: no print dialog and no "Bitmap printed".
    ::Sleep(1500);
    EXPECT_EQ(ShownWindowOfClass(program, "#32770"), nullptr)
        << TextsOf(ShownWindowOfClass(program, "#32770"));

    // The program goes on: it answers, and captures again.
    DWORD_PTR answer = 0;
    EXPECT_NE(::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0);
    EXPECT_TRUE(CaptureWithKey(VK_F7, main)) << program.DescribeWindows();
    ExitWithTheMenu(program, main, 'F', 'X');
}

}  // namespace
