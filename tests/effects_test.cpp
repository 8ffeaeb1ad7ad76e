// The picture effects tried on glimra.exe from outside, as a person uses them:
// each chosen in the Edit menu or the picture's menu, its values typed into its
// dialog, and the result read back as other programs read it: the clipboard's
// opaque bitmap and its formats with alpha, a saved PNG (alpha kept) and BMP
// (laid over the background colour), and the view. "Apply to every capture"
// then gives an F7 capture its shadow, in its own save and copy too.
#include <windows.h>

#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "imaging/png_file.h"
#include "testing/desktop/Desktop.h"
#include "testing/desktop/MainWindowLayout.h"
#include "testing/desktop/OtherProgram.h"
#include "testing/desktop/Program.h"
#include "testing/desktop/ProgramDriving.h"

namespace {

namespace fs = std::filesystem;
using namespace glimra::test;

constexpr const char* kCaption = "Norvanta Glimra 1.3";
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kWhite = RGB(255, 255, 255);
constexpr RECT kColourWindow{600, 300, 800, 420};
constexpr int kWidth = 80, kHeight = 60;  // the area selected on the red window

// A picture with its alpha, as a program that keeps transparency reads it.
struct AlphaPicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, rows from the top
    int Alpha(int x, int y) const { return int(pixels[std::size_t(y) * width + x] >> 24); }
    COLORREF Colour(int x, int y) const {
        const std::uint32_t p = pixels[std::size_t(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
};

class Collect : public glimra::PictureTarget {
  public:
    glimra::PixelView Make(int width, int height, bool alpha) override {
        alpha_ = alpha;
        bytes_.resize(std::size_t(width) * height * (alpha ? 4 : 3));
        return {bytes_.data(), width, height, width * (alpha ? 4 : 3), alpha ? 4 : 3};
    }
    AlphaPicture Picture(int width, int height) const {
        AlphaPicture p{width, height, std::vector<std::uint32_t>(std::size_t(width) * height)};
        const int step = alpha_ ? 4 : 3;
        for (std::size_t i = 0; i < p.pixels.size(); ++i) {
            const std::uint8_t* s = &bytes_[i * step];
            p.pixels[i] = std::uint32_t(alpha_ ? s[3] : 255) << 24 | s[2] << 16 | s[1] << 8 | s[0];
        }
        return p;
    }

  private:
    bool alpha_ = false;
    std::vector<std::uint8_t> bytes_;
};

// A PNG file's pixels with their alpha; its colour type (6: RGBA) in `colourType`.
AlphaPicture DecodeWithAlpha(const std::vector<std::uint8_t>& file, int& colourType) {
    colourType = file.size() > 25 ? file[25] : -1;
    Collect target;
    glimra::DecodePngFile(file, target);
    const auto word = [&](int at) {
        return int(file[at]) << 24 | int(file[at + 1]) << 16 | int(file[at + 2]) << 8 |
               file[at + 3];
    };
    return target.Picture(word(16), word(20));
}

// The clipboard's CF_DIBV5: a 32-bit bottom-up bitmap whose header names alpha.
AlphaPicture ClipboardV5() {
    const std::vector<std::uint8_t> bytes = ClipboardBytes(CF_DIBV5);
    AlphaPicture p;
    if (bytes.size() < sizeof(BITMAPV5HEADER)) return p;
    BITMAPV5HEADER header;
    std::memcpy(&header, bytes.data(), sizeof header);
    if (header.bV5BitCount != 32 || header.bV5AlphaMask != 0xFF000000) return p;
    p.width = header.bV5Width;
    p.height = std::abs(header.bV5Height);
    p.pixels.resize(std::size_t(p.width) * p.height);
    for (int y = 0; y < p.height; ++y) {
        const int row = header.bV5Height > 0 ? p.height - 1 - y : y;
        std::memcpy(&p.pixels[std::size_t(y) * p.width],
                    bytes.data() + header.bV5Size + std::size_t(row) * p.width * 4,
                    std::size_t(p.width) * 4);
    }
    return p;
}

// The drop shadow typed below, worked out from what its values mean: black at
// 60 percent, the picture's shape moved 6 right and 4 down, each pixel the mean
// of the shape over 7 x 7 pixels around it. The picture stands at (0, 0).
int ShadowAlpha(int x, int y, int width, int height) {
    const auto share = [](int v, int from, int to) {
        return std::max(0, std::min(v + 3, to) - std::max(v - 3, from) + 1);
    };
    return int(std::lround(255.0 * 0.6 * share(x, 6, width + 5) * share(y, 4, height + 3) / 49));
}

// The first pixel where the picture with alpha differs from the shadowed red
// area: the area opaque red, the shadow black at its alpha (within one step).
std::string ShadowMismatch(const AlphaPicture& p, int width, int height) {
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const bool picture = x < width && y < height;
            const int alpha = picture ? 255 : ShadowAlpha(x, y, width, height);
            const bool colourFits = p.Alpha(x, y) == 0 || p.Colour(x, y) == (picture ? kRed : 0);
            if (std::abs(p.Alpha(x, y) - alpha) > 1 || !colourFits)
                return std::to_string(x) + "," + std::to_string(y) + ": alpha " +
                       std::to_string(p.Alpha(x, y)) + " not " + std::to_string(alpha);
        }
    return "";
}

// The same picture laid over white: the shadow's gray is 255 less its alpha.
COLORREF ShadowOverWhite(int x, int y, int width, int height) {
    if (x < width && y < height) return kRed;
    const int g = 255 - ShadowAlpha(x, y, width, height);
    return RGB(g, g, g);
}

class Effects : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowAwayPrefix()) GTEST_SKIP() << "outside the test harness's Wine prefix";
        folder = TestFolder("effects");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        ::Sleep(60);
        for (int key : {VK_F7, VK_F9})
            ::GetAsyncKeyState(key);
        other.SolidWindow(kColourWindow, kRed);
    }
    void TearDown() override {
        if (InThrowAwayPrefix()) ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }
    void Activate() {
        ::SetForegroundWindow(main);
        WaitFor([&] { return ::GetForegroundWindow() == main; }, 3000);
        ::Sleep(150);
    }
    Pixels Copied() {
        MouseAside();
        return CopyWithTheButton(main) ? ClipboardPixels() : Pixels{};
    }
    // The dialog that the menu's keys open, once it is up.
    HWND Dialog() {
        HWND dialog = nullptr;
        WaitFor([&] { return (dialog = ShownWindowOfClass(*program, "#32770")) != nullptr; }, 5000);
        ::Sleep(300);
        return dialog;
    }
    // "&Edit" > "E&ffects" > the effect's letter.
    HWND FromEditMenu(WORD letter) {
        Activate();
        AltAnd('E');
        if (!WaitForMenu(*program)) return nullptr;
        Keys({'F'});
        ::Sleep(200);
        Keys({letter});
        return Dialog();
    }
    // The same from the picture's own menu.
    HWND FromPictureMenu(WORD letter) {
        Activate();
        RightClickAt(PicturePoint(main, 20, 20));
        if (!WaitForMenu(*program)) return nullptr;
        Keys({'F'});
        ::Sleep(200);
        Keys({letter});
        return Dialog();
    }
    // Types text into the control that has the focus, as keys.
    static void Type(const std::string& text) {
        for (char c : text)
            PressKey(WORD(::VkKeyScanA(c) & 0xFF));
    }
    // OK with Enter; the dialog goes and the picture has changed.
    void Confirm(HWND dialog) {
        Keys({VK_RETURN});
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 5000)) << "the dialog stays";
        ::Sleep(400);
    }
    // Save As by its key (Ctrl+S), typed name, type 1 BMP or 4 PNG.
    void Save(int type, const std::string& path) {
        Activate();
        KeyEvents({{VK_CONTROL, true}, {'S', true}, {'S', false}, {VK_CONTROL, false}});
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] {
                dialog = ShownWindowOfClass(*program, "#32770");
                return dialog && (::GetDlgItem(dialog, cmb13) || ::GetDlgItem(dialog, edt1));
            },
            5000));
        ::Sleep(300);
        SaveInDialog(dialog, type, path);
    }
    void Undo() {
        Activate();
        KeyEvents({{VK_CONTROL, true}, {'Z', true}, {'Z', false}, {VK_CONTROL, false}});
        ::Sleep(400);
    }

    std::string folder;
    OtherProgram other;
    std::unique_ptr<Program> program;
    HWND main = nullptr;
};

TEST_F(Effects, EachEffectChangesTheCaptureAsItsValuesSay_AndEveryCaptureGetsTheChosenOnes) {
    const std::string saves = folder + "\\every";
    fs::remove_all(saves);
    ASSERT_TRUE(StoreSetting("ToolColour", "00FF00"));  // the border's colour
    ASSERT_TRUE(StoreSetting("AutoSaveFolder", saves));
    program = std::make_unique<Program>(ProgramPath(), folder);
    main = program->WaitForWindow(kCaption);
    ASSERT_NE(main, nullptr) << program->DescribeWindows();
    PassTheReminder(*program, main, "");
    MouseAside();

    // A red area of 80 x 60.
    PressKey(VK_F9);
    HWND overlay = WaitForOverlay("CaptureForm");
    ASSERT_NE(overlay, nullptr);
    MoveAndRest({620, 320});
    MouseEvent(MOUSEEVENTF_LEFTDOWN);
    MoveAndRest({660, 350});
    MoveAndRest({620 + kWidth, 320 + kHeight});
    MouseEvent(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(overlay); }, 5000));
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) && !::IsIconic(main); }, 5000));
    ::Sleep(400);
    ASSERT_EQ(Copied().width, kWidth);

    // Drop shadow: 6 right, 4 down, softness 3, darkness 60 %, over white.
    HWND dialog = FromEditMenu('S');
    ASSERT_NE(dialog, nullptr) << program->DescribeWindows();
    for (const char* value : {"6", "4", "3", "60", "FFFFFF"}) {
        Type(value);
        Keys({VK_TAB});
    }
    ::Sleep(200);
    SaveScreenshot(dialog, "effects-shadow-dialog");
    Confirm(dialog);
    const int w = kWidth + 9, h = kHeight + 7;
    const Pixels flat = Copied();
    ASSERT_EQ(flat.width, w);
    ASSERT_EQ(flat.height, h);
    EXPECT_EQ(Mismatch(
                  flat, [&](int x, int y) { return ShadowOverWhite(x, y, kWidth, kHeight); }, 1),
              "");
    // The clipboard's formats with alpha keep it.
    const AlphaPicture v5 = ClipboardV5();
    ASSERT_EQ(v5.width, w) << "no CF_DIBV5 with alpha";
    EXPECT_EQ(ShadowMismatch(v5, kWidth, kHeight), "");
    int colourType = 0;
    const AlphaPicture png =
        DecodeWithAlpha(ClipboardBytes(::RegisterClipboardFormatA("PNG")), colourType);
    EXPECT_EQ(colourType, 6);
    EXPECT_EQ(ShadowMismatch(png, kWidth, kHeight), "");
    // The view shows it over the background colour.
    EXPECT_EQ(Mismatch(
                  ViewShows(main, w, h),
                  [&](int x, int y) { return ShadowOverWhite(x, y, kWidth, kHeight); }, 2),
              "");
    SaveScreenshot(main, "effects-picture-with-shadow");
    // A PNG file keeps the alpha; a BMP has the background colour.
    Save(4, folder + "\\shadow.png");
    const AlphaPicture saved = DecodeWithAlpha(ReadFile(folder + "\\shadow.png"), colourType);
    EXPECT_EQ(colourType, 6);
    ASSERT_EQ(saved.width, w);
    EXPECT_EQ(ShadowMismatch(saved, kWidth, kHeight), "");
    Save(1, folder + "\\shadow.bmp");
    const Pixels bmp = PixelsOf(DecodeBmp(ReadFile(folder + "\\shadow.bmp")));
    EXPECT_TRUE(bmp == flat);

    // Undone in one step; then rounded corners from the picture's menu, a border
    // in the tools' colour and width, and the bottom and right sides torn.
    Undo();
    ASSERT_EQ(Copied().width, kWidth);
    dialog = FromPictureMenu('C');
    ASSERT_NE(dialog, nullptr);
    Type("10");
    Confirm(dialog);
    Pixels p = Copied();
    ASSERT_EQ(p.width, kWidth);
    EXPECT_EQ(p.At(0, 0), kWhite);
    EXPECT_EQ(p.At(1, 1), kWhite);  // 12 from the circle's centre, 10 its radius
    EXPECT_EQ(p.At(5, 5), kRed);    // 6.4 from it
    EXPECT_EQ(p.At(kWidth - 1, kHeight - 1), kWhite);
    EXPECT_EQ(p.At(0, 30), kRed);
    EXPECT_EQ(p.At(40, 0), kRed);
    const COLORREF edge = p.At(2, 3);  // 9.9 from the centre: partly covered
    EXPECT_GT(GetGValue(edge), 0);
    EXPECT_LT(GetGValue(edge), 255);
    EXPECT_EQ(ClipboardV5().Alpha(1, 1), 0);

    // A crop keeps the transparent corner transparent, and is undone.
    ::SetForegroundWindow(main);
    ::Sleep(200);
    PressKey('C');
    DragInView(main, {0, 0}, {30, 20});
    p = Copied();
    EXPECT_LT(p.width, kWidth);
    EXPECT_EQ(p.At(1, 1), kWhite);
    EXPECT_EQ(ClipboardV5().Alpha(1, 1), 0);
    Undo();
    ::SetForegroundWindow(main);
    PressKey(VK_ESCAPE);

    dialog = FromEditMenu('B');
    ASSERT_NE(dialog, nullptr);
    Confirm(dialog);
    p = Copied();
    ASSERT_EQ(p.width, kWidth + 6);
    ASSERT_EQ(p.height, kHeight + 6);
    for (POINT border : {POINT{0, 0}, POINT{2, 30}, POINT{85, 65}, POINT{40, 64}})
        EXPECT_EQ(p.At(border.x, border.y), kGreen) << border.x << "," << border.y;
    EXPECT_EQ(p.At(4, 4), kWhite);  // the corner within the border stays transparent
    EXPECT_EQ(p.At(43, 33), kRed);

    dialog = FromEditMenu('T');
    ASSERT_NE(dialog, nullptr);
    // Bottom is ticked already; Alt+R ticks Right, Alt+D goes to the depth.
    KeyEvents({{VK_MENU, true}, {'R', true}, {'R', false}, {VK_MENU, false}});
    KeyEvents({{VK_MENU, true}, {'D', true}, {'D', false}, {VK_MENU, false}});
    Type("6");
    Confirm(dialog);
    p = Copied();
    ASSERT_EQ(p.width, kWidth + 6);
    std::vector<int> depths;
    for (int x = 0; x < 73; ++x) {
        EXPECT_EQ(p.At(x, 65), kWhite) << x;
        if (x >= 3 && x < 13) continue;  // the rounded corner lies above the tear here
        int depth = 0;  // how far the tear reaches up from the bottom: border or picture
        while (depth < 8 && p.At(x, 65 - depth) != kGreen && p.At(x, 65 - depth) != kRed)
            ++depth;
        EXPECT_LE(depth, 6) << x;
        depths.push_back(depth);
    }
    for (int y = 0; y < 60; ++y)
        EXPECT_EQ(p.At(85, y), kWhite) << y;
    EXPECT_GE(std::set<int>(depths.begin(), depths.end()).size(), 3u) << "not a jagged edge";
    EXPECT_EQ(p.At(2, 30), kGreen);
    EXPECT_EQ(p.At(43, 33), kRed);

    // Three steps back: the capture as it was.
    Undo();
    Undo();
    Undo();
    p = Copied();
    ASSERT_EQ(p.width, kWidth);
    EXPECT_EQ(Mismatch(p, [](int, int) { return kRed; }), "");

    // The shadow's dialog shows the values it keeps; "Apply to every capture".
    dialog = FromEditMenu('S');
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::GetDlgItemInt(dialog, 303, nullptr, TRUE), 6u);
    EXPECT_EQ(::GetDlgItemInt(dialog, 306, nullptr, TRUE), 60u);
    KeyEvents({{VK_MENU, true}, {'A', true}, {'A', false}, {VK_MENU, false}});
    Confirm(dialog);
    EXPECT_EQ(Setting("EffectShadow"), "6,4,3,60,1");
    EXPECT_EQ(Setting("EffectBackground"), "FFFFFF");
    ASSERT_TRUE(StoreSetting("AutoSave", "1"));
    ASSERT_TRUE(StoreSetting("AutoCopy", "1"));
    ExitWithTheMenu(*program, main, 'F', 'X');

    // F7 after a start: the whole screen with its shadow, copied and saved by itself.
    program = std::make_unique<Program>(ProgramPath(), folder);
    main = program->WaitForWindow(kCaption);
    ASSERT_NE(main, nullptr) << program->DescribeWindows();
    PassTheReminder(*program, main, "");
    MouseAside();
    const DWORD sequence = ::GetClipboardSequenceNumber();
    ASSERT_TRUE(CaptureWithKey(VK_F7, main));
    ::Sleep(500);
    EXPECT_NE(::GetClipboardSequenceNumber(), sequence);
    const AlphaPicture copied = ClipboardV5();
    ASSERT_EQ(copied.width, 1024 + 9);
    ASSERT_EQ(copied.height, 768 + 7);
    for (int y : {10, 400, 770})
        for (int x = 1024; x < copied.width; ++x)
            EXPECT_NEAR(copied.Alpha(x, y), ShadowAlpha(x, y, 1024, 768), 1) << x << "," << y;
    EXPECT_EQ(copied.Colour(700, 360), kRed);
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(saves))
        files.push_back(entry.path());
    ASSERT_EQ(files.size(), 1u);
    const AlphaPicture file = DecodeWithAlpha(ReadFile(files[0].string()), colourType);
    EXPECT_EQ(colourType, 6);
    ASSERT_EQ(file.width, 1024 + 9);
    EXPECT_EQ(file.pixels, copied.pixels);
    // One step: undone, no picture; redone, the capture with its shadow.
    Undo();
    EXPECT_EQ(Copied().width, 0);
    KeyEvents({{VK_CONTROL, true}, {'Y', true}, {'Y', false}, {VK_CONTROL, false}});
    ::Sleep(400);
    EXPECT_EQ(Copied().width, 1024 + 9);
    ExitWithTheMenu(*program, main, 'F', 'X');
}

}  // namespace
