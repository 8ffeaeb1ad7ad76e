// The main window TMAIN: the current picture in its image view, the menus and
// tool bars, the status bar, and the handlers of every command.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CurrentPicture.h"
#include "app/History.h"
#include "ui/TForm.h"

namespace lang {
class TMultiLanguage;
}
namespace ui {
class TColorDialog;
class TMainMenu;
class TMenuItem;
class TPanel;
class TPrintDialog;
class TSaveDialog;
class TScrollBox;
class TSpeedButton;
class TTimer;
class TToolBar;
class TToolButton;
class TTrayIcon;
}  // namespace ui

// The handlers of TNotifyEvent that the layout binds by name; the class declares
// and registers them from this one list.
// clang-format off
#define TMAIN_NOTIFY_HANDLERS(X)                                                         \
    /* Start-up and shutdown. */                                                         \
    X(FormCreate) X(FormHide) X(MenuExitClick) X(TrayExitClick)                          \
    /* The four captures and the hot-key poll. */                                        \
    X(ButtonCaptureClick) X(ButtonCaptureActiveClick) X(MenuSelectionClick)              \
    X(MenuWindowControlClick) X(Timer1Timer)                                             \
    /* The View menu. */                                                                 \
    X(MenuToolBarClick) X(MenuImageEditClick) X(MenuStatusBarClick) X(MenuShowAllClick)  \
    X(MenuShowNoneClick)                                                                 \
    /* The one-shot refresh of the picture commands. */                                  \
    X(isjunktTimer)                                                                      \
    /* The image view: drag-to-scroll while the brush is up. */                          \
    X(Image1MouseEnter)                                                                  \
    /* The edit commands on the picture. */                                              \
    X(ImagePopGrayscaleClick) X(ImagePopBrightenClick) X(ImagePopDarkenClick)            \
    X(ImagePopInvertClick) X(ButtonClearClick) X(ButtonEditRotateClick)                  \
    X(ImagePopRotate90Click) X(ImagePopRotate180Click) X(ImagePopFlipVerticalClick)      \
    X(ImagePopFlipHorizontalClick)                                                       \
    /* Brush mode; the diameter and colour items (ImagePopD1Click to ImagePopD10Click,   \
       ImagePopBlackClick and so on) are registered with their values. */                \
    X(ButtonBrushClick) X(ImagePopCustomClick)                                           \
    /* Pixelate mode, and undo and redo of every change to the picture. */               \
    X(ButtonPixelateClick) X(MenuPixelateClick) X(MenuUndoClick) X(MenuRedoClick)        \
    /* Settings, statistics and languages. */                                            \
    X(MenuClearStatisticClick) X(MultiLanguage1AfterLoad)                                \
    /* The tray icon, the about box and the web pages. */                                \
    X(TrayIcon1DblClick) X(TrayMainWindowClick) X(ButtonAboutClick)                      \
    X(MenuVisitwebsiteClick) X(MenuDonateClick) X(TrayWebsiteClick) X(TrayDonateClick)   \
    /* Output: save, print, copy. */                                                     \
    X(ButtonSaveClick) X(SaveDialog1TypeChange) X(ButtonPrintClick) X(ImagePopCopyClick)
// clang-format on

class TMAIN : public ui::TForm {
  public:
    explicit TMAIN(ui::TComponent* owner);

#define TMAIN_DECLARE_HANDLER(name) void name(ui::TObject* Sender);
    TMAIN_NOTIFY_HANDLERS(TMAIN_DECLARE_HANDLER)
#undef TMAIN_DECLARE_HANDLER
    // The start-up steps that wait until the window is on screen and painted;
    // called once, after the first show.
    void FirstShown();
    // The handlers with other signatures.
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);
    void Image1MouseDown(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                         int Y);
    void Image1MouseMove(ui::TObject* Sender, ui::TShiftState Shift, int X, int Y);
    void Image1MouseUp(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                       int Y);

    ui::TColor BrushColour() const {
        return brushColour_;
    }
    int SaveFilterIndex() const {
        return saveFilterIndex_;
    }

    // Starts the refresh of the picture commands (at the next tick of isjunkt).
    void StartCommandRefresh();
    // Shows the main window again where it was.
    void ShowMainWindow();
    // The current picture, which the image view shows.
    CurrentPicture& Picture() {
        return *picture_;
    }
    // The steps of the picture's history.
    const History& PictureHistory() const {
        return *history_;
    }
    // The image view holds a picture (its height is not 0).
    bool HasPicture() const {
        return picture_->Available();
    }

    // The cursor slots of the hands of drag-to-scroll: open, and grabbing.
    static constexpr int kOpenHandCursor = 1;
    static constexpr int kGrabbingHandCursor = 2;
    // The degree sign of the rotate captions (Windows-1252).
    static constexpr char kDegreeSign = '\xB0';
    // The eighteen controls that need a picture.
    static const char* const kPictureCommands[18];

  protected:
    const char* LayoutName() const override {
        return "TMAIN";
    }
    void Loaded() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Ctrl+C, Ctrl+S, Ctrl+P, Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z while this window is
    // active: the command of the menu item that shows the key, when it is enabled.
    bool IsShortCut(const MSG& msg) override;

  private:
    void RegisterHoverHandlers();
    void RegisterBrushHandlers();
    // Runs a rotate or flip command and makes ButtonEditRotate name and repeat it; a
    // rotation relabels the button also when it fails.
    void RotateOrFlip(void (TMAIN::*command)(ui::TObject*), const std::string& caption,
                      int imageIndex, bool relabelOnError, const std::function<void()>& edit);
    void SetView(bool toolBar, bool imageEdit, bool statusBar);
    bool BrushDown();
    bool PixelateDown();
    // Runs an edit of the picture as one step of the history: an edit that
    // `inverse` takes back exactly keeps nothing when the picture is already in
    // 24 bits; any other keeps the picture before (without a copy when the edit
    // gives the picture a new bitmap).
    void Edit(const std::function<void()>& edit, const std::function<void()>& inverse = nullptr);
    // Undo and Redo are enabled while there is a step to take.
    void HistoryChanged();
    // Takes a step of the history (Undo or Redo).
    void StepHistory(void (History::*step)());
    // The band of a pixelate drag, drawn on the screen by exclusive-or (drawn
    // twice, it is gone) and never into the picture.
    void DrawPixelateBand();
    // Hides the main window, grabs in that mode and brings the window back.
    void CaptureScreen(int mode);
    // Runs an overlay form modally with the hot keys off and the main window
    // minimised; `picked` then takes the picture.
    template <class Overlay, class Picked>
    void RunOverlay(Picked picked);

    // The controls the handlers use, bound once when the layout is loaded.
    ui::TImage* Image1 = nullptr;
    ui::TScrollBox* ScrollBox1 = nullptr;
    ui::TControl *Label2 = nullptr, *Label3 = nullptr, *info = nullptr;
    ui::TControl *Panel1 = nullptr, *Panel2 = nullptr, *ToolBar1 = nullptr;
    ui::TPanel* Panel4 = nullptr;
    ui::TToolBar* ToolBar2 = nullptr;
    ui::TMainMenu* MainMenu1 = nullptr;
    ui::TMenuItem *MenuToolBar = nullptr, *MenuImageEdit = nullptr, *MenuStatusBar = nullptr;
    ui::TMenuItem* ImagePopCustom = nullptr;
    ui::TSpeedButton* ButtonBrush = nullptr;
    ui::TToolButton* ButtonEditRotate = nullptr;
    ui::TTimer *Timer1 = nullptr, *isjunkt = nullptr;
    ui::TTrayIcon* TrayIcon1 = nullptr;
    lang::TMultiLanguage* MultiLanguage1 = nullptr;
    ui::TColorDialog* ColorDialog1 = nullptr;
    ui::TSaveDialog* SaveDialog1 = nullptr;
    ui::TPrintDialog* PrinterSetupDialog = nullptr;
    // The picture commands, the buttons with a hover text, the statistics labels
    // from the left, and the brush items (diameters 1 to 10, then the colours).
    std::vector<ui::TControl*> pictureControls_;
    std::vector<ui::TMenuItem*> pictureItems_;
    std::vector<ui::TControl*> hoverButtons_;
    ui::TControl* statisticsLabels_[5] = {};
    ui::TMenuItem* brushItems_[15] = {};

    // The current picture, which Image1 shows, and the history of its changes.
    std::unique_ptr<CurrentPicture> picture_;
    std::unique_ptr<History> history_;
    ui::TSpeedButton* ButtonPixelate = nullptr;
    ui::TMenuItem *MenuUndo = nullptr, *MenuRedo = nullptr, *ImagePopUndo = nullptr,
                  *ImagePopRedo = nullptr, *MenuCopy = nullptr, *MenuSaveAs = nullptr,
                  *MenuPrint = nullptr, *MenuPixelate = nullptr;
    bool strokeKept_ = false;           // the picture before the brush stroke is kept
    std::optional<RECT> pixelateBand_;  // picture pixels from the press to the pointer
    std::optional<POINT> panAnchor_;    // screen position of the last press or move of a drag
    int brushDiameter_ = 0;             // the stroke's width in pixels
    ui::TColor brushColour_ = ui::clBlack;
    int saveFilterIndex_ = 1;
};

extern TMAIN* MAIN;
