// The main window in-process: the forms are made as at start-up, handlers are
// called and control states read back.
#include "app/Unit3.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "app/CommandAvailability.h"
#include "testing/app/MainWindowTest.h"
#include "forms/Links.h"
#include "testing/desktop/Desktop.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "ui/TApplication.h"
#include "ui/TImage.h"
#include "ui/TMenuItem.h"
#include "ui/TScrollBox.h"
#include "ui/TTimer.h"
#include "ui/TTrayIcon.h"

namespace {

using glimra::test::MainWindow;
using ui::TControl;
using ui::TMenuItem;

TEST_F(MainWindow, PictureCommandsFollowTheRefreshAfterAPictureComesAndGoes) {
    for (const char* name : CommandAvailability::kPictureCommands)
        EXPECT_FALSE(Enabled(name)) << name;
    SetPicture(40, 30);
    Pump();
    // Nothing changes until a refresh is started.
    EXPECT_FALSE(Enabled("MenuGrayscale"));
    MAIN->StartCommandRefresh();
    MAIN->StartCommandRefresh();
    Pump();
    for (const char* name : CommandAvailability::kPictureCommands)
        EXPECT_TRUE(Enabled(name)) << name;
    EXPECT_FALSE(MAIN->Get<ui::TTimer>("isjunkt").Enabled());
    // Two starts gave one refresh: emptying the view now changes nothing by itself.
    ui::TImage& view = MAIN->Get<ui::TImage>("Image1");
    view.Clear();
    view.SetBounds(0, 0, 0, 0);
    Pump();
    EXPECT_TRUE(Enabled("ButtonEditGrayscale"));
    MAIN->StartCommandRefresh();
    Pump();
    for (const char* name : CommandAvailability::kPictureCommands)
        EXPECT_FALSE(Enabled(name)) << name;
    // The capture commands and the image menu are not picture commands.
    EXPECT_TRUE(Enabled("ButtonCapture"));
    EXPECT_TRUE(MAIN->Get<TMenuItem>("ImagePopGrayscale").Enabled());
}

TEST_F(MainWindow, ViewTogglesSetHeightsVisibilityAndChecks) {
    auto state = [&] {
        return std::vector<int>{MAIN->Get<TControl>("Panel1").Height(),
                                MAIN->Get<TControl>("ToolBar1").Visible(),
                                MAIN->Get<TControl>("Panel2").Visible(),
                                MAIN->Get<TMenuItem>("MenuToolBar").Checked(),
                                MAIN->Get<TMenuItem>("MenuImageEdit").Checked(),
                                MAIN->Get<TMenuItem>("MenuStatusBar").Checked()};
    };
    const int full = ui::Application->Scale(57), strip = ui::Application->Scale(1);
    EXPECT_EQ(state(), (std::vector<int>{full, 1, 1, 1, 1, 1}));
    MAIN->MenuShowNoneClick(nullptr);
    EXPECT_EQ(state(), (std::vector<int>{strip, 0, 0, 0, 0, 0}));
    MAIN->MenuImageEditClick(nullptr);
    EXPECT_EQ(state(), (std::vector<int>{strip, 1, 0, 0, 1, 0}));
    MAIN->MenuToolBarClick(nullptr);
    EXPECT_EQ(state(), (std::vector<int>{full, 1, 0, 1, 1, 0}));
    MAIN->MenuStatusBarClick(nullptr);
    MAIN->MenuStatusBarClick(nullptr);
    EXPECT_EQ(state(), (std::vector<int>{full, 1, 0, 1, 1, 0}));
    MAIN->MenuShowAllClick(nullptr);
    EXPECT_EQ(state(), (std::vector<int>{full, 1, 1, 1, 1, 1}));
    // The menu bar stays whatever the View menu says.
    EXPECT_TRUE(MAIN->Get<TControl>("ToolBar2").Visible());
}

TEST_F(MainWindow, DragToScrollFollowsTheMouseAndStaysInRange) {
    SetPicture(3000, 2500);
    Pump();
    ui::TScrollBox& box = MAIN->Get<ui::TScrollBox>("ScrollBox1");
    ASSERT_GT(box.HorzScrollBar().Range(), 0);
    glimra::test::MoveMouseTo({500, 400});
    MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, 10, 10);
    EXPECT_EQ(application.ScreenCursor(), 2);
    glimra::test::MoveMouseTo({450, 370});
    MAIN->Image1MouseMove(nullptr, ui::ssLeft, 0, 0);
    EXPECT_EQ(box.HorzScrollBar().Position(), 50);
    EXPECT_EQ(box.VertScrollBar().Position(), 30);
    // Moving back past the start stops at 0.
    glimra::test::MoveMouseTo({700, 600});
    MAIN->Image1MouseMove(nullptr, ui::ssLeft, 0, 0);
    EXPECT_EQ(box.HorzScrollBar().Position(), 0);
    EXPECT_EQ(box.VertScrollBar().Position(), 0);
    // Without the left button nothing scrolls.
    glimra::test::MoveMouseTo({100, 100});
    MAIN->Image1MouseMove(nullptr, 0, 0, 0);
    EXPECT_EQ(box.HorzScrollBar().Position(), 0);
    MAIN->Image1MouseUp(nullptr, ui::TMouseButton::mbLeft, 0, 0, 0);
    EXPECT_EQ(application.ScreenCursor(), ui::crDefault);
    EXPECT_EQ(MAIN->Get<TControl>("Image1").Cursor(), 1);
    // A far drag in the other direction stops at the end of the range.
    box.HorzScrollBar().SetPosition(box.HorzScrollBar().MaxPosition() - 10);
    box.VertScrollBar().SetPosition(box.VertScrollBar().MaxPosition() - 10);
    glimra::test::MoveMouseTo({1000, 760});
    MAIN->Image1MouseDown(nullptr, ui::TMouseButton::mbLeft, ui::ssLeft, 0, 0);
    glimra::test::MoveMouseTo({0, 0});
    MAIN->Image1MouseMove(nullptr, ui::ssLeft, 0, 0);
    EXPECT_EQ(box.HorzScrollBar().Position(), box.HorzScrollBar().MaxPosition());
    EXPECT_EQ(box.VertScrollBar().Position(), box.VertScrollBar().MaxPosition());
    EXPECT_GT(box.HorzScrollBar().MaxPosition(), 1000);
}

TEST_F(MainWindow, MinimiseHidesToTheTrayAndOtherCommandsPassOn) {
    ::SendMessageA(MAIN->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(::IsWindowVisible(MAIN->Handle()));
    EXPECT_FALSE(::IsIconic(MAIN->Handle()));
    ui::TTrayIcon& tray = MAIN->Get<ui::TTrayIcon>("TrayIcon1");
    EXPECT_EQ(tray.BalloonTitle(), "Glimra");
    EXPECT_EQ(tray.BalloonHint(), "I am here");
    MAIN->TrayIcon1DblClick(nullptr);
    EXPECT_TRUE(::IsWindowVisible(MAIN->Handle()));
    // A value with a low bit set is not the minimise command itself.
    ::SendMessageA(MAIN->Handle(), WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
    EXPECT_TRUE(::IsIconic(MAIN->Handle()));
}

TEST_F(MainWindow, HoverTextsFollowTheButtons) {
    TControl& info = MAIN->Get<TControl>("info");
    EXPECT_EQ(info.Caption(), "Ready");
    TControl& save = MAIN->Get<TControl>("ButtonSave");
    TControl& print = MAIN->Get<TControl>("ButtonPrint");
    save.OnMouseEnter(&save);
    EXPECT_EQ(info.Caption(), "Save as..");
    // From one button straight onto the next: the next one's hint stays.
    save.OnMouseLeave(&save);
    print.OnMouseEnter(&print);
    EXPECT_EQ(info.Caption(), "Print");
    print.OnMouseLeave(&print);
    EXPECT_EQ(info.Caption(), "");
    // The hint as it is at that moment.
    TControl& rotate = MAIN->Get<TControl>("ButtonEditRotate");
    rotate.SetHint("Drehen");
    rotate.OnMouseEnter(&rotate);
    EXPECT_EQ(info.Caption(), "Drehen");
    EXPECT_EQ(info.Width(), ui::Application->Scale(349));
}

TEST_F(MainWindow, AboutBoxDisablesTheMainWindowUntilClosed_AndLinksOpenTheirPages) {
    MAIN->ButtonAboutClick(nullptr);
    EXPECT_FALSE(MAIN->Enabled());
    EXPECT_TRUE(::IsWindowVisible(about->Handle()));
    about->BitBtn1Click(nullptr);
    EXPECT_TRUE(MAIN->Enabled());
    EXPECT_FALSE(::IsWindowVisible(about->Handle()));
    MAIN->ButtonAboutClick(nullptr);
    ::SendMessageA(about->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(MAIN->Enabled());

    about->Label2Click(nullptr);
    about->Image2Click(nullptr);
    MAIN->MenuVisitwebsiteClick(nullptr);
    MAIN->TrayDonateClick(nullptr);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0], kWebsiteAddress);
    EXPECT_EQ(pages[1], kDonationAddress);
    EXPECT_EQ(pages[2], kWebsiteAddress);
    EXPECT_EQ(pages[3], kDonationAddress);
    EXPECT_EQ(std::string(kWebsiteAddress).rfind("http://", 0), 0u);
    EXPECT_NE(std::string(kDonationAddress).find("/cgi-bin/webscr?cmd=_s-xclick&hosted_button_id="),
              std::string::npos);
    EXPECT_EQ(about->Get<TControl>("Label2").Caption(), "www.norvanta.example");
}

TEST_F(MainWindow, RotateCaptionsCarryTheDegreeSign) {
    EXPECT_EQ(MAIN->Get<TMenuItem>("ImagePopRotate90").Caption(), "Rotate 90\xB0");
    EXPECT_EQ(MAIN->Get<TMenuItem>("PopRotate180").Caption(), "Rotate 180\xB0");
    EXPECT_EQ(MAIN->Get<TMenuItem>("MenuRotate90").Caption(), "Rotate 90");
    EXPECT_EQ(MAIN->Get<TControl>("ButtonEditRotate").Caption(), "90\xB0");
}

// Screenshots of every window for people to look at: the main window with and
// without a picture, the about box and the reminder, at the session's dpi.
TEST_F(MainWindow, Screenshots) {
    const std::string dpi = std::to_string(application.PixelsPerInch()) + "dpi";
    Pump(300);
    glimra::test::SaveScreenshot(MAIN->Handle(), "main-window-empty-" + dpi);
    // A picture with some structure: bands of colour and a diagonal.
    ui::TBitmap picture;
    picture.SetPixelFormat(ui::TPixelFormat::pf24bit);
    picture.SetSize(900, 700);
    for (int y = 0; y < 700; ++y) {
        std::uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < 900; ++x) {
            row[3 * x] = std::uint8_t(x * 255 / 900);
            row[3 * x + 1] = std::uint8_t(y * 255 / 700);
            row[3 * x + 2] = std::uint8_t(std::abs(x - y) < 6 ? 255 : 90);
        }
    }
    MAIN->Get<ui::TImage>("Image1").SetBitmap(picture);
    MAIN->StartCommandRefresh();
    Pump(300);
    glimra::test::SaveScreenshot(MAIN->Handle(), "main-window-picture-" + dpi);
    MAIN->ButtonAboutClick(nullptr);
    Pump(300);
    glimra::test::SaveScreenshot(about->Handle(), "about-" + dpi);
    about->Close();
    Form22->Show();
    Pump(300);
    glimra::test::SaveScreenshot(Form22->Handle(), "reminder-" + dpi);
    Form22->Hide();
}

struct Found {
    HWND owner;
    HWND tip = nullptr;
};

// The tooltip window whose tool is the given control's window.
BOOL CALLBACK FindTip(HWND w, LPARAM data) {
    auto* f = reinterpret_cast<Found*>(data);
    char cls[64] = {};
    ::GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) != "tooltips_class32") return TRUE;
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    if (::SendMessageW(w, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)) &&
        tool.hwnd == f->owner) {
        f->tip = w;
        return FALSE;
    }
    return TRUE;
}

TEST_F(MainWindow, TheStatisticsBalloonIsATopMostBalloonTooltipOfTheCornerPanel) {
    HWND panel = MAIN->Get<ui::TWinControl>("Panel4").Handle();
    Found found{panel};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindTip, reinterpret_cast<LPARAM>(&found));
    ASSERT_NE(found.tip, nullptr);
    // Created as 0x80000043; the system adds WS_CLIPSIBLINGS to every pop-up.
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(found.tip, GWL_STYLE)) & ~DWORD(WS_CLIPSIBLINGS),
              0x80000043u);
    // The system makes the control's top-level window the owner of the popup.
    EXPECT_EQ(::GetWindow(found.tip, GW_OWNER), MAIN->Handle());
    EXPECT_TRUE(::GetWindowLongA(found.tip, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

}  // namespace

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}
std::uint16_t Le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

TEST(ShutterSound, IsFoundByItsNameAndHasExactlyItsWaveLayout) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC info = ::FindResourceA(module, "camera", "WAVE");
    ASSERT_NE(info, nullptr);
    const auto* p = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, info)));
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(::SizeofResource(module, info), 17158u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 4), "RIFF");
    EXPECT_EQ(Le32(p + 4), 17150u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 8), 8), "WAVEfmt ");
    EXPECT_EQ(Le32(p + 16), 16u);
    EXPECT_EQ(Le16(p + 20), 1);       // PCM
    EXPECT_EQ(Le16(p + 22), 1);       // mono
    EXPECT_EQ(Le32(p + 24), 22050u);  // samples per second
    EXPECT_EQ(Le32(p + 28), 22050u);  // bytes per second
    EXPECT_EQ(Le16(p + 32), 1);       // block alignment
    EXPECT_EQ(Le16(p + 34), 8);       // bits per sample
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 36), 4), "data");
    EXPECT_EQ(Le32(p + 40), 17024u);
    const std::uint8_t* list = p + 44 + 17024;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(list), 4), "LIST");
    EXPECT_EQ(Le32(list + 4), 82u);
}

}  // namespace
