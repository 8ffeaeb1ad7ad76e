// A tool made only for this test, chosen through the one call that chooses
// every tool: the real mouse on the main window's view reaches it, and its use
// is one step of the history that Undo and Redo take back and repeat exactly.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/CurrentPicture.h"
#include "app/History.h"
#include "app/editor/Tool.h"
#include "testing/app/MainWindowInternals.h"
#include "testing/app/MainWindowTest.h"
#include "testing/desktop/Desktop.h"
#include "ui/TMenuItem.h"
#include "ui/TScrollBox.h"

namespace {

using glimra::test::MainWindow;

// Records what reaches it; on release fills the rectangle from the press to
// the release point with one grey, keeping only that rectangle in the history.
class FillTool : public Tool {
  public:
    FillTool(ToolContext& context, std::vector<POINT>& presses, int& moves,
             std::vector<POINT>& releases)
        : Tool(context), presses_(presses), moves_(moves), releases_(releases) {}
    void Press(ui::TMouseButton button, ui::TShiftState, int x, int y) override {
        if (button == ui::TMouseButton::mbLeft) presses_.push_back({x, y});
    }
    void Move(ui::TShiftState shift, int, int) override { moves_ += bool(shift & ui::ssLeft); }
    void Release(ui::TMouseButton, ui::TShiftState, int x, int y) override {
        releases_.push_back({x, y});
        const POINT from = presses_.back();
        const RECT area{from.x, from.y, x, y};
        context_.history.KeepArea(area);
        context_.picture.Change([&](ui::TBitmap& bitmap) {
            const glimra::PixelView v = bitmap.View();
            for (LONG row = area.top; row < area.bottom; ++row)
                for (LONG col = area.left; col < area.right; ++col)
                    for (int c = 0; c < 3; ++c)
                        v.Row(row)[col * v.bytesPerPixel + c] = 0x40;
        });
    }

  protected:
    int Cursor() const override { return ui::crCross; }

  private:
    std::vector<POINT>& presses_;
    int& moves_;
    std::vector<POINT>& releases_;
};

std::vector<std::uint8_t> Bytes(CurrentPicture& picture) {
    const glimra::PixelView v = picture.View();
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < v.height; ++y)
        bytes.insert(bytes.end(), v.Row(y), v.Row(y) + v.width * v.bytesPerPixel);
    return bytes;
}

TEST_F(MainWindow, AToolOfItsOwnGetsTheMouseOnTheView_AndItsStepUndoesAndRedoes) {
    ui::TBitmap start;
    start.SetPixelFormat(ui::TPixelFormat::pf32bit);
    start.SetSize(160, 120);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160 * 4; ++x)
            start.ScanLine(y)[x] = std::uint8_t(x * 7 + y * 3);
    MAIN->Picture().Replace(start);
    MAIN->StartCommandRefresh();
    Pump();

    std::vector<POINT> presses, releases;
    int moves = 0;
    PictureTools& tools = glimra::test::MainWindowInternals::Tools(*MAIN);
    tools.Choose(std::make_unique<FillTool>(tools.Context(), presses, moves, releases));
    EXPECT_EQ(MAIN->Get<ui::TControl>("Image1").Cursor(), ui::crCross);
    const std::vector<std::uint8_t> before = Bytes(MAIN->Picture());
    const std::size_t stepsBefore =
        glimra::test::MainWindowInternals::PictureHistory(*MAIN).Steps();

    // Picture pixels from the scroll box's client origin: the picture lies at its
    // top-left corner, unscrolled.
    POINT origin{0, 0};
    ::ClientToScreen(MAIN->Get<ui::TScrollBox>("ScrollBox1").Handle(), &origin);
    glimra::test::MoveMouseTo({origin.x + 20, origin.y + 30});
    Pump();
    glimra::test::MouseEvent(MOUSEEVENTF_LEFTDOWN);
    Pump();
    for (int step = 1; step <= 4; ++step) {
        glimra::test::MoveMouseTo({origin.x + 20 + 15 * step, origin.y + 30 + 10 * step});
        Pump(30);
    }
    glimra::test::MouseEvent(MOUSEEVENTF_LEFTUP);
    Pump();

    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0].x, 20);
    EXPECT_EQ(presses[0].y, 30);
    EXPECT_GE(moves, 1);
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].x, 80);
    EXPECT_EQ(releases[0].y, 70);
    const std::vector<std::uint8_t> after = Bytes(MAIN->Picture());
    EXPECT_NE(after, before);
    EXPECT_EQ(MAIN->Picture().View().Row(50)[40 * 4], 0x40);
    EXPECT_EQ(MAIN->Picture().View().Row(70)[40 * 4], before[70 * 160 * 4 + 40 * 4]);

    // One step more, which keeps only the filled rectangle.
    const History& history = glimra::test::MainWindowInternals::PictureHistory(*MAIN);
    EXPECT_EQ(history.Steps(), stepsBefore + 1);
    EXPECT_TRUE(MAIN->Get<ui::TMenuItem>("MenuUndo").Enabled());
    MAIN->Get<ui::TMenuItem>("MenuUndo").Click();
    EXPECT_EQ(Bytes(MAIN->Picture()), before);
    EXPECT_EQ(MAIN->Picture().View().bytesPerPixel, 4);
    MAIN->Get<ui::TMenuItem>("MenuRedo").Click();
    EXPECT_EQ(Bytes(MAIN->Picture()), after);

    // Panning again: the view's mouse no longer reaches the tool.
    tools.Choose(nullptr);
    glimra::test::MoveMouseTo({origin.x + 30, origin.y + 30});
    Pump();
    glimra::test::MouseEvent(MOUSEEVENTF_LEFTDOWN);
    Pump();
    glimra::test::MouseEvent(MOUSEEVENTF_LEFTUP);
    Pump();
    EXPECT_EQ(presses.size(), 1u);
    EXPECT_EQ(Bytes(MAIN->Picture()), after);
    EXPECT_TRUE(reports.empty());
}

}  // namespace
