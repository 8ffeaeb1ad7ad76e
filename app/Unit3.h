// The main window TMAIN: the current picture in its image view, the menus and
// tool bars, the status bar, and the handlers of every command.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>

#include "app/editor/BrushTool.h"
#include "app/CaptureOptions.h"
#include "app/editor/EditorTools.h"
#include "app/CurrentPicture.h"
#include "app/History.h"
#include "app/HotKeys.h"
#include "app/editor/MarkObjects.h"
#include "ui/TForm.h"

namespace glimra::test {
struct MainWindowInternals;
}
class AfterCapture;
class CaptureCommands;
class CommandAvailability;
class CommandServer;
class EffectCommands;
class OutputCommands;
class PictureCommands;
class PictureIntake;
class PictureTools;
class TextCommands;
class ToolChoice;
class ViewToggles;

namespace lang {
class TMultiLanguage;
}
namespace ui {
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

// The controls of the layout that the window's code holds, with their classes;
// the class declares and binds them from this one list.
// clang-format off
#define TMAIN_CONTROLS(X)                                                                \
    X(ui::TImage, Image1) X(ui::TScrollBox, ScrollBox1) X(ui::TControl, Label2)          \
    X(ui::TControl, Label3) X(ui::TPanel, Panel4) X(ui::TToolBar, ToolBar2)              \
    X(ui::TMainMenu, MainMenu1) X(ui::TSpeedButton, ButtonBrush)                         \
    X(ui::TSpeedButton, ButtonPixelate)                                                  \
    X(ui::TTimer, Timer1) X(ui::TTimer, isjunkt) X(ui::TTrayIcon, TrayIcon1)             \
    X(lang::TMultiLanguage, MultiLanguage1) X(ui::TSaveDialog, SaveDialog1)              \
    X(ui::TPrintDialog, PrinterSetupDialog)
// clang-format on

// The handlers of TNotifyEvent that the layout binds by name; the class declares
// and registers them from this one list.
// clang-format off
#define TMAIN_NOTIFY_HANDLERS(X)                                                         \
    /* Start-up and shutdown. */                                                         \
    X(FormCreate) X(FormHide) X(MenuExitClick) X(TrayExitClick)                          \
    /* The four captures and the hot-key poll. */                                        \
    X(ButtonCaptureClick) X(ButtonCaptureActiveClick) X(MenuSelectionClick)              \
    X(MenuWindowControlClick) X(Timer1Timer)                                             \
    /* All displays, the last region again, a scrolling window, and what is set up      \
       around a capture. */                                                              \
    X(MenuAllDisplaysClick) X(MenuLastRegionClick) X(MenuScrollingClick) X(MenuScrollFromCurrentClick) X(MenuRecordClick)                 \
    X(MenuAutoSaveClick) X(MenuAutoCopyClick) X(MenuKeysClick) X(MenuPinClick)           \
    /* Text recognition: an area of the screen, or the current picture. */               \
    X(MenuTextFromRegionClick) X(MenuCopyTextClick)                                      \
    /* Pictures from outside: a file, the clipboard. */                                  \
    X(MenuOpenClick) X(MenuPasteClick)                                                   \
    /* The View menu. */                                                                 \
    X(MenuToolBarClick) X(MenuImageEditClick) X(MenuStatusBarClick) X(MenuShowAllClick)  \
    X(MenuShowNoneClick)                                                                 \
    /* The one-shot refresh of the picture commands. */                                  \
    X(isjunktTimer)                                                                      \
    /* The image view: the mouse passes to the active tool. */                          \
    X(Image1MouseEnter)                                                                  \
    /* The edit commands on the picture. */                                              \
    X(ImagePopGrayscaleClick) X(ImagePopBrightenClick) X(ImagePopDarkenClick)            \
    X(ImagePopInvertClick) X(ButtonClearClick) X(ButtonEditRotateClick)                  \
    X(ImagePopRotate90Click) X(ImagePopRotate180Click) X(ImagePopFlipVerticalClick)      \
    X(ImagePopFlipHorizontalClick)                                                       \
    /* The Effects submenu. */                                                           \
    X(MenuEffectBorderClick) X(MenuEffectShadowClick) X(MenuEffectTornEdgeClick)         \
    X(MenuEffectCornersClick)                                                            \
    /* Brush mode; the diameter and colour items (ImagePopD1Click to ImagePopD10Click,   \
       ImagePopBlackClick and so on) are registered with their values. */                \
    X(ButtonBrushClick) X(ImagePopCustomClick)                                           \
    /* Pixelate mode, and undo and redo of every change to the picture. */               \
    X(ButtonPixelateClick) X(MenuPixelateClick) X(MenuUndoClick) X(MenuRedoClick)        \
    /* The editor's tools: the drop-down button repeats the last one. */                \
    X(ButtonToolsClick)                                                                  \
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
    ~TMAIN() override;

#define TMAIN_DECLARE_HANDLER(name) void name(ui::TObject* Sender);
    TMAIN_NOTIFY_HANDLERS(TMAIN_DECLARE_HANDLER)
#undef TMAIN_DECLARE_HANDLER
    // The start-up steps that wait until the window is on screen and painted;
    // called once, after the first show.
    void FirstShown();
    // Takes commands from other starts of the program from now on; a copy
    // `startedForCommand` ends after a command with --no-window.
    void ServeCommands(bool startedForCommand);
    // The handlers with other signatures.
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);
    void Image1MouseDown(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                         int Y);
    void Image1MouseMove(ui::TObject* Sender, ui::TShiftState Shift, int X, int Y);
    void Image1MouseUp(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                       int Y);

    // Starts the refresh of the picture commands (at the next tick of isjunkt).
    void StartCommandRefresh();
    // Shows the main window again where it was.
    void ShowMainWindow();
    // A capture taken from `origin` of the screen became the current picture: the
    // step numbers start again, and the pointer, where it has one, arrives over
    // it as an object, in the capture's own step.
    void NewCapture(std::optional<PointerImage> pointer, POINT origin);
    // The current picture, which the image view shows.
    CurrentPicture& Picture() {
        return *picture_;
    }
    // Files dropped on the window: the first picture among them is opened.
    void DropFiles(HDROP drop);
    // The image view holds a picture (its height is not 0).
    bool HasPicture() const {
        return picture_->Available();
    }

  protected:
    const char* LayoutName() const override {
        return "TMAIN";
    }
    void Loaded() override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Ctrl+C, Ctrl+V, Ctrl+O, Ctrl+S, Ctrl+P, Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z while
    // this window is active: the command of the menu item that shows the key, when
    // it is enabled.
    bool IsShortCut(const MSG& msg) override;

  private:
    // The test support reaches the history and the tools.
    friend struct glimra::test::MainWindowInternals;
#define TMAIN_DECLARE_CONTROL(type, name) type* name = nullptr;
    TMAIN_CONTROLS(TMAIN_DECLARE_CONTROL)
#undef TMAIN_DECLARE_CONTROL

    // The current picture, which Image1 shows, and the history of its changes.
    std::unique_ptr<CurrentPicture> picture_;
    std::unique_ptr<History> history_;
    // The editor's marks over the picture.
    std::unique_ptr<MarkObjects> objects_;
    // What the mouse does on the picture; the brush's diameter and colour.
    std::unique_ptr<PictureTools> tools_;
    BrushSettings brush_;
    EditorState editor_;
    std::unique_ptr<ToolChoice> choice_;
    // What is set up around a capture, and the capture keys.
    CaptureOptions options_;
    HotKeys keys_;
    std::unique_ptr<AfterCapture> after_;
    // The commands, each group with its own state.
    std::unique_ptr<CaptureCommands> captures_;
    std::unique_ptr<PictureCommands> edits_;
    std::unique_ptr<EffectCommands> effects_;
    std::unique_ptr<OutputCommands> output_;
    std::unique_ptr<TextCommands> text_;
    std::unique_ptr<PictureIntake> intake_;
    std::unique_ptr<ViewToggles> view_;
    std::unique_ptr<CommandAvailability> availability_;
    std::unique_ptr<CommandServer> commands_;
};

extern TMAIN* MAIN;
