// Draws the pictures of screen text that bench/text_recognition reads, as
// Windows draws a program's text: GDI's CreateFont and TextOut at 96 dpi on a
// 32-bit DIB section, greyscale-smoothed (ANTIALIASED_QUALITY) or subpixel-
// smoothed (CLEARTYPE_QUALITY), dark on light or light on dark. Each picture is
// saved as NAME.png beside NAME.txt, its true text (UTF-8, lines separated by
// "\n"); the name says the font, the size in points, the smoothing, the
// polarity and the kind of text, e.g. tahoma-09pt-cleartype-light-prose.
//   text_recognition_pictures FOLDER [FONT_FILE ...]
// Font files named are added for the run (Wine's own Tahoma, which a new
// prefix does not list). It prints each picture's name, size and the face GDI
// chose. Where the system draws CLEARTYPE_QUALITY without coloured fringes, as
// Wine does, the fringes are made from greyscale smoothing at three times the
// width (DrawSubpixel), and the line says so.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <png.h>

#include "imaging/pixel_view.h"

namespace {

// Ordinary English, numbers and punctuation, as windows and documents show them.
const char* const kProse[] = {
    "The quick brown fox jumps over the lazy dog.",
    "Please save your work before closing the program.",
    "Your download of 1,284 files (3.7 GB) finished at 10:42 AM.",
    "Settings are stored per user; restart to apply them.",
    "Invoice #40718 was paid on 12/03/2024 for $1,250.00.",
    "Click \"Next\" to continue, or \"Cancel\" to quit Setup.",
    "A backup copy was written to C:\\Users\\anna\\Documents.",
    "Error 0x80070005: access is denied (code 5).",
    "Meeting notes: budget review, hiring plan, Q3 targets.",
    "She sold 17 apples, 42 pears and 9 plums by noon.",
    "Visit the help pages for answers to common questions.",
    "Version 2.14.3 fixes crashes when printing large tables.",
    "Temperature: 21.5 C, humidity 48%, wind 12 km/h NW.",
    "Do you want to replace the existing file?",
    "Only 3 of 12 tests failed; see the log for details.",
    "The report compares sales in March, April and May.",
    "Press Ctrl+S to save, or Ctrl+Shift+S to save a copy.",
    "Total: 1,024 items selected (256 KB free of 512 MB).",
    "Welcome back! You have 5 new messages and 2 reminders.",
    "Use a strong password with at least 12 characters.",
    "Shipping address: 221B Baker Street, London NW1 6XE.",
    "The update will be installed when you restart.",
    "Scan complete: no threats were found in 38,912 files.",
    "Font size, line spacing and margins can be changed.",
};

// Identifiers, operators and numbers, as code editors show them.
const char* const kCode[] = {
    "int main(int argc, char* argv[]) {",
    "    std::vector<int> values = {3, 1, 4, 1, 5};",
    "    for (size_t i = 0; i < values.size(); ++i) {",
    "        total += values[i] * weight;",
    "    }",
    "    if (total > 100 && !quiet) printf(\"%d\\n\", total);",
    "    return total == 0 ? EXIT_FAILURE : 0;",
    "}",
    "def parse_config(path, defaults=None):",
    "    with open(path, \"r\") as f:",
    "        data = json.load(f)",
    "    return {**(defaults or {}), **data}",
    "const maxRetries = 5; // give up after that",
    "let url = `${baseUrl}/api/v2/items?id=${itemId}`;",
    "SELECT name, price FROM products WHERE price < 9.99;",
    "x_offset = (width - text_width) / 2 + margin_left",
    "#include <string.h>",
    "static const char* kNames[] = {\"alpha\", \"beta\"};",
    "assert(buffer != NULL && length <= 4096);",
    "while (node->next) node = node->next;",
};

// Short texts of menus and dialogs: each entry is one line, its items drawn
// apart as a menu bar or a row of buttons draws them.
const std::vector<std::vector<std::string>> kDialog = {
    {"File", "Edit", "View", "Insert", "Format", "Tools", "Help"},
    {"Save changes to \"Report 2024.docx\"?"},
    {"Save", "Don't Save", "Cancel"},
    {"Name:", "Quarterly figures"},
    {"Size:", "14.2 MB (14,893,056 bytes)"},
    {"Created:", "Monday, 3 June 2024, 09:15"},
    {"Read-only", "Hidden", "Advanced..."},
    {"OK", "Cancel", "Apply"},
};

struct Style {
    const char* face;  // asked of CreateFont
    const char* name;  // in the file name
    bool monospace;
};

const Style kStyles[] = {
    {"Tahoma", "tahoma", false},
    {"Nimbus Sans", "nimbussans", false},  // URW's Helvetica, as Arial stands in for it
    {"DejaVu Sans", "dejavusans", false},
    {"Nimbus Mono PS", "nimbusmono", true},  // URW's Courier, Wine's own is bitmaps only
    {"DejaVu Sans Mono", "dejavusansmono", true},
};

// A piece of text drawn at a place, in a colour.
struct Piece {
    int x, y;
    std::string text;
    COLORREF colour;
    bool rightAligned = false;
};

class Canvas {
  public:
    Canvas(const char* face, int points, bool cleartype) {
        dc_ = CreateCompatibleDC(nullptr);
        font_ = CreateFontA(-MulDiv(points, 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                            cleartype ? CLEARTYPE_QUALITY : ANTIALIASED_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, face);
        SelectObject(dc_, font_);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc_, &tm);
        lineHeight_ = tm.tmHeight + tm.tmExternalLeading;
        char chosen[LF_FACESIZE] = {};
        GetTextFaceA(dc_, LF_FACESIZE, chosen);
        chosenFace = chosen;
    }
    ~Canvas() {
        DeleteDC(dc_);
        DeleteObject(font_);
        if (bitmap_) DeleteObject(bitmap_);
    }
    int LineHeight() const { return lineHeight_; }
    int Width(const std::string& text) const {
        SIZE size{};
        GetTextExtentPoint32A(dc_, text.c_str(), int(text.size()), &size);
        return size.cx;
    }
    // Draws the pieces on a picture of the given size and background.
    glimra::PixelView Draw(int width, int height, COLORREF background,
                           const std::vector<Piece>& pieces) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        SelectObject(dc_, bitmap);
        if (bitmap_) DeleteObject(bitmap_);
        bitmap_ = bitmap;
        HBRUSH brush = CreateSolidBrush(background);
        RECT all{0, 0, width, height};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
        SetBkMode(dc_, TRANSPARENT);
        for (const Piece& p : pieces) {
            SetTextColor(dc_, p.colour);
            SetTextAlign(dc_, p.rightAligned ? TA_RIGHT | TA_TOP : TA_LEFT | TA_TOP);
            TextOutA(dc_, p.x, p.y, p.text.c_str(), int(p.text.size()));
        }
        GdiFlush();
        return {static_cast<std::uint8_t*>(bits), width, height, std::ptrdiff_t(width) * 4, 4};
    }
    // Subpixel smoothing made from greyscale smoothing, for a system that draws
    // no coloured fringes (Wine): the pieces of each colour are drawn black on
    // white three times as wide, and each pixel's red, green and blue take the
    // coverage of their own third (red left), softened by ClearType's five-tap
    // filter (1 2 3 2 1) / 9, between the background and the piece's colour.
    glimra::PixelView DrawSubpixel(int width, int height, COLORREF background,
                                   const std::vector<Piece>& pieces) {
        const glimra::PixelView out = Draw(width, height, background, {});
        HDC wide = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = 3 * width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(wide, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        SelectObject(wide, bitmap);
        SelectObject(wide, font_);
        SetGraphicsMode(wide, GM_ADVANCED);
        const XFORM threeWide{3, 0, 0, 1, 0, 0};
        SetWorldTransform(wide, &threeWide);
        SetBkMode(wide, TRANSPARENT);
        SetTextColor(wide, RGB(0, 0, 0));
        std::vector<COLORREF> colours;
        for (const Piece& p : pieces)
            if (std::find(colours.begin(), colours.end(), p.colour) == colours.end())
                colours.push_back(p.colour);
        const auto* w = static_cast<const std::uint8_t*>(bits);
        const int filter[5] = {1, 2, 3, 2, 1};
        for (COLORREF colour : colours) {
            std::fill_n(static_cast<std::uint8_t*>(bits), std::size_t(width) * 12 * height, 255);
            for (const Piece& p : pieces)
                if (p.colour == colour) {
                    SetTextAlign(wide, p.rightAligned ? TA_RIGHT | TA_TOP : TA_LEFT | TA_TOP);
                    TextOutA(wide, p.x, p.y, p.text.c_str(), int(p.text.size()));
                }
            GdiFlush();
            const int text[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    for (int c = 0; c < 3; ++c) {
                        const int sub = 3 * x + (2 - c);
                        int sum = 0;
                        for (int k = -2; k <= 2; ++k)
                            if (sub + k >= 0 && sub + k < 3 * width)
                                sum += filter[k + 2] *
                                       (255 - w[(std::size_t(y) * 3 * width + sub + k) * 4]);
                        std::uint8_t& o = out.Row(y)[x * 4 + c];
                        o = std::uint8_t(o + (text[c] - o) * sum / (9 * 255));
                    }
        }
        DeleteDC(wide);
        DeleteObject(bitmap);
        return out;
    }
    std::string chosenFace;

  private:
    HDC dc_;
    HFONT font_;
    HBITMAP bitmap_ = nullptr;
    int lineHeight_ = 0;
};

// Whether gray text on gray came out with coloured edges: pixels whose channels
// differ by more than a little.
int ColouredPixels(const glimra::PixelView& view) {
    int n = 0;
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) {
            const std::uint8_t* p = view.Row(y) + x * 4;
            n += std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 24;
        }
    return n;
}

struct Colours {
    COLORREF background, text, dim;
};
const Colours kLight{RGB(255, 255, 255), RGB(0, 0, 0), RGB(128, 128, 128)};
const Colours kDark{RGB(43, 43, 43), RGB(255, 255, 255), RGB(140, 140, 140)};

// Saves the picture as PNG, in 8-bit gray where it has no colour (greyscale
// smoothing), which keeps the files a third of the size, else in 24 bits.
void Save(const std::string& folder, const std::string& name, const glimra::PixelView& view,
          const std::string& text) {
    const bool gray = ColouredPixels(view) == 0 && [&] {
        for (int y = 0; y < view.height; ++y)
            for (int x = 0; x < view.width; ++x) {
                const std::uint8_t* p = view.Row(y) + x * 4;
                if (p[0] != p[1] || p[1] != p[2]) return false;
            }
        return true;
    }();
    const int channels = gray ? 1 : 3;
    std::vector<std::uint8_t> bytes(std::size_t(view.width) * channels * std::size_t(view.height));
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x)
            std::copy_n(view.Row(y) + x * 4, channels,
                        &bytes[(std::size_t(y) * view.width + x) * channels]);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(view.width);
    image.height = png_uint_32(view.height);
    image.format = gray ? PNG_FORMAT_GRAY : PNG_FORMAT_BGR;
    const std::string png = folder + "\\" + name + ".png";
    if (!png_image_write_to_file(&image, png.c_str(), 0, bytes.data(), 0, nullptr)) {
        std::fprintf(stderr, "cannot write %s: %s\n", png.c_str(), image.message);
        std::exit(1);
    }
    std::FILE* txt = std::fopen((folder + "\\" + name + ".txt").c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), txt);
    std::fclose(txt);
}

struct Layout {
    int width = 0, height = 0;
    std::vector<Piece> pieces;
    std::string text;
};

constexpr int kMargin = 6;

// Lines of prose, one under the other.
Layout Prose(const Canvas& c, const Colours& col, int first, int count) {
    Layout l;
    for (int i = 0; i < count; ++i) {
        const std::string line = kProse[(first + i) % std::size(kProse)];
        l.pieces.push_back({kMargin, kMargin + i * c.LineHeight(), line, col.text});
        l.width = std::max(l.width, c.Width(line));
        l.text += line + "\n";
    }
    l.width += 2 * kMargin;
    l.height = count * c.LineHeight() + 2 * kMargin;
    return l;
}

// Code with its line numbers right-aligned in a dimmer colour beside it.
Layout Code(const Canvas& c, const Colours& col, int first, int count, int number) {
    Layout l;
    const int digits = int(std::to_string(number + count - 1).size());
    const int numbers = c.Width(std::string(std::size_t(digits), '0'));
    const int codeLeft = kMargin + numbers + c.Width("00");
    for (int i = 0; i < count; ++i) {
        const std::string line = kCode[(first + i) % std::size(kCode)];
        const std::string n = std::to_string(number + i);
        const int y = kMargin + i * c.LineHeight();
        l.pieces.push_back({kMargin + numbers, y, n, col.dim, true});
        l.pieces.push_back({codeLeft, y, line, col.text});
        l.width = std::max(l.width, codeLeft + c.Width(line));
        // The true text has no leading spaces: indentation is no text.
        const std::size_t start = line.find_first_not_of(' ');
        l.text += n + " " + line.substr(start == std::string::npos ? line.size() : start) + "\n";
    }
    l.width += kMargin;
    l.height = count * c.LineHeight() + 2 * kMargin;
    return l;
}

// Menu bars, labels beside values and rows of buttons.
Layout Dialog(const Canvas& c, const Colours& col) {
    Layout l;
    const int gap = c.Width("MMMM");
    for (std::size_t i = 0; i < kDialog.size(); ++i) {
        int x = kMargin;
        const int y = kMargin + int(i) * (c.LineHeight() * 3 / 2);
        std::string line;
        for (const std::string& item : kDialog[i]) {
            l.pieces.push_back({x, y, item, col.text});
            x += c.Width(item) + gap;
            line += (line.empty() ? "" : " ") + item;
        }
        l.width = std::max(l.width, x - gap + kMargin);
        l.text += line + "\n";
    }
    l.height = int(kDialog.size()) * (c.LineHeight() * 3 / 2) + 2 * kMargin;
    return l;
}

// Two columns of prose a wide gutter apart: the left column is read first.
Layout Columns(const Canvas& c, const Colours& col, int first, int count) {
    Layout left = Prose(c, col, first, count), right = Prose(c, col, first + count, count);
    const int gutter = 4 * c.LineHeight();
    for (Piece p : right.pieces) {
        p.x += left.width - kMargin + gutter;
        left.pieces.push_back(p);
    }
    left.width += right.width - kMargin + gutter;
    left.text += right.text;
    return left;
}

// A screen full of prose, 1024 x 768.
Layout Screen(const Canvas& c, const Colours& col) {
    Layout l;
    l.width = 1024;
    l.height = 768;
    std::size_t k = 0;
    for (int y = kMargin; y + c.LineHeight() <= l.height - kMargin; y += c.LineHeight()) {
        std::string line;
        while (true) {
            const std::string next =
                (line.empty() ? "" : " ") + std::string(kProse[k % std::size(kProse)]);
            if (c.Width(line + next) > l.width * 9 / 10) break;
            line += next;
            ++k;
        }
        l.pieces.push_back({kMargin, y, line, col.text});
        l.text += line + "\n";
    }
    return l;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: text_recognition_pictures FOLDER [FONT_FILE ...]\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (int i = 2; i < argc; ++i)
        if (!AddFontResourceExA(argv[i], FR_PRIVATE, nullptr))
            std::fprintf(stderr, "cannot add the font %s\n", argv[i]);
    CreateDirectoryA(folder.c_str(), nullptr);
    int made = 0;
    const auto make = [&](const Style& s, int points, bool cleartype, bool dark, const char* kind,
                          auto layout) {
        Canvas canvas(s.face, points, cleartype);
        const Colours& colours = dark ? kDark : kLight;
        Layout l = layout(canvas, colours);
        // Room for text drawn three times as wide, whose hinted advances differ.
        if (l.width < 1024) l.width += l.width / 12 + 4;
        char name[128];
        std::snprintf(name, sizeof name, "%s-%02dpt-%s-%s-%s", s.name, points,
                      cleartype ? "cleartype" : "antialiased", dark ? "dark" : "light", kind);
        glimra::PixelView view = canvas.Draw(l.width, l.height, colours.background, l.pieces);
        std::printf("%-48s %4d x %-4d face \"%s\"", name, l.width, l.height,
                    canvas.chosenFace.c_str());
        if (cleartype) {
            std::printf(", %d coloured pixels", ColouredPixels(view));
            if (ColouredPixels(view) == 0) {
                view = canvas.DrawSubpixel(l.width, l.height, colours.background, l.pieces);
                std::printf(", made from 3x wide greyscale: %d", ColouredPixels(view));
            }
        }
        std::printf("\n");
        Save(folder, name, view, l.text);
        ++made;
    };
    // Every font at every size, once dark on light and once light on dark, the
    // smoothing alternating so that each size has both.
    const int sizes[] = {8, 9, 10, 11, 12, 14};
    int k = 0;
    for (const Style& s : kStyles)
        for (int points : sizes) {
            for (bool dark : {false, true}) {
                const bool cleartype = (points + dark) % 2 == 1;
                if (s.monospace)
                    make(s, points, cleartype, dark, "code",
                         [&](const Canvas& c, const Colours& col) {
                             return Code(c, col, k * 3, 7, 1 + (k * 37) % 1200);
                         });
                else
                    make(s, points, cleartype, dark, "prose",
                         [&](const Canvas& c, const Colours& col) {
                             return Prose(c, col, k * 5, 6);
                         });
                ++k;
            }
        }
    // Menus and dialogs, two columns, and a whole screen of text.
    for (bool dark : {false, true}) {
        make(kStyles[0], 8, dark, dark, "dialog",
             [](const Canvas& c, const Colours& col) { return Dialog(c, col); });
        make(kStyles[1], 8, !dark, dark, "dialog",
             [](const Canvas& c, const Colours& col) { return Dialog(c, col); });
        make(kStyles[2], 10, dark, dark, "columns",
             [&](const Canvas& c, const Colours& col) { return Columns(c, col, 3 + 7 * dark, 7); });
    }
    make(kStyles[0], 9, true, false, "screen",
         [](const Canvas& c, const Colours& col) { return Screen(c, col); });
    std::printf("%d pictures\n", made);
    return 0;
}
