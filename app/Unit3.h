// The main window TMAIN: the current picture in its image view, the menus and
// tool bars, the status bar, and the handlers of every command.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/TBitmap.h"
#include "ui/TForm.h"

class TMAIN : public ui::TForm {
  public:
    explicit TMAIN(ui::TComponent* owner);

    // Start-up and shutdown.
    void FormCreate(ui::TObject* Sender);
    void FormHide(ui::TObject* Sender);
    void FormClose(ui::TObject* Sender, ui::TCloseAction& Action);
    void MenuExitClick(ui::TObject* Sender);
    void TrayExitClick(ui::TObject* Sender);

    // The four captures and the hot-key poll.
    void ButtonCaptureClick(ui::TObject* Sender);
    void ButtonCaptureActiveClick(ui::TObject* Sender);
    void MenuSelectionClick(ui::TObject* Sender);
    void MenuWindowControlClick(ui::TObject* Sender);
    void Timer1Timer(ui::TObject* Sender);

    // The View menu.
    void MenuToolBarClick(ui::TObject* Sender);
    void MenuImageEditClick(ui::TObject* Sender);
    void MenuStatusBarClick(ui::TObject* Sender);
    void MenuShowAllClick(ui::TObject* Sender);
    void MenuShowNoneClick(ui::TObject* Sender);

    // The one-shot refresh of the picture commands.
    void isjunktTimer(ui::TObject* Sender);

    // The image view: drag-to-scroll while the brush is up.
    void Image1MouseEnter(ui::TObject* Sender);
    void Image1MouseDown(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                         int Y);
    void Image1MouseMove(ui::TObject* Sender, ui::TShiftState Shift, int X, int Y);
    void Image1MouseUp(ui::TObject* Sender, ui::TMouseButton Button, ui::TShiftState Shift, int X,
                       int Y);

    // The edit commands on the picture.
    void ImagePopGrayscaleClick(ui::TObject* Sender);
    void ImagePopBrightenClick(ui::TObject* Sender);
    void ImagePopDarkenClick(ui::TObject* Sender);
    void ImagePopInvertClick(ui::TObject* Sender);
    void ButtonClearClick(ui::TObject* Sender);
    void ButtonEditRotateClick(ui::TObject* Sender);
    void ImagePopRotate90Click(ui::TObject* Sender);
    void ImagePopRotate180Click(ui::TObject* Sender);
    void ImagePopFlipVerticalClick(ui::TObject* Sender);
    void ImagePopFlipHorizontalClick(ui::TObject* Sender);

    // Brush mode; the diameter and colour items (ImagePopD1Click to ImagePopD10Click,
    // ImagePopBlackClick and so on) are registered with their values.
    void ButtonBrushClick(ui::TObject* Sender);
    void ImagePopCustomClick(ui::TObject* Sender);
    int BrushDiameter() const { return brushDiameter_; }
    ui::TColor BrushColour() const { return brushColour_; }

    // Settings, statistics and languages.
    void MenuClearStatisticClick(ui::TObject* Sender);
    void MultiLanguage1AfterLoad(ui::TObject* Sender);

    // The tray icon, the about box and the web pages.
    void TrayIcon1DblClick(ui::TObject* Sender);
    void TrayMainWindowClick(ui::TObject* Sender);
    void ButtonAboutClick(ui::TObject* Sender);
    void MenuVisitwebsiteClick(ui::TObject* Sender);
    void MenuDonateClick(ui::TObject* Sender);
    void TrayWebsiteClick(ui::TObject* Sender);
    void TrayDonateClick(ui::TObject* Sender);

    // Output: save, print, copy.
    void ButtonSaveClick(ui::TObject* Sender);
    void SaveDialog1TypeChange(ui::TObject* Sender);
    void ButtonPrintClick(ui::TObject* Sender);
    void ImagePopCopyClick(ui::TObject* Sender);
    int SaveFilterIndex() const { return saveFilterIndex_; }

    // Starts the refresh of the picture commands (at the next tick of isjunkt).
    void StartCommandRefresh();
    // Shows the main window again where it was.
    void ShowMainWindow();
    // The image view holds a picture (its height is not 0).
    bool HasPicture();

    // The degree sign of the rotate captions (Windows-1252).
    static constexpr char kDegreeSign = '\xB0';
    // The eighteen controls that need a picture.
    static const char* const kPictureCommands[18];

  protected:
    const char* LayoutName() const override { return "TMAIN"; }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  private:
    void RegisterHoverHandlers();
    void RegisterBrushHandlers();
    // Runs a rotate or flip command and makes ButtonEditRotate name and repeat it; a
    // rotation relabels the button also when it fails.
    void RotateOrFlip(void (TMAIN::*command)(ui::TObject*), const std::string& caption,
                      int imageIndex, bool relabelOnError, const std::function<void()>& edit);
    void SetView(bool toolBar, bool imageEdit, bool statusBar);
    bool BrushDown();
    // The current picture takes over the pixels of `picture` (no copy), which is left empty.
    void ReplacePicture(ui::TBitmap& picture);
    // Hides the main window, grabs in that mode and brings the window back.
    void CaptureScreen(int mode);
    // Runs an overlay form modally with the hot keys off and the main window
    // minimised; `picked` then takes the picture.
    template <class Overlay, class Picked>
    void RunOverlay(Picked picked);

    std::optional<POINT> panAnchor_;  // screen position of the last press or move of a drag
    int brushDiameter_ = 0;
    ui::TColor brushColour_ = ui::clBlack;
    int saveFilterIndex_ = 1;
};

extern TMAIN* MAIN;
