#include "app/Unit3.h"

#include "app/BalloonTip.h"
#include "app/Brush.h"
#include "app/PictureEdits.h"
#include "app/Settings.h"
#include "app/Shutter.h"
#include "app/SingleInstance.h"
#include "app/Statistics.h"
#include "capture/ScrnCap.h"
#include "capture/capture2.h"
#include "capture/capture3.h"
#include "forms/Links.h"
#include "forms/Unit1.h"
#include "imaging/pixel_ops.h"
#include "imaging/pixelate.h"
#include "output/windows/clipboard_copy.h"
#include "output/windows/picture_save.h"
#include "output/windows/print_job.h"
#include "lang/windows/TMultiLanguage.h"
#include "ui/TApplication.h"
#include "ui/TColorDialog.h"
#include "ui/TImage.h"
#include "ui/TMainMenu.h"
#include "ui/TMenuItem.h"
#include "ui/TPanel.h"
#include "ui/TPrintDialog.h"
#include "ui/TSaveDialog.h"
#include "ui/TScrollBox.h"
#include "ui/TSpeedButton.h"
#include "ui/TTimer.h"
#include "ui/TToolBar.h"
#include "ui/TToolButton.h"
#include "ui/TTrayIcon.h"

TMAIN* MAIN = nullptr;

using ui::TControl;
using ui::TMenuItem;
using ui::TObject;

const char* const TMAIN::kPictureCommands[18] = {
    "ButtonBrush",      "ButtonSave",          "ButtonClear",        "ButtonPrint",
    "MenuSaveAs",       "MenuPrint",           "MenuCopy",           "MenuGrayscale",
    "MenuBrighten",     "MenuDarken",          "MenuInvert",         "MenuRotate",
    "ButtonEditCopy",   "ButtonEditGrayscale", "ButtonEditBrighten", "ButtonEditDarken",
    "ButtonEditInvert", "ButtonEditRotate",
};

namespace {

// The thirteen buttons whose hint the status bar shows while the mouse is on them.
const char* const kHoverButtons[14] = {
    "ButtonCapture",       "ButtonCaptureActive", "ButtonSave",       "ButtonBrush",
    "ButtonClear",         "ButtonPrint",         "ButtonAbout",      "ButtonEditCopy",
    "ButtonEditGrayscale", "ButtonEditBrighten",  "ButtonEditDarken", "ButtonEditInvert",
    "ButtonEditRotate",    "ButtonPixelate",
};

// The brush colours of the image menu's items.
struct BrushColourItem {
    const char* item;
    ui::TColor colour;
};
constexpr BrushColourItem kBrushColours[5] = {
    {"ImagePopBlack", RGB(0, 0, 0)},       {"ImagePopBlue", RGB(0, 0, 255)},
    {"ImagePopGreen", RGB(0, 128, 0)},     {"ImagePopRed", RGB(255, 0, 0)},
    {"ImagePopWhite", RGB(255, 255, 255)},
};

// The statistics labels of the status bar, from the left.
const char* const kStatisticsLabels[5] = {"SM", "FS", "Label2", "AW", "Label3"};

// The capture keys of the hot-key poll: F7, F8, F9, F10.
constexpr int kHotKeys[4] = {VK_F7, VK_F8, VK_F9, VK_F10};

BOOL CALLBACK FindShownDialog(HWND window, LPARAM found) {
    char cls[8] = {};
    ::GetClassNameA(window, cls, sizeof cls);
    if (!::IsWindowVisible(window) || std::string(cls) != "#32770") return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// A dialog (the class of common dialogs and message boxes) or the about box of
// this thread is open.
bool OwnDialogOpen() {
    if (about && about->HandleAllocated() && ::IsWindowVisible(about->Handle())) return true;
    bool open = false;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindShownDialog, reinterpret_cast<LPARAM>(&open));
    return open;
}

}  // namespace

TMAIN::TMAIN(ui::TComponent* owner) : ui::TForm(owner) {
#define TMAIN_REGISTER_HANDLER(name) Handler(#name, &TMAIN::name);
    TMAIN_NOTIFY_HANDLERS(TMAIN_REGISTER_HANDLER)
#undef TMAIN_REGISTER_HANDLER
    Handler("FormClose", &TMAIN::FormClose);
    Handler("Image1MouseDown", &TMAIN::Image1MouseDown);
    Handler("Image1MouseMove", &TMAIN::Image1MouseMove);
    Handler("Image1MouseUp", &TMAIN::Image1MouseUp);
    RegisterHoverHandlers();
    RegisterBrushHandlers();
}

void TMAIN::Loaded() {
    Image1 = &Get<ui::TImage>("Image1");
    ScrollBox1 = &Get<ui::TScrollBox>("ScrollBox1");
    Label2 = &Get<TControl>("Label2");
    Label3 = &Get<TControl>("Label3");
    info = &Get<TControl>("info");
    Panel1 = &Get<TControl>("Panel1");
    Panel2 = &Get<TControl>("Panel2");
    ToolBar1 = &Get<TControl>("ToolBar1");
    Panel4 = &Get<ui::TPanel>("Panel4");
    ToolBar2 = &Get<ui::TToolBar>("ToolBar2");
    MainMenu1 = &Get<ui::TMainMenu>("MainMenu1");
    MenuToolBar = &Get<TMenuItem>("MenuToolBar");
    MenuImageEdit = &Get<TMenuItem>("MenuImageEdit");
    MenuStatusBar = &Get<TMenuItem>("MenuStatusBar");
    ImagePopCustom = &Get<TMenuItem>("ImagePopCustom");
    ButtonBrush = &Get<ui::TSpeedButton>("ButtonBrush");
    ButtonEditRotate = &Get<ui::TToolButton>("ButtonEditRotate");
    Timer1 = &Get<ui::TTimer>("Timer1");
    isjunkt = &Get<ui::TTimer>("isjunkt");
    TrayIcon1 = &Get<ui::TTrayIcon>("TrayIcon1");
    MultiLanguage1 = &Get<lang::TMultiLanguage>("MultiLanguage1");
    ColorDialog1 = &Get<ui::TColorDialog>("ColorDialog1");
    SaveDialog1 = &Get<ui::TSaveDialog>("SaveDialog1");
    PrinterSetupDialog = &Get<ui::TPrintDialog>("PrinterSetupDialog");
    ButtonPixelate = &Get<ui::TSpeedButton>("ButtonPixelate");
    MenuUndo = &Get<TMenuItem>("MenuUndo");
    MenuRedo = &Get<TMenuItem>("MenuRedo");
    ImagePopUndo = &Get<TMenuItem>("ImagePopUndo");
    ImagePopRedo = &Get<TMenuItem>("ImagePopRedo");
    MenuCopy = &Get<TMenuItem>("MenuCopy");
    MenuSaveAs = &Get<TMenuItem>("MenuSaveAs");
    MenuPrint = &Get<TMenuItem>("MenuPrint");
    MenuPixelate = &Get<TMenuItem>("MenuPixelate");
    for (const char* name : kPictureCommands) {
        ui::TComponent& command = Get<ui::TComponent>(name);
        if (auto* control = dynamic_cast<TControl*>(&command))
            pictureControls_.push_back(control);
        else
            pictureItems_.push_back(&Get<TMenuItem>(name));
    }
    for (const char* name : kHoverButtons)
        hoverButtons_.push_back(&Get<TControl>(name));
    for (int i = 0; i < 5; ++i)
        statisticsLabels_[i] = &Get<TControl>(kStatisticsLabels[i]);
    for (int diameter = 1; diameter <= 10; ++diameter)
        brushItems_[diameter - 1] =
            &Get<TMenuItem>(("ImagePopD" + std::to_string(diameter)).c_str());
    for (int i = 0; i < 5; ++i)
        brushItems_[10 + i] = &Get<TMenuItem>(kBrushColours[i].item);
    picture_ = std::make_unique<CurrentPicture>(*Image1);
    history_ = std::make_unique<History>(*picture_);
    history_->OnChange = [this] { HistoryChanged(); };
}

void TMAIN::RegisterBrushHandlers() {
    // ImagePopD1Click to ImagePopD10Click: the diameter in pixels, checked in its group.
    for (int diameter = 1; diameter <= 10; ++diameter)
        HandlerFunction<ui::TNotifyEvent>(
            ("ImagePopD" + std::to_string(diameter) + "Click").c_str(), [this, diameter](TObject*) {
                brushDiameter_ = diameter;
                brushItems_[diameter - 1]->SetChecked(true);
            });
    for (int i = 0; i < 5; ++i)
        HandlerFunction<ui::TNotifyEvent>((std::string(kBrushColours[i].item) + "Click").c_str(),
                                          [this, i](TObject*) {
                                              brushColour_ = kBrushColours[i].colour;
                                              brushItems_[10 + i]->SetChecked(true);
                                          });
}

void TMAIN::RegisterHoverHandlers() {
    // ButtonCaptureMouseEnter, ButtonCaptureMouseLeave, and so on for all thirteen:
    // entering shows the button's hint as it is now (a language file may have
    // replaced it), leaving empties the label.
    for (std::size_t i = 0; i < std::size(kHoverButtons); ++i) {
        const std::string name = kHoverButtons[i];
        HandlerFunction<ui::TNotifyEvent>((name + "MouseEnter").c_str(), [this, i](TObject*) {
            info->SetCaption(hoverButtons_[i]->Hint());
        });
        HandlerFunction<ui::TNotifyEvent>((name + "MouseLeave").c_str(),
                                          [this](TObject*) { info->SetCaption(""); });
    }
}

void TMAIN::FormCreate(TObject*) {
    // 1. The hands of drag-to-scroll.
    HINSTANCE instance = ui::Application->Instance();
    ui::Application->SetCursors(kOpenHandCursor, ::LoadCursorA(instance, "STUMT"));
    ui::Application->SetCursors(kGrabbingHandCursor, ::LoadCursorA(instance, "STUMTA"));

    // 2. The degree sign after the rotate captions of the image and drop-down menus.
    for (const char* name :
         {"ImagePopRotate90", "ImagePopRotate180", "PopRotate90", "PopRotate180"}) {
        TMenuItem& item = Get<TMenuItem>(name);
        item.SetCaption(item.Caption() + kDegreeSign);
    }
    ButtonEditRotate->SetCaption(std::string("90") + kDegreeSign);

    // 3. The counters and the language of the last run; a failure ends this step
    // without a word.
    try {
        LoadSettings(*Label2, *Label3, *MultiLanguage1);
    } catch (...) {
    }

    // 4. The main menu on its tool bar.
    ToolBar2->SetMenu(MainMenu1);
}

void TMAIN::FirstShown() {
    // The statistics balloon on the corner panel of the status bar, and the icon
    // in the notification area. Each waits on another part of the system (the
    // tooltip window, the shell), and neither is seen before the window is.
    ShowBalloonTip(
        *Panel4, 0, "Statistics",
        L"Full screen: 00\r\nActive window: 00\r\nSelection: 00\r\nWindow or Control: 00",
        RGB(255, 251, 240), RGB(0, 0, 0));
    TrayIcon1->SetVisible(true);
}

void TMAIN::FormClose(TObject*, ui::TCloseAction&) {
    // A failed save is reported, and the program still ends.
    ui::Guarded([this] { SaveSettings(*Label2, *Label3, *MultiLanguage1); });
}

void TMAIN::MenuClearStatisticClick(TObject*) {
    ClearStatistics(*Label2, *Label3);
}

void TMAIN::MultiLanguage1AfterLoad(TObject*) {
    // The menu bar makes its buttons again, with the new captions.
    ToolBar2->SetMenu(nullptr);
    ToolBar2->SetMenu(MainMenu1);
    // The statistics labels, right-aligned and sized to their new captions, are
    // put in their order again: hidden, then shown from the right, each one
    // entering at the left end of the right-aligned row.
    for (TControl* label : statisticsLabels_)
        label->SetVisible(false);
    for (int i = 4; i >= 0; --i) {
        TControl& label = *statisticsLabels_[i];
        label.SetLeft(-label.Width());
        label.SetVisible(true);
    }
}

void TMAIN::FormHide(TObject*) {
    // The hidden window goes to the top of the stacking order, so that it comes
    // back in front when it is shown again.
    ::SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMAIN::MenuExitClick(TObject*) {
    Close();
}

void TMAIN::TrayExitClick(TObject*) {
    Close();
}

bool TMAIN::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // The end of the Windows session: the program may be ended any moment after
    // this, without a close, so the settings are written now. Nothing can be
    // shown at this point, so a failure is not reported.
    if (message == WM_QUERYENDSESSION) {
        result = TRUE;
        return true;
    }
    if (message == WM_ENDSESSION) {
        if (wParam) {
            try {
                SaveSettings(*Label2, *Label3, *MultiLanguage1);
            } catch (...) {
            }
        }
        result = 0;
        return true;
    }
    // Another start of the program asks this one to show itself.
    if (message == ShowRunningCopyMessage()) {
        ShowMainWindow();
        result = 0;
        return true;
    }
    // F10 is a capture key: released while this window has the focus, it must not
    // also open the window's menu, whose loop would hold the mouse while the
    // picker is up. The system asks for that menu with the key's release, as for
    // Alt pressed alone (which the window has no use for either); Alt with a
    // letter names it and still opens the menu bar's menus.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) {
        result = 0;
        return true;
    }
    // Minimising sends the window to the notification area. The value is compared
    // whole: a system command with any of its four low bits set is passed on.
    if (message != WM_SYSCOMMAND || wParam != SC_MINIMIZE) return false;
    ui::TTrayIcon& tray = *TrayIcon1;
    tray.SetBalloonTitle("Glimra");
    tray.SetBalloonHint("I am here");
    tray.ShowBalloonHint();
    Hide();
    result = 0;
    return true;
}

void TMAIN::CaptureScreen(int mode) {
    auto temporary = std::make_unique<ui::TBitmap>();
    const DWORD hiddenAt = ::GetTickCount();
    Hide();
    // The window comes back whatever happens in between.
    struct Back {
        TMAIN* main;
        ~Back() {
            ::SetForegroundWindow(main->Handle());
            main->Show();
        }
    } back{this};
    PlayShutter(hiddenAt);
    GrabScreen(mode, *temporary);
    history_->Replace(*temporary);
}

void TMAIN::ButtonCaptureClick(TObject*) {
    CaptureScreen(0);
    StartCommandRefresh();
    Label2->SetCaption(NextCount(Label2->Caption()));
}

void TMAIN::ButtonCaptureActiveClick(TObject*) {
    // Shown and in front first, so that hiding it hands the foreground to the
    // window that was under it: that one is grabbed.
    Show();
    BringToFront();
    CaptureScreen(-1);
    StartCommandRefresh();
    Label3->SetCaption(NextCount(Label3->Caption()));
}

template <class Overlay, class Picked>
void TMAIN::RunOverlay(Picked picked) {
    ui::TTimer& poll = *Timer1;
    poll.SetEnabled(false);
    ui::Application->Minimize();
    ::Sleep(300);
    // On every path: the overlay goes first, then the window comes back, the
    // commands are refreshed and the hot keys work again. A hot key pressed while
    // the overlay was up is dropped: it must not start a capture of its own once
    // this one has ended.
    struct Finish {
        TMAIN* main;
        ui::TTimer& poll;
        ~Finish() {
            ui::Application->Restore();
            main->StartCommandRefresh();
            for (int key : kHotKeys)
                ::GetAsyncKeyState(key);
            poll.SetEnabled(true);
        }
    } finish{this, poll};
    std::unique_ptr<Overlay, ui::FreeComponent> overlay(ui::TForm::Make<Overlay>(ui::Application));
    if (overlay->ShowModal() == ui::mrOk) picked(*overlay);
}

void TMAIN::MenuSelectionClick(TObject*) {
    RunOverlay<TCaptureForm>([this](TCaptureForm& overlay) {
        const RECT r = overlay.SelRect;
        if (r.left > r.right || r.top > r.bottom) {
            ::MessageBoxA(nullptr, "Error selecting rectangle, try again!", "Information",
                          MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
            return;
        }
        // A click without a drag selects nothing: the picture stays as it was.
        if (r.left == r.right || r.top == r.bottom) return;
        history_->Replace(*overlay.FrozenPart(r));
    });
}

void TMAIN::MenuWindowControlClick(TObject*) {
    RunOverlay<TCaptureControl>([this](TCaptureControl& overlay) {
        // The overlay goes first, so that the window found is the one below it;
        // its area is cut from the frozen image the user pointed at.
        overlay.Hide();
        POINT p;
        ::GetCursorPos(&p);
        history_->Replace(*overlay.FrozenPart(WindowArea(::WindowFromPoint(p))));
    });
}

void TMAIN::Timer1Timer(TObject*) {
    // While one of the program's own dialogs or message boxes is open, a command
    // is still waiting on it: presses are taken and dropped.
    if (OwnDialogOpen()) {
        for (int key : kHotKeys)
            ::GetAsyncKeyState(key);
        return;
    }
    // One capture per tick at most, in the keys' order; only the "pressed since
    // the last query" bit counts, and Shift, Ctrl and Alt are not looked at.
    if (::GetAsyncKeyState(VK_F7) & 1) {
        ButtonCaptureClick(this);
        return;
    }
    if (::GetAsyncKeyState(VK_F8) & 1) {
        ButtonCaptureActiveClick(this);
        ShowMainWindow();
        return;
    }
    if (::GetAsyncKeyState(VK_F9) & 1) {
        MenuSelectionClick(this);
        return;
    }
    if (::GetAsyncKeyState(VK_F10) & 1) {
        MenuWindowControlClick(this);
        ShowMainWindow();
    }
}

void TMAIN::SetView(bool toolBar, bool imageEdit, bool statusBar) {
    Panel1->SetHeight(ui::Application->Scale(toolBar ? 57 : 1));
    ToolBar1->SetVisible(imageEdit);
    Panel2->SetVisible(statusBar);
    MenuToolBar->SetChecked(toolBar);
    MenuImageEdit->SetChecked(imageEdit);
    MenuStatusBar->SetChecked(statusBar);
}

void TMAIN::MenuToolBarClick(TObject*) {
    SetView(!MenuToolBar->Checked(), MenuImageEdit->Checked(), MenuStatusBar->Checked());
}

void TMAIN::MenuImageEditClick(TObject*) {
    SetView(MenuToolBar->Checked(), !MenuImageEdit->Checked(), MenuStatusBar->Checked());
}

void TMAIN::MenuStatusBarClick(TObject*) {
    SetView(MenuToolBar->Checked(), MenuImageEdit->Checked(), !MenuStatusBar->Checked());
}

void TMAIN::MenuShowAllClick(TObject*) {
    SetView(true, true, true);
}

void TMAIN::MenuShowNoneClick(TObject*) {
    SetView(false, false, false);
}

void TMAIN::StartCommandRefresh() {
    isjunkt->SetEnabled(true);
}

void TMAIN::isjunktTimer(TObject*) {
    const bool enable = HasPicture();
    for (TControl* control : pictureControls_)
        control->SetEnabled(enable);
    for (TMenuItem* item : pictureItems_)
        item->SetEnabled(enable);
    // Pixelating needs a picture as the brush does.
    ButtonPixelate->SetEnabled(enable);
    MenuPixelate->SetEnabled(enable);
    isjunkt->SetEnabled(false);
}

bool TMAIN::BrushDown() {
    return ButtonBrush->Down();
}

void TMAIN::Image1MouseEnter(TObject*) {
    if (!BrushDown()) Image1->SetCursor(kOpenHandCursor);
}

void TMAIN::Image1MouseDown(TObject*, ui::TMouseButton Button, ui::TShiftState, int X, int Y) {
    if (PixelateDown()) {
        if (Button != ui::TMouseButton::mbLeft) return;
        pixelateBand_ = RECT{X, Y, X, Y};
        DrawPixelateBand();
        return;
    }
    POINT p;
    ::GetCursorPos(&p);
    panAnchor_ = p;
    strokeKept_ = false;
    StartStroke(*picture_, X, Y);
    if (Button == ui::TMouseButton::mbLeft && !BrushDown())
        ui::Application->SetScreenCursor(kGrabbingHandCursor);
}

void TMAIN::Image1MouseMove(TObject*, ui::TShiftState Shift, int X, int Y) {
    if (!(Shift & ui::ssLeft)) return;
    if (pixelateBand_) {
        DrawPixelateBand();
        pixelateBand_->right = X;
        pixelateBand_->bottom = Y;
        DrawPixelateBand();
        return;
    }
    if (BrushDown()) {
        // The whole stroke, press to release, is one step.
        if (!strokeKept_) {
            history_->KeepWhole();
            strokeKept_ = true;
        }
        DrawStroke(*picture_, brushDiameter_, brushColour_, X, Y);
        return;
    }
    if (!panAnchor_) return;
    POINT p;
    ::GetCursorPos(&p);
    ui::TScrollBox& box = *ScrollBox1;
    // Each position is clamped to its range by the scroll bar itself.
    box.VertScrollBar().SetPosition(box.VertScrollBar().Position() + (panAnchor_->y - p.y));
    box.HorzScrollBar().SetPosition(box.HorzScrollBar().Position() + (panAnchor_->x - p.x));
    panAnchor_ = p;
}

void TMAIN::Image1MouseUp(TObject*, ui::TMouseButton, ui::TShiftState, int, int) {
    if (pixelateBand_) {
        DrawPixelateBand();
        const RECT r = *pixelateBand_;
        pixelateBand_.reset();
        // The blocks the band touches become their mean colours, as one step that
        // keeps their pixels before.
        const glimra::Area blocks =
            glimra::PixelateBlocks(picture_->View(), {r.left, r.top, r.right, r.bottom});
        if (blocks.right <= blocks.left) return;
        history_->KeepArea({blocks.left, blocks.top, blocks.right, blocks.bottom});
        picture_->Change([&](ui::TBitmap& bitmap) {
            glimra::Pixelate(bitmap.View(), {r.left, r.top, r.right, r.bottom});
        });
        return;
    }
    panAnchor_.reset();
    if (BrushDown()) return;
    ui::Application->SetScreenCursor(ui::crDefault);
    Image1->SetCursor(kOpenHandCursor);
}

void TMAIN::Edit(const std::function<void()>& edit, const std::function<void()>& inverse) {
    if (picture_->Empty()) {
        edit();
        return;
    }
    if (inverse && picture_->View().bytesPerPixel == 3) {
        edit();
        history_->Reversible(inverse, edit);
    } else {
        history_->KeepBefore(edit);
    }
}

void TMAIN::ImagePopGrayscaleClick(TObject*) {
    Edit([this] { GrayscalePicture(*picture_); });
}

void TMAIN::ImagePopBrightenClick(TObject*) {
    Edit([this] { StepPictureBrightness(*picture_, glimra::kBrightenStep); });
}

void TMAIN::ImagePopDarkenClick(TObject*) {
    Edit([this] { StepPictureBrightness(*picture_, glimra::kDarkenStep); });
}

void TMAIN::ImagePopInvertClick(TObject*) {
    const auto invert = [this] { InvertPicture(*picture_); };
    Edit(invert, invert);
}

void TMAIN::ButtonClearClick(TObject*) {
    ui::TBitmap none;
    history_->Replace(none);
    StartCommandRefresh();
}

void TMAIN::HistoryChanged() {
    for (TMenuItem* undo : {MenuUndo, ImagePopUndo})
        undo->SetEnabled(history_->CanUndo());
    for (TMenuItem* redo : {MenuRedo, ImagePopRedo})
        redo->SetEnabled(history_->CanRedo());
}

void TMAIN::MenuUndoClick(TObject*) {
    StepHistory(&History::Undo);
}

void TMAIN::MenuRedoClick(TObject*) {
    StepHistory(&History::Redo);
}

void TMAIN::StepHistory(void (History::*step)()) {
    const bool had = HasPicture();
    (history_.get()->*step)();
    // A step back to no picture, or from none to one, refreshes the commands.
    if (HasPicture() != had) StartCommandRefresh();
}

bool TMAIN::PixelateDown() {
    return ButtonPixelate->Down();
}

void TMAIN::ButtonPixelateClick(TObject*) {
    // The brush and pixelating exclude each other (one group): either cursor.
    ShowBrushCursor(*Image1, BrushDown());
    if (PixelateDown()) Image1->SetCursor(ui::crCross);
}

void TMAIN::MenuPixelateClick(TObject* Sender) {
    ButtonPixelate->SetDown(!ButtonPixelate->Down());
    ButtonPixelateClick(Sender);
}

void TMAIN::DrawPixelateBand() {
    if (!pixelateBand_) return;
    const RECT r = *pixelateBand_;
    // From picture pixels to the scroll box's client area.
    const int dx = Image1->Left() - ScrollBox1->HorzScrollBar().Position();
    const int dy = Image1->Top() - ScrollBox1->VertScrollBar().Position();
    RECT band{std::min(r.left, r.right) + dx, std::min(r.top, r.bottom) + dy,
              std::max(r.left, r.right) + dx, std::max(r.top, r.bottom) + dy};
    ::DrawFocusRect(win::WindowDC::Of(ScrollBox1->Handle()).Get(), &band);
}

bool TMAIN::IsShortCut(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || ::GetKeyState(VK_CONTROL) >= 0 || ::GetKeyState(VK_MENU) < 0 ||
        ::GetActiveWindow() != Handle())
        return false;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    TMenuItem* item = nullptr;
    switch (msg.wParam) {
        case 'C':
            item = MenuCopy;
            break;
        case 'S':
            item = MenuSaveAs;
            break;
        case 'P':
            item = MenuPrint;
            break;
        case 'Z':
            item = shift ? MenuRedo : MenuUndo;
            break;
        case 'Y':
            item = MenuRedo;
            break;
        default:
            return false;
    }
    if (item->Enabled()) item->Click();
    return true;
}

void TMAIN::RotateOrFlip(void (TMAIN::*command)(TObject*), const std::string& caption,
                         int imageIndex, bool relabelOnError, const std::function<void()>& edit) {
    const auto relabel = [&] {
        SetRepeatCommand(*ButtonEditRotate, caption, imageIndex,
                         [this, command](TObject* sender) { (this->*command)(sender); });
    };
    try {
        edit();
    } catch (...) {
        if (relabelOnError) relabel();
        throw;
    }
    relabel();
}

void TMAIN::ButtonEditRotateClick(TObject* Sender) {
    ImagePopRotate90Click(Sender);
}

void TMAIN::ImagePopRotate90Click(TObject*) {
    RotateOrFlip(&TMAIN::ImagePopRotate90Click, std::string("90") + kDegreeSign, 5, true, [this] {
        Edit([this] { RotatePicture(*picture_, 1); }, [this] { RotatePicture(*picture_, 3); });
    });
}

void TMAIN::ImagePopRotate180Click(TObject*) {
    const auto half = [this] { RotatePicture(*picture_, 2); };
    RotateOrFlip(&TMAIN::ImagePopRotate180Click, std::string("180") + kDegreeSign, 5, true,
                 [this, half] { Edit(half, half); });
}

void TMAIN::ImagePopFlipVerticalClick(TObject*) {
    const auto flip = [this] { FlipPictureOver(*picture_, true, false); };
    RotateOrFlip(&TMAIN::ImagePopFlipVerticalClick, "Vertical", 6, false,
                 [this, flip] { Edit(flip, flip); });
}

void TMAIN::ImagePopFlipHorizontalClick(TObject*) {
    const auto flip = [this] { FlipPictureOver(*picture_, false, true); };
    RotateOrFlip(&TMAIN::ImagePopFlipHorizontalClick, "Horizontal", 7, false,
                 [this, flip] { Edit(flip, flip); });
}

void TMAIN::ButtonBrushClick(TObject*) {
    ShowBrushCursor(*Image1, BrushDown());
}

void TMAIN::ImagePopCustomClick(TObject*) {
    ChooseCustomColour(*ColorDialog1, Handle(), brushColour_);
    ImagePopCustom->SetChecked(true);
}

void TMAIN::ShowMainWindow() {
    Show();
    // Minimised by the system (the task bar, "show the desktop"): restored where
    // it was.
    if (::IsIconic(Handle())) ::ShowWindow(Handle(), SW_RESTORE);
    BringToFront();
    ::SetForegroundWindow(Handle());
}

void TMAIN::TrayIcon1DblClick(TObject*) {
    ShowMainWindow();
}

void TMAIN::TrayMainWindowClick(TObject*) {
    ShowMainWindow();
}

void TMAIN::ButtonAboutClick(TObject*) {
    SetEnabled(false);
    about->Show();
}

void TMAIN::MenuVisitwebsiteClick(TObject*) {
    OpenPage(Handle(), kWebsiteAddress);
}

void TMAIN::MenuDonateClick(TObject*) {
    OpenPage(Handle(), kDonationAddress);
}

void TMAIN::TrayWebsiteClick(TObject*) {
    OpenPage(Handle(), kWebsiteAddress);
}

void TMAIN::TrayDonateClick(TObject*) {
    OpenPage(Handle(), kDonationAddress);
}

void TMAIN::ButtonSaveClick(TObject*) {
    if (!SaveDialog1->Execute(Handle())) return;
    const glimra::SaveType type = glimra::SaveTypeAt(saveFilterIndex_);
    glimra::SavePicture(SaveDialog1->FileName(), type, picture_->View24());
}

void TMAIN::SaveDialog1TypeChange(TObject*) {
    saveFilterIndex_ = SaveDialog1->FilterIndex();
}

void TMAIN::ButtonPrintClick(TObject*) {
    const glimra::PixelView picture = picture_->View24();
    ui::PrinterDC printer = PrinterSetupDialog->Execute(Handle());
    if (!printer) return;
    {
        // The hourglass while the page is made; the default cursor on every path.
        struct Hourglass {
            Hourglass() { ui::Application->SetScreenCursor(ui::crHourGlass); }
            ~Hourglass() { ui::Application->SetScreenCursor(ui::crDefault); }
        } hourglass;
        glimra::PrintPicture(printer.Get(), picture);
    }
    // Only a document that was ended without error counts as printed.
    ::MessageBoxA(Handle(), "Bitmap printed", ui::Application->Title().c_str(), MB_OK);
}

void TMAIN::ImagePopCopyClick(TObject*) {
    glimra::CopyToClipboard(Handle(), picture_->View());
}
