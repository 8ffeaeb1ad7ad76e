// Undo and redo on the real main window, in-process: every kind of change made
// through the item, button or mouse it is bound to, then taken back and made
// again through the Undo and Redo items; the picture's bytes and layout are
// compared whole.
#include "app/History.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/PictureCommands.h"
#include "app/editor/PictureTools.h"
#include "testing/app/MainWindowInternals.h"
#include "testing/app/MainWindowTest.h"
#include "testing/app/PackedBytesDamage.h"
#include "ui/TSpeedButton.h"
#include "ui/TToolButton.h"

// What the tests read of the history's steps.
struct HistoryInternals {
    // The step about to be undone (`back` 0) or redone (`back` -1).
    static const History::Step& Next(const History& history, int back) {
        return history.steps_.at(std::size_t(std::ptrdiff_t(history.done_) - 1 - back));
    }
    // Everything the step keeps of the picture is packed: no bitmap, no raw pixels.
    static bool Packed(const History::Step& step) {
        if (step.whole) return step.whole->Empty();  // no picture: nothing to pack
        for (const History::Piece& piece : step.pieces)
            if (!piece.pixels.empty() || piece.packed.Empty()) return false;
        return step.packed.has_value() || !step.pieces.empty();
    }
    static bool PackedWhole(const History::Step& step) {
        return !step.whole && step.packed && !step.packed->bytes.Empty();
    }
    // The bytes of pixels that the steps give back, packed or not.
    static std::size_t RawBytes(const History& history) {
        std::size_t bytes = 0;
        for (const History::Step& step : history.steps_) {
            if (step.whole && !step.whole->Empty())
                bytes += std::size_t(step.whole->Stride()) * std::size_t(step.whole->Height());
            if (step.packed) bytes += step.packed->bytes.RawSize();
            for (const History::Piece& piece : step.pieces)
                bytes += piece.pixels.size() + piece.packed.RawSize();
        }
        return bytes;
    }
    // The packed bytes of the step (its whole picture, or its first piece). The
    // history itself is the main window's, which lends it out for reading only.
    static PackedBytes& PackedOf(const History& history, int back) {
        auto& step = const_cast<History::Step&>(Next(history, back));
        return step.packed ? step.packed->bytes : step.pieces.at(0).packed;
    }
};

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
        glimra::test::MainWindowInternals::NewPicture(*MAIN, picture);
    }
    // Noise, which no compressor shrinks, in the leftmost `noisy` of every
    // hundred bytes of each row, and the pattern of SetPattern in the rest.
    void SetNoise(int width, int height, int noisy = 100) {
        ui::TBitmap picture;
        picture.SetPixelFormat(ui::TPixelFormat::pf32bit);
        picture.SetSize(width, height);
        const glimra::PixelView v = picture.View();
        std::uint32_t state = 2463534242u;
        const int row = width * v.bytesPerPixel, edge = int(std::int64_t(row) * noisy / 100);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < row; ++x) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                v.Row(y)[x] = x < edge ? std::uint8_t(state >> 24)
                                       : std::uint8_t(x * 7 + y * 13 + (x * y) % 11);
            }
        glimra::test::MainWindowInternals::NewPicture(*MAIN, picture);
    }
    const History& PictureHistory() {
        return glimra::test::MainWindowInternals::PictureHistory(*MAIN);
    }
    // Lets the window's messages run until the idle packing is through.
    bool PackedWhileIdle() {
        return application.HandleMessagesUntil([&] { return PictureHistory().Unpacked() == 0; },
                                               10000);
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
    // The same, each of undo and redo only once the idle packing has packed the
    // step: what it keeps of the picture (`keeps`) is then packed bytes alone.
    void ExpectUndoAndRedoPacked(const std::string& what, const std::function<void()>& change,
                                 bool keeps = true) {
        SCOPED_TRACE(what);
        const Snapshot before = Now();
        change();
        const Snapshot after = Now();
        ASSERT_NE(before, after);
        ASSERT_TRUE(PackedWhileIdle());
        if (keeps) {
            EXPECT_TRUE(HistoryInternals::Packed(HistoryInternals::Next(PictureHistory(), 0)));
        }
        Click("MenuUndo");
        EXPECT_EQ(Now(), before);
        ASSERT_TRUE(PackedWhileIdle());
        if (keeps) {
            EXPECT_TRUE(HistoryInternals::Packed(HistoryInternals::Next(PictureHistory(), -1)));
        }
        Click("ImagePopRedo");
        EXPECT_EQ(Now(), after);
        ASSERT_TRUE(PackedWhileIdle());
        Click("ImagePopUndo");
        EXPECT_EQ(Now(), before);
        Click("MenuRedo");
        EXPECT_EQ(Now(), after);
    }
    // A drag with the left button over the view, in picture pixels.
    static void Drag(int x0, int y0, int x1, int y1) {
        MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, x0, y0);
        MAIN->Image1MouseMove(nullptr, ui::ssLeft, (x0 + x1) / 2, (y0 + y1) / 2);
        MAIN->Image1MouseMove(nullptr, ui::ssLeft, x1, y1);
        MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, x1, y1);
    }
    void UseTool(const char* item, int x0, int y0, int x1, int y1) {
        Click(item);
        Drag(x0, y0, x1, y1);
        glimra::test::MainWindowInternals::Tools(*MAIN).Choose(nullptr);
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

// A mark is an object over the picture: its step, and the step of its move,
// keep the object, a few hundred bytes, not the picture's pixels.
TEST_F(Undo, AnObjectsStepsKeepTheObjectNotThePicture) {
    SetPattern(800, 600, ui::TPixelFormat::pf32bit);
    const History& history = glimra::test::MainWindowInternals::PictureHistory(*MAIN);
    const std::size_t before = history.Bytes();
    const Snapshot plain = Now();
    UseTool("MenuRectangle", 10, 10, 300, 200);
    const std::size_t drawn = history.Bytes();
    EXPECT_LT(drawn - before, 1024u);
    ExpectUndoAndRedo("a move", [] {
        MAIN->Get<TMenuItem>("MenuSelect").Click();
        Drag(150, 100, 170, 120);
    });
    EXPECT_LT(history.Bytes() - drawn, 1024u);
    glimra::test::MainWindowInternals::Tools(*MAIN).Choose(nullptr);
    Click("MenuUndo");
    Click("MenuUndo");
    EXPECT_EQ(Now(), plain);
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

// Every kind of step, undone and redone after the idle packing has packed what
// it keeps, in both pixel layouts: the exact bytes and layout come back.
TEST_F(Undo, EveryKindOfStepIsPackedWhenIdle_AndUndoneAndRedoneGivesBackItsExactBytes) {
    for (ui::TPixelFormat format : {ui::TPixelFormat::pf32bit, ui::TPixelFormat::pf24bit}) {
        const std::string layout =
            format == ui::TPixelFormat::pf32bit ? " on 32 bits" : " on 24 bits";
        const auto fresh = [&] {
            SetPattern(120, 90, format);
            Pump(20);
        };
        // The picture before a change that cannot be computed back.
        for (const char* edit : {"MenuGrayscale", "MenuBrighten", "MenuDarken"}) {
            fresh();
            ExpectUndoAndRedoPacked(edit + layout, [&] { Click(edit); });
        }
        // A rotation keeps the picture before in 32 bits, and nothing in 24.
        fresh();
        ExpectUndoAndRedoPacked(
            "Rotate 90" + layout, [&] { Click("MenuRotate90"); },
            format == ui::TPixelFormat::pf32bit);
        fresh();
        ExpectUndoAndRedoPacked(
            "Invert" + layout, [&] { Click("MenuInvert"); }, format == ui::TPixelFormat::pf32bit);
        // Marks are objects over the picture, whose steps keep no pixels.
        fresh();
        Press("ButtonPixelate", true);
        ExpectUndoAndRedoPacked(
            "pixelating" + layout, [] { Drag(3, 4, 70, 50); }, false);
        Press("ButtonPixelate", false);
        fresh();
        ExpectUndoAndRedoPacked(
            "a rectangle" + layout, [&] { UseTool("MenuRectangle", 10, 10, 100, 70); }, false);
        fresh();
        ExpectUndoAndRedoPacked(
            "a step number" + layout, [&] { UseTool("MenuStepNumber", 40, 40, 40, 40); }, false);
        // A crop replaces the picture.
        fresh();
        ExpectUndoAndRedoPacked("a crop" + layout, [&] { UseTool("MenuCrop", 10, 5, 90, 60); });
        fresh();
        ExpectUndoAndRedoPacked(
            "the highlighter" + layout, [&] { UseTool("MenuHighlighter", 5, 5, 80, 60); }, false);
        // A brush stroke: the whole picture kept at its start stays as it is while
        // the stroke goes on, however long it rests, and only its area is packed.
        fresh();
        Press("ButtonBrush", true);
        ExpectUndoAndRedoPacked("a brush stroke" + layout, [&] {
            MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, 5, 5);
            MAIN->Image1MouseMove(nullptr, ui::ssLeft, 30, 20);
            Pump(600);
            EXPECT_TRUE(HistoryInternals::Next(PictureHistory(), 0).whole);
            MAIN->Image1MouseMove(nullptr, ui::ssLeft, 50, 40);
            MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, 50, 40);
            EXPECT_FALSE(HistoryInternals::Next(PictureHistory(), 0).whole);
        });
        Press("ButtonBrush", false);
        // A capture and Clear replace the picture.
        fresh();
        ExpectUndoAndRedoPacked("a capture" + layout, [] { MAIN->ButtonCaptureClick(nullptr); });
        Pump(100);
        fresh();
        ExpectUndoAndRedoPacked("Clear" + layout, [] { MAIN->ButtonClearClick(nullptr); });
        Pump(100);
    }
    EXPECT_TRUE(reports.empty()) << reports.front();
}

// Fifty edits of a 4K picture that packs to a little more than half its size:
// packed, the history holds more steps within the same bound than without
// packing, and the bound counts the packed bytes.
TEST_F(Undo, FiftyPackedEditsOfA4kPictureStayWithinTheBound_AndHoldMoreStepsThanUnpacked) {
    const char* const edits[] = {"Grayscale", "Invert",       "Brighten",  "Rotate90",
                                 "Darken",    "FlipVertical", "Rotate180", "FlipHorizontal"};
    SetNoise(3840, 2160, 60);
    const Snapshot start = Now();
    std::size_t unpacked = 0;
    {
        // The same edits through a history that does not pack, on the same picture.
        History plain(MAIN->Picture(), History::kDefaultLimit, History::Packing::Off);
        PictureCommands commands(*MAIN, MAIN->Picture(), plain, [] {});
        const std::map<std::string, void (PictureCommands::*)()> command = {
            {"Grayscale", &PictureCommands::Grayscale},
            {"Invert", &PictureCommands::Invert},
            {"Brighten", &PictureCommands::Brighten},
            {"Rotate90", &PictureCommands::Rotate90},
            {"Darken", &PictureCommands::Darken},
            {"FlipVertical", &PictureCommands::FlipVertical},
            {"Rotate180", &PictureCommands::Rotate180},
            {"FlipHorizontal", &PictureCommands::FlipHorizontal}};
        for (int i = 0; i < 50; ++i) {
            (commands.*command.at(edits[i % 8]))();
            Pump(20);
            EXPECT_LE(plain.Bytes(), History::kDefaultLimit);
        }
        EXPECT_EQ(plain.Unpacked(), 0u);
        unpacked = plain.Steps();
    }
    // Back to the start, through the main window's own history from here on.
    SetNoise(3840, 2160, 60);
    ASSERT_EQ(Now(), start);
    std::vector<std::uint64_t> after{Hash(Now())};
    std::size_t most = 0;
    for (int i = 0; i < 50; ++i) {
        Click((std::string("Menu") + edits[i % 8]).c_str());
        after.push_back(Hash(Now()));
        ASSERT_TRUE(PackedWhileIdle());
        most = std::max(most, PictureHistory().Bytes());
    }
    const std::size_t packed = PictureHistory().Steps();
    const std::size_t raw = HistoryInternals::RawBytes(PictureHistory());
    std::printf(
        "50 edits of 3840 x 2160: %zu steps kept unpacked, %zu packed (%.1f MiB of pixels "
        "in at most %.1f MiB)\n",
        unpacked, packed, double(raw) / (1 << 20), double(most) / (1 << 20));
    EXPECT_LE(most, History::kDefaultLimit);
    EXPECT_GT(packed, unpacked);
    EXPECT_LT(packed, 50u);
    // What the steps give back is more than the bound: it counts packed bytes.
    EXPECT_GT(raw, History::kDefaultLimit);
    int undone = 0;
    while (Enabled("MenuUndo")) {
        Click("MenuUndo");
        ++undone;
    }
    EXPECT_EQ(std::size_t(undone), packed);
    EXPECT_EQ(Hash(Now()), after[50 - packed]);
    EXPECT_LE(PictureHistory().Bytes(), History::kDefaultLimit);
}

// A packed step whose bytes are damaged is refused with the program's error
// report and dropped, with the steps that only it leads to; the picture stays.
TEST_F(Undo, ADamagedPackedStepIsRefusedAndDropped_ThePictureStaysAsItIs) {
    const auto check = [&](const std::string& what, const std::function<void(PackedBytes&)>& damage,
                           bool whole) {
        SCOPED_TRACE(what);
        reports.clear();
        SetPattern(300, 200, ui::TPixelFormat::pf32bit);
        Click("MenuBrighten");  // a step before, which the undo would reach next
        if (whole) {
            Click("MenuGrayscale");
        } else {
            // A brush stroke keeps the area it painted.
            Press("ButtonBrush", true);
            Drag(10, 10, 200, 150);
            Press("ButtonBrush", false);
        }
        ASSERT_TRUE(PackedWhileIdle());
        ASSERT_TRUE(HistoryInternals::Packed(HistoryInternals::Next(PictureHistory(), 0)));
        EXPECT_EQ(HistoryInternals::PackedWhole(HistoryInternals::Next(PictureHistory(), 0)),
                  whole);
        damage(HistoryInternals::PackedOf(PictureHistory(), 0));
        const Snapshot shown = Now();
        ui::Guarded([&] { Click("MenuUndo"); });
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_NE(reports[0].find("The undo step could not be restored and was dropped"),
                  std::string::npos)
            << reports[0];
        EXPECT_EQ(Now(), shown);
        EXPECT_FALSE(PictureHistory().CanUndo());
        EXPECT_FALSE(Enabled("MenuUndo"));
        // What is left works: a new step undoes and redoes.
        ExpectUndoAndRedo("an edit after it", [&] { Click("MenuDarken"); });

        // The same on the way back: a step to redo, packed and damaged.
        reports.clear();
        Click(whole ? "MenuGrayscale" : "MenuInvert");
        Click("MenuUndo");
        const Snapshot undone = Now();
        ASSERT_TRUE(PackedWhileIdle());
        if (whole) {
            ASSERT_TRUE(
                HistoryInternals::PackedWhole(HistoryInternals::Next(PictureHistory(), -1)));
            damage(HistoryInternals::PackedOf(PictureHistory(), -1));
            ui::Guarded([&] { Click("MenuRedo"); });
            ASSERT_EQ(reports.size(), 1u);
            EXPECT_NE(reports[0].find("The redo step could not be restored and was dropped"),
                      std::string::npos)
                << reports[0];
            EXPECT_EQ(Now(), undone);
            EXPECT_FALSE(PictureHistory().CanRedo());
            EXPECT_TRUE(PictureHistory().CanUndo());
        }
    };
    const auto byte = [](PackedBytes& p) {
        PackedBytesDamage::FlipByte(p, PackedBytesDamage::DataSize(p) / 2);
    };
    const auto sum = [](PackedBytes& p) { PackedBytesDamage::FlipSum(p, 0); };
    check("a byte of a packed picture", byte, true);
    check("a checksum of a packed picture", sum, true);
    check("a byte of a packed area", byte, false);
    check("a checksum of a packed area", sum, false);
}

}  // namespace
