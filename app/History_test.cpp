// Undo and redo on the real main window, in-process: every kind of change made
// through the item, button or mouse it is bound to, then taken back and made
// again through the Undo and Redo items; the picture's bytes and layout are
// compared whole.
#include "app/History.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "testing/app/MainWindowInternals.h"
#include "testing/app/MainWindowTest.h"
#include "ui/TSpeedButton.h"

namespace {

using glimra::test::MainWindow;
using ui::TMenuItem;

// A picture as bytes: its size, its layout and every pixel byte, rows from the top.
struct Snapshot {
    int width = 0, height = 0, bytesPerPixel = 0;
    std::vector<std::uint8_t> bytes;
    bool operator==(const Snapshot&) const = default;
};

class Undo : public MainWindow {
  protected:
    Snapshot Now() {
        Snapshot s;
        ui::TBitmap& bitmap = MAIN->Picture().Bitmap();
        if (bitmap.Empty()) return s;
        const glimra::PixelView v = bitmap.View();
        s = {v.width, v.height, v.bytesPerPixel, {}};
        for (int y = 0; y < v.height; ++y)
            s.bytes.insert(s.bytes.end(), v.Row(y), v.Row(y) + v.width * v.bytesPerPixel);
        return s;
    }
    // A picture of distinct colours as a capture gives it (32 bits, the fourth
    // byte varying too), or in 24 bits as an edit leaves it.
    void SetPattern(int width, int height, ui::TPixelFormat format) {
        ui::TBitmap picture;
        picture.SetPixelFormat(format);
        picture.SetSize(width, height);
        const glimra::PixelView v = picture.View();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width * v.bytesPerPixel; ++x)
                v.Row(y)[x] = std::uint8_t(x * 7 + y * 13 + (x * y) % 11);
        MAIN->Picture().Replace(picture);
    }
    void Click(const char* item) { MAIN->Get<TMenuItem>(item).Click(); }
    // A mode button of the main tool bar, down or up, as its click leaves it.
    void Press(const char* button, bool down) {
        ui::TSpeedButton& b = MAIN->Get<ui::TSpeedButton>(button);
        b.SetDown(down);
        b.Click();
    }
    // Makes the change, then undoes and redoes it.
    void ExpectUndoAndRedo(const std::string& what, const std::function<void()>& change) {
        SCOPED_TRACE(what);
        const Snapshot before = Now();
        change();
        const Snapshot after = Now();
        ASSERT_NE(before, after);
        EXPECT_TRUE(Enabled("MenuUndo"));
        EXPECT_TRUE(Enabled("ImagePopUndo"));
        Click("MenuUndo");
        EXPECT_EQ(Now(), before);
        EXPECT_TRUE(Enabled("MenuRedo"));
        Click("ImagePopRedo");
        EXPECT_EQ(Now(), after);
        EXPECT_FALSE(Enabled("MenuRedo"));
    }
};

TEST_F(Undo, EveryChangeUndoneGivesBackItsPictureAndLayout_RedoneItsResult) {
    EXPECT_FALSE(Enabled("MenuUndo"));
    EXPECT_FALSE(Enabled("MenuRedo"));
    const char* const edits[] = {"MenuGrayscale",    "MenuBrighten",      "MenuDarken",
                                 "MenuInvert",       "MenuRotate90",      "MenuRotate180",
                                 "MenuFlipVertical", "MenuFlipHorizontal"};
    for (ui::TPixelFormat format : {ui::TPixelFormat::pf32bit, ui::TPixelFormat::pf24bit})
        for (const char* edit : edits) {
            SetPattern(37, 23, format);
            ExpectUndoAndRedo(
                std::string(edit) +
                    (format == ui::TPixelFormat::pf32bit ? " on 32 bits" : " on 24 bits"),
                [&] { Click(edit); });
        }

    // A brush stroke, press to release, is one step.
    SetPattern(60, 40, ui::TPixelFormat::pf32bit);
    Press("ButtonBrush", true);
    ExpectUndoAndRedo("a brush stroke", [] {
        MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, 5, 5);
        for (int x = 10; x < 50; x += 10)
            MAIN->Image1MouseMove(nullptr, ui::ssLeft, x, x / 2);
        MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, 50, 25);
    });
    Press("ButtonBrush", false);

    // Pixelating an area, a capture, and Clear, whose undo brings the picture
    // and its commands back.
    Press("ButtonPixelate", true);
    ExpectUndoAndRedo("pixelating", [] {
        MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, 3, 4);
        MAIN->Image1MouseMove(nullptr, ui::ssLeft, 30, 20);
        MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, 30, 20);
    });
    Press("ButtonPixelate", false);
    ExpectUndoAndRedo("a capture", [] { MAIN->ButtonCaptureClick(nullptr); });
    Pump(100);
    ExpectUndoAndRedo("Clear", [] { MAIN->ButtonClearClick(nullptr); });
    Pump(100);
    EXPECT_FALSE(Enabled("ButtonSave"));
    Click("MenuUndo");
    Pump(100);
    EXPECT_TRUE(Enabled("ButtonSave"));
    EXPECT_TRUE(MAIN->HasPicture());
}

// A thick stroke's step keeps only the pixels round it, and they are all it
// needs: its undo gives back every pixel, the round ends included.
TEST_F(Undo, AThickBrushStrokeKeepsOnlyTheAreaItPainted) {
    SetPattern(400, 300, ui::TPixelFormat::pf32bit);
    const History& history = glimra::test::MainWindowInternals::PictureHistory(*MAIN);
    const std::size_t bytesBefore = history.Bytes();
    Click("ImagePopD10");
    Press("ButtonBrush", true);
    ExpectUndoAndRedo("a ten-pixel stroke", [] {
        MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, 120, 100);
        MAIN->Image1MouseMove(nullptr, ui::ssLeft, 100, 130);
        MAIN->Image1MouseMove(nullptr, ui::ssLeft, 160, 115);
        MAIN->Image1MouseMove(nullptr, ui::ssLeft, 3, 296);
        MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, 3, 296);
    });
    Press("ButtonBrush", false);
    // The stroke reaches from (3, 296) to (160, 100): less than the picture's
    // 400 x 300 pixels of 4 bytes.
    EXPECT_LT(history.Bytes() - bytesBefore, std::size_t(170 * 210 * 4));
}

// FNV-1a of a picture's layout and bytes.
std::uint64_t Hash(const Snapshot& s) {
    std::uint64_t h = 1469598103934665603ull;
    const auto add = [&](std::uint8_t b) { h = (h ^ b) * 1099511628211ull; };
    for (int v : {s.width, s.height, s.bytesPerPixel})
        add(std::uint8_t(v)), add(std::uint8_t(v >> 8));
    for (std::uint8_t b : s.bytes)
        add(b);
    return h;
}

TEST_F(Undo, FiftyEditsOfA4kPictureStayWithinTheBound_AndUndoReachesTheOldestKept) {
    SetPattern(3840, 2160, ui::TPixelFormat::pf32bit);
    const char* const edits[] = {"MenuGrayscale", "MenuInvert",        "MenuBrighten",
                                 "MenuRotate90",  "MenuDarken",        "MenuFlipVertical",
                                 "MenuRotate180", "MenuFlipHorizontal"};
    std::vector<std::uint64_t> after{Hash(Now())};
    std::size_t most = 0;
    for (int i = 0; i < 50; ++i) {
        Click(edits[i % 8]);
        after.push_back(Hash(Now()));
        most = std::max(most, glimra::test::MainWindowInternals::PictureHistory(*MAIN).Bytes());
    }
    const std::size_t steps = glimra::test::MainWindowInternals::PictureHistory(*MAIN).Steps();
    std::printf("50 edits of 3840 x 2160: %zu steps kept, at most %.1f MiB\n", steps,
                double(most) / (1 << 20));
    EXPECT_LE(most, History::kDefaultLimit);
    EXPECT_LT(steps, 50u);
    int undone = 0;
    while (Enabled("MenuUndo")) {
        Click("MenuUndo");
        ++undone;
    }
    EXPECT_EQ(std::size_t(undone), steps);
    EXPECT_EQ(Hash(Now()), after[50 - steps]);
    EXPECT_LE(glimra::test::MainWindowInternals::PictureHistory(*MAIN).Bytes(),
              History::kDefaultLimit);
}

}  // namespace
