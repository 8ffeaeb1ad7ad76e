// The edit commands and the brush on the real main window, in-process: commands run
// through the items and buttons they are bound to, and the picture's pixels, layout,
// size and the controls' states are read back.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "testing/app/MainWindowTest.h"
#include "app/Unit3.h"
#include "testing/desktop/Desktop.h"
#include "ui/TApplication.h"
#include "ui/TColorDialog.h"
#include "ui/TImage.h"
#include "ui/TMenuItem.h"
#include "ui/TSpeedButton.h"
#include "ui/TToolButton.h"

namespace {

using glimra::test::MainWindow;
using ui::TMenuItem;

// Blue, green, red of a pixel.
struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Bgr& p) {
    return out << "(r " << p.r << ", g " << p.g << ", b " << p.b << ")";
}

class PictureEditing : public MainWindow {
  protected:
    ui::TImage& View() { return MAIN->Get<ui::TImage>("Image1"); }
    ui::TBitmap& Picture() { return View().Bitmap(); }
    // A picture whose pixel (x, y) is `colour(x, y)`, in the given layout.
    template <class F>
    void SetPicture(int width, int height, ui::TPixelFormat format, F colour) {
        ui::TBitmap picture;
        picture.SetPixelFormat(format);
        picture.SetSize(width, height);
        const int step = picture.BitsPerPixel() / 8;
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = picture.ScanLine(y);
            for (int x = 0; x < width; ++x) {
                const Bgr c = colour(x, y);
                row[step * x] = std::uint8_t(c.b);
                row[step * x + 1] = std::uint8_t(c.g);
                row[step * x + 2] = std::uint8_t(c.r);
                if (step == 4) row[step * x + 3] = std::uint8_t(x + y);
            }
        }
        View().SetBitmap(picture);
    }
    Bgr Pixel(int x, int y) {
        const std::uint8_t* p = Picture().ScanLine(y) + Picture().BitsPerPixel() / 8 * x;
        return {p[0], p[1], p[2]};
    }
    std::vector<Bgr> AllPixels() {
        std::vector<Bgr> pixels;
        for (int y = 0; y < Picture().Height(); ++y)
            for (int x = 0; x < Picture().Width(); ++x)
                pixels.push_back(Pixel(x, y));
        return pixels;
    }
    void Click(const char* item) { MAIN->Get<TMenuItem>(item).Click(); }
    ui::TToolButton& RotateButton() { return MAIN->Get<ui::TToolButton>("ButtonEditRotate"); }
    void ClickRotateButton() { RotateButton().OnClick(&RotateButton()); }
};

// A different colour for every pixel of a small picture.
Bgr Distinct(int x, int y) {
    return {x * 20 + 5, y * 30 + 7, x * 7 + y * 11};
}

TEST_F(PictureEditing, GrayscaleGivesTheRoundedWeightedSumAndLeavesA32BitPicture) {
    const std::vector<Bgr> colours = {{0, 0, 255},     {0, 255, 0}, {255, 0, 0},
                                      {255, 255, 255}, {0, 0, 0},   {200, 100, 50}};
    SetPicture(int(colours.size()), 1, ui::TPixelFormat::pf24bit,
               [&](int x, int) { return colours[std::size_t(x)]; });
    Click("MenuGrayscale");
    ASSERT_EQ(Picture().BitsPerPixel(), 32);
    // Pure red is 76.5, an exact half that the 80-bit evaluation puts below 76.5.
    const std::vector<int> expected = {76, 150, 28, 255, 0, 96};
    for (int x = 0; x < int(colours.size()); ++x)
        EXPECT_EQ(Pixel(x, 0), (Bgr{expected[x], expected[x], expected[x]})) << x;
    const std::vector<Bgr> once = AllPixels();
    MAIN->ImagePopGrayscaleClick(nullptr);
    EXPECT_EQ(AllPixels(), once);
    EXPECT_TRUE(reports.empty());
}

TEST_F(PictureEditing, BrightenAndDarkenStepEveryChannelAndLeaveA24BitPicture) {
    const std::vector<int> values = {0, 25, 26, 245, 246, 255};
    const auto picture = [&] {
        SetPicture(int(values.size()), 2, ui::TPixelFormat::pf32bit, [&](int x, int y) {
            const int v = values[std::size_t(x)];
            return y == 0 ? Bgr{v, v, v} : Bgr{v, values[values.size() - 1 - std::size_t(x)], v};
        });
    };
    picture();
    Click("ImagePopBrighten");
    ASSERT_EQ(Picture().BitsPerPixel(), 24);
    const std::vector<int> brighter = {0, 25, 27, 254, 255, 255};
    for (int x = 0; x < int(values.size()); ++x) {
        EXPECT_EQ(Pixel(x, 0), (Bgr{brighter[x], brighter[x], brighter[x]})) << x;
        EXPECT_EQ(Pixel(x, 1).g, brighter[values.size() - 1 - x]) << x;
    }
    picture();
    MAIN->Get<ui::TControl>("ButtonEditDarken").OnClick(nullptr);
    ASSERT_EQ(Picture().BitsPerPixel(), 24);
    const std::vector<int> darker = {0, 25, 25, 236, 237, 245};
    for (int x = 0; x < int(values.size()); ++x)
        EXPECT_EQ(Pixel(x, 0), (Bgr{darker[x], darker[x], darker[x]})) << x;
    // Darken then Brighten does not give back the values in general (both truncate).
    Click("MenuBrighten");
    EXPECT_EQ(Pixel(5, 0).r, 254);
    EXPECT_EQ(Pixel(2, 0).r, 25);
}

TEST_F(PictureEditing, InvertTwiceIsTheIdentity_FromEitherLayout) {
    SetPicture(7, 5, ui::TPixelFormat::pf32bit, Distinct);
    Click("ImagePopInvert");
    ASSERT_EQ(Picture().BitsPerPixel(), 24);
    EXPECT_EQ(Pixel(3, 2), (Bgr{255 - 65, 255 - 67, 255 - 43}));
    Click("MenuInvert");
    std::vector<Bgr> original;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            original.push_back(Distinct(x, y));
    EXPECT_EQ(AllPixels(), original);
    EXPECT_TRUE(reports.empty());
}

TEST_F(PictureEditing, InvertShowsTheInvertedPictureInTheView) {
    // A picture higher than the view: the view shows the inverted top part afterwards.
    SetPicture(600, 3000, ui::TPixelFormat::pf24bit, [](int, int) { return Bgr{10, 20, 30}; });
    MAIN->StartCommandRefresh();
    Pump(200);
    Click("ImagePopInvert");
    Pump(100);
    HWND box = MAIN->Get<ui::TWinControl>("ScrollBox1").Handle();
    HDC dc = ::GetDC(box);
    const COLORREF shown = ::GetPixel(dc, 5, 5);
    ::ReleaseDC(box, dc);
    EXPECT_EQ(shown, RGB(255 - 30, 255 - 20, 255 - 10));
    EXPECT_EQ(Pixel(599, 2999), (Bgr{245, 235, 225}));
}

TEST_F(PictureEditing, ClearEmptiesTheViewAndDisablesThePictureCommands) {
    SetPicture(40, 30, ui::TPixelFormat::pf24bit, Distinct);
    MAIN->StartCommandRefresh();
    Pump();
    ASSERT_TRUE(MAIN->Get<ui::TControl>("ButtonEditGrayscale").Enabled());
    MAIN->Get<ui::TControl>("ButtonClear").OnClick(nullptr);
    EXPECT_EQ(View().Width(), 0);
    EXPECT_EQ(View().Height(), 0);
    EXPECT_TRUE(Picture().Empty());
    Pump();
    EXPECT_FALSE(MAIN->Get<ui::TControl>("ButtonEditGrayscale").Enabled());
    EXPECT_FALSE(MAIN->Get<TMenuItem>("MenuGrayscale").Enabled());
    EXPECT_FALSE(MAIN->Get<ui::TControl>("ButtonBrush").Enabled());
    // The image menu stays available: its commands leave an empty view as it is.
    for (const char* item : {"ImagePopGrayscale", "ImagePopBrighten", "ImagePopInvert",
                             "ImagePopRotate90", "ImagePopFlipVertical"})
        Click(item);
    EXPECT_EQ(View().Height(), 0);
    EXPECT_TRUE(reports.empty());
}

TEST_F(PictureEditing, QuarterAndHalfTurnsMoveEveryPixelAndTheButtonRepeatsThem) {
    const int w = 5, h = 3;
    SetPicture(w, h, ui::TPixelFormat::pf24bit, Distinct);
    const std::vector<Bgr> original = AllPixels();
    // Before any command the button turns by a quarter.
    ClickRotateButton();
    ASSERT_EQ(Picture().Width(), h);
    ASSERT_EQ(Picture().Height(), w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(Pixel(h - 1 - y, x), Distinct(x, y)) << x << "," << y;
    Click("PopRotate90");
    Click("MenuRotate90");
    Click("ImagePopRotate90");
    EXPECT_EQ(AllPixels(), original);
    EXPECT_EQ(RotateButton().Caption(), "90\xB0");
    EXPECT_EQ(RotateButton().ImageIndex(), 5);

    Click("ImagePopRotate180");
    EXPECT_EQ(RotateButton().Caption(), "180\xB0");
    EXPECT_EQ(RotateButton().ImageIndex(), 5);
    ASSERT_EQ(Picture().Width(), w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(Pixel(w - 1 - x, h - 1 - y), Distinct(x, y)) << x << "," << y;
    ClickRotateButton();
    EXPECT_EQ(AllPixels(), original);
    EXPECT_EQ(RotateButton().Caption(), "180\xB0");

    // A single pixel keeps its colour: no background shows.
    SetPicture(1, 1, ui::TPixelFormat::pf32bit, [](int, int) { return Bgr{1, 2, 3}; });
    Click("MenuRotate90");
    EXPECT_EQ(Pixel(0, 0), (Bgr{1, 2, 3}));
    Click("MenuRotate180");
    EXPECT_EQ(Pixel(0, 0), (Bgr{1, 2, 3}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(PictureEditing, FlipsMirrorAndTheButtonNamesAndRepeatsThem) {
    const int w = 5, h = 3;
    SetPicture(w, h, ui::TPixelFormat::pf32bit, Distinct);
    Click("ImagePopFlipHorizontal");
    EXPECT_EQ(RotateButton().Caption(), "Horizontal");
    EXPECT_EQ(RotateButton().ImageIndex(), 7);
    ASSERT_EQ(Picture().BitsPerPixel(), 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(Pixel(w - 1 - x, y), Distinct(x, y)) << x << "," << y;
    ClickRotateButton();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(Pixel(x, y), Distinct(x, y)) << x << "," << y;

    Click("PopFlipVertical");
    EXPECT_EQ(RotateButton().Caption(), "Vertical");
    EXPECT_EQ(RotateButton().ImageIndex(), 6);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(Pixel(x, h - 1 - y), Distinct(x, y)) << x << "," << y;
    ClickRotateButton();
    EXPECT_EQ(Pixel(0, 0), Distinct(0, 0));
    EXPECT_EQ(Picture().BitsPerPixel(), 24);
}

class Brush : public PictureEditing {
  protected:
    Brush() {
        SetPicture(200, 150, ui::TPixelFormat::pf32bit, [](int, int) {
            return Bgr{200, 210, 220};
        });
        MAIN->StartCommandRefresh();
        Pump();
        ui::TSpeedButton& button = MAIN->Get<ui::TSpeedButton>("ButtonBrush");
        button.SetDown(true);
        button.OnClick(&button);
    }
    void Drag(ui::TMouseButton button, ui::TShiftState held, POINT from, POINT to) {
        MAIN->Image1MouseDown(nullptr, button, held, from.x, from.y);
        MAIN->Image1MouseMove(nullptr, held, to.x, to.y);
        MAIN->Image1MouseUp(nullptr, button, 0, to.x, to.y);
    }
    // Pixels of column x, rows 0 to the bottom, that differ from the background.
    int PaintedInColumn(int x) {
        int painted = 0;
        for (int y = 0; y < Picture().Height(); ++y)
            painted += !(Pixel(x, y) == Bgr{200, 210, 220});
        return painted;
    }
    static constexpr Bgr kBackground{200, 210, 220};
};

TEST_F(Brush, TheButtonSwitchesTheBrushCursorOnAndOff) {
    EXPECT_EQ(View().Cursor(), 5);
    EXPECT_NE(application.Cursors(5), application.Cursors(0));
    ui::TSpeedButton& button = MAIN->Get<ui::TSpeedButton>("ButtonBrush");
    button.SetDown(false);
    button.OnClick(&button);
    EXPECT_EQ(View().Cursor(), ui::crDefault);
}

TEST_F(Brush, LinesOneAndTenPixelsWideInTheChosenColour_NothingWithoutMovement) {
    const std::vector<Bgr> before = AllPixels();
    MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, 20, 20);
    MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, 20, 20);
    EXPECT_EQ(AllPixels(), before);
    // Before any choice: one pixel wide, black, stopping short of the end point.
    Drag(ui::TMouseButton::mbLeft, ui::ssLeft, {10, 30}, {40, 30});
    EXPECT_EQ(Pixel(10, 30), (Bgr{0, 0, 0}));
    EXPECT_EQ(Pixel(39, 30), (Bgr{0, 0, 0}));
    EXPECT_EQ(Pixel(40, 30), kBackground);
    EXPECT_EQ(PaintedInColumn(25), 1);
    // Ten pixels wide, green as (0, 128, 0).
    Click("ImagePopD10");
    Click("ImagePopGreen");
    EXPECT_TRUE(MAIN->Get<TMenuItem>("ImagePopD10").Checked());
    EXPECT_FALSE(MAIN->Get<TMenuItem>("ImagePopD1").Checked());
    EXPECT_TRUE(MAIN->Get<TMenuItem>("ImagePopGreen").Checked());
    EXPECT_FALSE(MAIN->Get<TMenuItem>("ImagePopBlack").Checked());
    Drag(ui::TMouseButton::mbLeft, ui::ssLeft, {60, 100}, {160, 100});
    EXPECT_EQ(PaintedInColumn(110), 10);
    EXPECT_EQ(Pixel(110, 100), (Bgr{0, 128, 0}));
    // The next segment starts where the last one ended.
    MAIN->Image1MouseMove(nullptr, ui::ssLeft, 160, 140);
    EXPECT_EQ(Pixel(160, 120), (Bgr{0, 128, 0}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(Brush, RightButtonDragsDrawNothing) {
    const std::vector<Bgr> before = AllPixels();
    Drag(ui::TMouseButton::mbRight, ui::ssRight, {10, 10}, {150, 120});
    EXPECT_EQ(AllPixels(), before);
}

// Real mouse input: the view keeps the mouse while the button is held, so a drag
// that leaves the picture draws up to its edge.
TEST_F(Brush, ADragLeavingTheViewDrawsUpToThePicturesEdge) {
    Click("ImagePopRed");
    Click("ImagePopD3");
    POINT origin{0, 0};
    ::ClientToScreen(MAIN->Get<ui::TWinControl>("ScrollBox1").Handle(), &origin);
    const auto send = [](DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        ::SendInput(1, &input, sizeof input);
    };
    glimra::test::MoveMouseTo({origin.x + 100, origin.y + 50});
    Pump();
    send(MOUSEEVENTF_LEFTDOWN);
    Pump();
    for (int x = 120; x <= 400; x += 40) {
        glimra::test::MoveMouseTo({origin.x + x, origin.y + 50});
        Pump(30);
    }
    send(MOUSEEVENTF_LEFTUP);
    Pump();
    EXPECT_EQ(Pixel(120, 50), (Bgr{0, 0, 255}));
    EXPECT_EQ(Pixel(199, 50), (Bgr{0, 0, 255}));
    EXPECT_EQ(Pixel(99, 40), kBackground);
}

struct DialogAnswer {
    DWORD thread;
    WPARAM button;
    bool answered = false;
};

BOOL CALLBACK AnswerDialog(HWND window, LPARAM data) {
    auto* answer = reinterpret_cast<DialogAnswer*>(data);
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32770" || !::IsWindowVisible(window)) return TRUE;
    ::PostMessageA(window, WM_COMMAND, answer->button, 0);
    answer->answered = true;
    return FALSE;
}

// Answers the colour dialog that the calling thread is about to open.
std::thread AnswerColourDialog(WPARAM button) {
    return std::thread([thread = ::GetCurrentThreadId(), button] {
        DialogAnswer answer{thread, button};
        glimra::test::WaitFor(
            [&] {
                ::EnumThreadWindows(answer.thread, AnswerDialog, reinterpret_cast<LPARAM>(&answer));
                return answer.answered;
            },
            10000);
    });
}

TEST_F(Brush, TheColourDialogSetsTheBrushColour_CancelKeepsItWithCustomChecked) {
    ui::TColorDialog& dialog = MAIN->Get<ui::TColorDialog>("ColorDialog1");
    EXPECT_EQ(dialog.Options(), unsigned(CC_SOLIDCOLOR | CC_ANYCOLOR));
    Click("ImagePopBlue");
    std::thread cancel = AnswerColourDialog(IDCANCEL);
    Click("ImagePopCustom");
    cancel.join();
    // Cancelled, the brush still paints blue.
    Drag(ui::TMouseButton::mbLeft, ui::ssLeft, {10, 20}, {50, 20});
    EXPECT_EQ(Pixel(20, 20), (Bgr{255, 0, 0}));
    EXPECT_TRUE(MAIN->Get<TMenuItem>("ImagePopCustom").Checked());
    EXPECT_FALSE(MAIN->Get<TMenuItem>("ImagePopBlue").Checked());
    // Confirmed, the dialog's colour becomes the brush's (a colour that its hue,
    // saturation and luminance fields hold exactly).
    dialog.SetColor(RGB(255, 0, 255));
    std::thread confirm = AnswerColourDialog(IDOK);
    Click("ImagePopCustom");
    confirm.join();
    Drag(ui::TMouseButton::mbLeft, ui::ssLeft, {10, 10}, {50, 10});
    EXPECT_EQ(Pixel(20, 10), (Bgr{255, 0, 255}));
    EXPECT_TRUE(reports.empty());
}

}  // namespace
